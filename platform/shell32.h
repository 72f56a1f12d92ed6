// Port over shell32: the notification-area icon.
#pragma once
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace orv {

inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 1, kNifIcon = 2, kNifTip = 4;

struct NotifyIconData {
  Hwnd hwnd = 0;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;
  std::uint32_t callback_message = 0;
  Hicon icon = 0;
  std::wstring tip;
};

class Shell32 {
 public:
  virtual ~Shell32() = default;
  virtual bool Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) = 0;
  // The user's roaming application-data folder (%APPDATA%), without a
  // trailing backslash; empty when the system names none.
  virtual std::wstring AppDataFolder() = 0;
};

}  // namespace orv
