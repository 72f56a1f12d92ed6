// The failure log beside OrvKey.ini.
#include "utility/failure_log.h"

#include <cstdio>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

#include "settings/conversions.h"

namespace orv {

namespace {

// A failure that comes back on every tick must not push the first ones out.
constexpr int kMaxLinesPerRun = 200;
constexpr std::size_t kMaxLineChars = 300;
constexpr std::size_t kMaxPendingLines = 32;

std::mutex g_mutex;
FailureLog* g_log = nullptr;
std::vector<std::wstring> g_pending;

// One line: no breaks inside, and no longer than a line needs to be.
std::wstring OneLine(std::wstring_view what) {
  std::wstring line(what.substr(0, kMaxLineChars));
  for (auto& c : line) {
    if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
  }
  return line;
}

}  // namespace

void LogFailure(std::wstring_view what) noexcept {
  try {
    const std::lock_guard lock(g_mutex);
    if (g_log && g_log->Writes()) {
      for (const auto& line : std::exchange(g_pending, {})) g_log->Write(line);
      g_log->Write(what);
    } else if (g_pending.size() < kMaxPendingLines) {
      g_pending.push_back(OneLine(what));
    }
  } catch (...) {
    // Nowhere left to tell.
  }
}

void LogCurrentFailure(std::wstring_view event) noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    try {
      LogFailure(std::wstring(event) + L" failed: " + FromUtf8(e.what()));
    } catch (...) {
      LogFailure(event);
    }
  } catch (...) {
    LogFailure(event);
  }
}

FailureLog::FailureLog(Kernel32& kernel32, std::wstring path)
    : k_(kernel32), path_(std::move(path)) {
  const std::lock_guard lock(g_mutex);
  g_log = this;
  for (const auto& line : std::exchange(g_pending, {})) Write(line);
}

FailureLog::~FailureLog() {
  const std::lock_guard lock(g_mutex);
  if (g_log != this) return;
  try {
    for (const auto& line : std::exchange(g_pending, {})) Write(line);
  } catch (...) {
    // The run ends; nowhere left to tell.
  }
  g_log = nullptr;
}

// A line repeated at once is counted, and the count written before the next
// different line. A full file is moved aside; where it cannot be, the line
// is dropped rather than the cap passed.
void FailureLog::Write(std::wstring_view what) {
  std::wstring line = OneLine(what);
  if (line == last_) {
    ++repeats_;
    return;
  }
  if (lines_this_run_ >= kMaxLinesPerRun) return;
  last_ = line;
  if (++lines_this_run_ == kMaxLinesPerRun) line = L"Further failures of this run are not logged";
  if (repeats_ > 0) {
    line = L"(the line above " + std::to_wstring(repeats_) + L" times more) " + line;
    repeats_ = 0;
  }
  const LocalTime t = k_.GetLocalTime();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d  ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  const std::string bytes = stamp + ToUtf8(line) + "\r\n";

  if (!size_known_) {
    size_known_ = true;
    if (!k_.GetFileSizeEx(path_, size_)) size_ = 0;
  }
  if (size_ + bytes.size() > kMaxLogBytes) {
    if (!k_.MoveFileReplace(path_, path_ + kOldLogSuffix) && !k_.DeleteFileW(path_)) return;
    size_ = 0;
  }
  if (k_.AppendFileBytes(path_, bytes)) size_ += bytes.size();
}

}  // namespace orv
