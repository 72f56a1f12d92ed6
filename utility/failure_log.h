// The failure log: a car PC has nobody watching its screen, so every failure
// the program meets and goes past leaves one line in a small file beside
// OrvKey.ini, to be found after the fact. A line says what failed (a call,
// an event, an error number), never a text the user typed or a field held.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>

#include "platform/kernel32.h"

namespace orv {

inline const std::wstring kLogFileName = L"OrvKey.log";
// A full log moves here, replacing the one before: the log never holds more
// than twice its cap on the disk.
inline const std::wstring kOldLogSuffix = L".old";
inline constexpr std::uint64_t kMaxLogBytes = 256 * 1024;

// Leaves one line in the log, from any thread. Only the thread that made the
// log writes its file (through that thread's ports): a line from another
// thread, or from before the log has its file, waits for that thread's next
// line or the log's end, a few dozen at most.
void LogFailure(std::wstring_view what) noexcept;

// Inside a catch block: logs the failure being handled, as `event` failed.
void LogCurrentFailure(std::wstring_view event) noexcept;

// Runs one event; a failure that escapes it stops there, leaves a line in
// the log naming `event`, and false comes back.
template <typename Run>
bool ContainFailure(std::wstring_view event, Run&& run) noexcept {
  try {
    run();
    return true;
  } catch (...) {
    LogCurrentFailure(event);
    return false;
  }
}

// The file the log's lines go to while it lives (one at a time).
class FailureLog {
 public:
  FailureLog(Kernel32& kernel32, std::wstring path);
  ~FailureLog();
  FailureLog(const FailureLog&) = delete;
  FailureLog& operator=(const FailureLog&) = delete;

  void Write(std::wstring_view what);
  bool Writes() const { return std::this_thread::get_id() == owner_; }

 private:
  Kernel32& k_;
  std::thread::id owner_ = std::this_thread::get_id();
  std::wstring path_;
  std::uint64_t size_ = 0;
  bool size_known_ = false;
  int lines_this_run_ = 0;
  std::wstring last_;
  int repeats_ = 0;
};

}  // namespace orv
