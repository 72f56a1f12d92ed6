// Port over advapi32: the registry calls of the placement and autostart code.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"

namespace orv {

inline constexpr Hkey kHkeyCurrentUser = static_cast<Hkey>(0x80000001);
inline constexpr Hkey kHkeyLocalMachine = static_cast<Hkey>(0x80000002);
inline constexpr std::uint32_t kKeyAllAccess = 0xF003F;
inline constexpr std::uint32_t kKeyRead = 0x19;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegCreatedNewKey = 1;
inline constexpr long kErrorSuccess = 0;

class Advapi32 {
 public:
  virtual ~Advapi32() = default;

  virtual long RegCreateKeyExW(Hkey root, const std::wstring& subkey, const std::wstring& cls,
                               std::uint32_t options, std::uint32_t access, Hkey* result,
                               std::uint32_t* disposition) = 0;
  virtual long RegFlushKey(Hkey key) = 0;
  virtual long RegOpenKeyExW(Hkey root, const std::wstring& subkey, std::uint32_t access,
                             Hkey* result) = 0;
  // data holds the raw bytes (REG_SZ: UTF-16 with its terminating NUL).
  virtual long RegSetValueExW(Hkey key, const std::wstring& name, std::uint32_t type,
                              const std::vector<std::uint8_t>& data) = 0;
  virtual long RegQueryValueExW(Hkey key, const std::wstring& name, std::uint32_t* type,
                                std::vector<std::uint8_t>* data) = 0;
  virtual long RegCloseKey(Hkey key) = 0;
};

}  // namespace orv
