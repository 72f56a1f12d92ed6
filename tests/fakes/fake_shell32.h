// Fake shell32: every notification-area call succeeds; the icon itself is
// checked end to end.
#pragma once
#include "platform/shell32.h"

namespace orv::fake {

class FakeShell32 : public Shell32 {
 public:
  bool Shell_NotifyIconW(std::uint32_t, const NotifyIconData&) override { return true; }
};

}  // namespace orv::fake
