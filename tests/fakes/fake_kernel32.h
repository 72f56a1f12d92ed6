// Fake kernel32: the clock the tests move, files in memory, code page 1251
// (UTF-8 as the ANSI code page is tested end to end).
#pragma once
#include <map>
#include <set>

#include "platform/kernel32.h"
#include "settings/conversions.h"

namespace orv::fake {

// Code page 1251 as far as tests write it: the Russian letters and "№";
// the other bytes stand for themselves.
inline wchar_t FromCp1251(unsigned char b) {
  return b >= 0xC0   ? wchar_t(0x350 + b)
         : b == 0xA8 ? L'Ё'
         : b == 0xB8 ? L'ё'
         : b == 0xB9 ? L'№'
                     : b;
}

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
  bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
  bool ReadFileBytes(const std::wstring& path, std::string& bytes) override {
    if (!files.count(path) || unreadable_files.count(path)) return false;
    return bytes = files[path], true;
  }
  bool WriteFileDurably(const std::wstring& path, const std::string& bytes) override {
    return !fail_writes && !InReadOnlyFolder(path) && (files[path] = bytes, true);
  }
  bool MoveFileReplace(const std::wstring& from, const std::wstring& to) override {
    if (fail_writes || fail_moves || !files.count(from) || InReadOnlyFolder(to)) return false;
    files[to] = files[from];
    return files.erase(from), true;
  }
  bool DeleteFileW(const std::wstring& path) override { return files.erase(path) != 0; }
  bool AppendFileBytes(const std::wstring& path, const std::string& bytes) override {
    return !fail_writes && (files[path] += bytes, true);
  }
  // The clock's milliseconds as the seconds of one day.
  LocalTime GetLocalTime() override {
    const std::uint32_t s = now / 1000;
    return {2026, 12, 7, int(s / 3600 % 24), int(s / 60 % 60), int(s % 60)};
  }
  bool CopyFileReplace(const std::wstring& from, const std::wstring& to) override {
    if (fail_writes || !files.count(from)) return false;
    return files[to] = files[from], true;
  }
  bool ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count,
                    std::string& bytes) override {
    if (!files.count(path) || unreadable_files.count(path)) return false;
    const std::string& all = files[path];
    bytes = offset < all.size() ? all.substr(offset, count) : std::string();
    return true;
  }
  // A size over the file's bytes stands for a giant file that is never read.
  std::map<std::wstring, std::uint64_t> sizes;
  bool GetFileSizeEx(const std::wstring& path, std::uint64_t& size) override {
    if (!files.count(path)) return false;
    return size = sizes.count(path) ? sizes[path] : files[path].size(), true;
  }
  unsigned GetACP() override { return 1251; }
  std::string ToAnsi(const std::wstring& text, bool* lossless) override {
    if (lossless) *lossless = true;
    std::string out;
    for (wchar_t c : text) {
      int b = 255;
      while (b >= 0 && FromCp1251(static_cast<unsigned char>(b)) != c) --b;
      if (b < 0 && lossless) *lossless = false;
      out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
  }
  std::wstring FromAnsi(const std::string& bytes) override {
    std::wstring out;
    for (unsigned char b : bytes) out += FromCp1251(b);
    return out;
  }
  std::wstring GetDecimalSeparator() override { return decimal_separator; }

  // Folders this user may not write into (with a trailing backslash).
  std::set<std::wstring> read_only_folders;
  bool InReadOnlyFolder(const std::wstring& path) {
    return read_only_folders.count(path.substr(0, path.find_last_of(L'\\') + 1)) != 0;
  }
  bool CreateFolder(const std::wstring& path) override {
    return !InReadOnlyFolder(path);
  }
  bool CanCreateFilesIn(const std::wstring& folder) override {
    return !read_only_folders.count(folder.ends_with(L'\\') ? folder : folder + L'\\');
  }
};

}  // namespace orv::fake
