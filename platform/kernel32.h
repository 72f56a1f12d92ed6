// Port over kernel32: time, files and code pages.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace orv {

// The local date and time, as GetLocalTime gives them.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Kernel32 {
 public:
  virtual ~Kernel32() = default;

  virtual void Sleep(std::uint32_t ms) = 0;
  virtual std::uint32_t GetTickCount() = 0;

  // Whole-file access. ReadFileBytes returns false when the file cannot be
  // opened; WriteFileDurably writes, flushes and closes, false on any failure.
  virtual bool FileExists(const std::wstring& path) = 0;
  virtual bool ReadFileBytes(const std::wstring& path, std::string& bytes) = 0;
  virtual bool WriteFileDurably(const std::wstring& path, const std::string& bytes) = 0;
  // MoveFileEx(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
  virtual bool MoveFileReplace(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool DeleteFileW(const std::wstring& path) = 0;
  // Adds the bytes at the end of the file, creating it; false on any failure.
  virtual bool AppendFileBytes(const std::wstring& path, const std::string& bytes) = 0;
  virtual LocalTime GetLocalTime() = 0;
  // CopyFile over any file of the destination's name.
  virtual bool CopyFileReplace(const std::wstring& from, const std::wstring& to) = 0;
  // Up to `count` bytes from `offset` (fewer at the file's end, none past
  // it); false when the file cannot be opened or read.
  virtual bool ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count,
                            std::string& bytes) = 0;

  // ---- Reading a file whole or not at all
  // GetFileSizeEx on the file opened for reading as ReadFileBytes opens it;
  // false when it cannot be opened (locked, no rights).
  virtual bool GetFileSizeEx(const std::wstring& path, std::uint64_t& size) = 0;

  // The system's ANSI code page and conversions through it. ToAnsi reports
  // through lossless whether every character had its own code; a text that
  // cannot be converted at all gives empty text (and lossless false).
  virtual unsigned GetACP() = 0;
  virtual std::string ToAnsi(const std::wstring& text, bool* lossless) = 0;
  // Callable from any thread (it keeps no state; what it logs waits for the
  // window's thread): the history loader's thread decodes the history with it.
  virtual std::wstring FromAnsi(const std::string& bytes) = 0;
  // The user's decimal separator (GetLocaleInfo LOCALE_SDECIMAL).
  virtual std::wstring GetDecimalSeparator() = 0;

  // ---- Where the settings can live
  // CreateDirectory; true when the folder is there afterwards.
  virtual bool CreateFolder(const std::wstring& path) = 0;
  // True when this user may make a new file in the folder: a probe file is
  // created and deleted at once. Attributes say nothing here (Windows
  // ignores read-only on folders); only trying tells.
  virtual bool CanCreateFilesIn(const std::wstring& folder) = 0;
};

}  // namespace orv
