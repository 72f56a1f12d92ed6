// Fake shell32: the notification-area calls, in order.
#pragma once
#include <utility>
#include <vector>

#include "platform/shell32.h"

namespace orv::fake {

class FakeShell32 : public Shell32 {
 public:
  std::vector<std::pair<std::uint32_t, NotifyIconData>> tray_calls;
  bool Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) override {
    return tray_calls.emplace_back(message, data), true;
  }
};

}  // namespace orv::fake
