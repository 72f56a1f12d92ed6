// Port over kernel32 (and psapi): time, processes, files and code pages.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace orv {

inline constexpr std::uint32_t kProcessTerminate = 0x0001;
inline constexpr std::uint32_t kProcessQueryReadVm = 0x0410;

class Kernel32 {
 public:
  virtual ~Kernel32() = default;

  virtual void Sleep(std::uint32_t ms) = 0;
  virtual std::uint32_t GetTickCount() = 0;
  // dwPlatformId of GetVersionEx: 1 for the 9x family, 2 for NT.
  virtual std::uint32_t GetVersionPlatformId() = 0;

  virtual Handle OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) = 0;
  virtual bool TerminateProcess(Handle process, std::uint32_t exit_code) = 0;
  virtual bool CloseHandle(Handle h) = 0;
  // Path of the process's main module (EnumProcessModules, then
  // GetModuleFileNameEx on the first module); empty when unreadable.
  virtual std::wstring GetProcessImagePath(Handle process) = 0;

  // Whole-file access. ReadFileBytes returns false when the file cannot be
  // opened; WriteFileDurably writes, flushes and closes, false on any failure.
  virtual bool FileExists(const std::wstring& path) = 0;
  virtual bool ReadFileBytes(const std::wstring& path, std::string& bytes) = 0;
  virtual bool WriteFileDurably(const std::wstring& path, const std::string& bytes) = 0;
  // MoveFileEx(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
  virtual bool MoveFileReplace(const std::wstring& from, const std::wstring& to) = 0;
  virtual bool DeleteFileW(const std::wstring& path) = 0;
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
  // through lossless whether every character had its own code.
  virtual unsigned GetACP() = 0;
  virtual std::string ToAnsi(const std::wstring& text, bool* lossless) = 0;
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
