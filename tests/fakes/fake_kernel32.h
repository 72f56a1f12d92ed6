// Fake kernel32: the clock the tests move, files in memory, code page 1251.
#pragma once
#include <algorithm>
#include <map>
#include <set>

#include "platform/kernel32.h"

namespace orv::fake {

// Code page 1251 above 0x7F, as the system maps it.
inline constexpr wchar_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

// Shared by every fake that stamps or waits on time.
struct FakeClock {
  std::uint32_t now = 0;
  // Milliseconds the clock moves on at each reading, so that loops that
  // wait on the clock (slides) come to an end.
  std::uint32_t tick_ms = 0;
};

class FakeKernel32 : public FakeClock, public Kernel32 {
 public:
  std::map<std::wstring, std::string> files;  // by full path
  bool fail_writes = false;
  bool fail_moves = false;                  // the write lands, the replace fails
  std::set<std::wstring> unreadable_files;  // exist, open, but cannot be read
  std::wstring decimal_separator = L".";

  void Sleep(std::uint32_t ms) override { now += ms; }
  std::uint32_t GetTickCount() override { return now += tick_ms; }
  std::uint32_t GetVersionPlatformId() override { return 2; }  // the NT family
  // No other process can be opened: the real ones are ended end to end.
  Handle OpenProcess(std::uint32_t, bool, std::uint32_t) override { return 0; }
  bool TerminateProcess(Handle, std::uint32_t) override { return false; }
  bool CloseHandle(Handle) override { return false; }
  std::wstring GetProcessImagePath(Handle) override { return {}; }
  bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
  bool ReadFileBytes(const std::wstring& path, std::string& bytes) override {
    if (!files.count(path) || unreadable_files.count(path)) return false;
    return bytes = files[path], true;
  }
  bool WriteFileDurably(const std::wstring& path, const std::string& bytes) override {
    return !fail_writes && (files[path] = bytes, true);
  }
  bool MoveFileReplace(const std::wstring& from, const std::wstring& to) override {
    if (fail_writes || fail_moves || !files.count(from)) return false;
    files[to] = files[from];
    return files.erase(from), true;
  }
  bool DeleteFileW(const std::wstring& path) override { return files.erase(path) != 0; }
  // A size over the file's bytes stands for a giant file that is never read.
  std::map<std::wstring, std::uint64_t> sizes;
  bool GetFileSizeEx(const std::wstring& path, std::uint64_t& size) override {
    if (!files.count(path)) return false;
    return size = sizes.count(path) ? sizes[path] : files[path].size(), true;
  }
  unsigned GetACP() override { return 1251; }
  std::string ToAnsi(const std::wstring& text, bool* lossless) override {
    std::string out;
    bool ok = true;
    for (wchar_t c : text) {
      const auto hit = std::find(std::begin(kCp1251High), std::end(kCp1251High), c) - kCp1251High;
      const bool mapped = c < 0x80 || (hit < 128 && c != 0xFFFD);
      out += c < 0x80 ? static_cast<char>(c) : mapped ? static_cast<char>(0x80 + hit) : '?';
      ok = ok && mapped;
    }
    if (lossless) *lossless = ok;
    return out;
  }

  std::wstring FromAnsi(const std::string& bytes) override {
    std::wstring out;
    for (unsigned char b : bytes) out += b < 0x80 ? static_cast<wchar_t>(b) : kCp1251High[b - 0x80];
    return out;
  }

  std::wstring GetDecimalSeparator() override { return decimal_separator; }
};

}  // namespace orv::fake
