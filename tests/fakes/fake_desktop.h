// The fake desktop: one in-memory fake per port, sharing one clock, handed
// to the core as its Ports. Tests reach every fake's state through it.
#pragma once
#include "fakes/fake_advapi32.h"
#include "fakes/fake_comdlg32.h"
#include "fakes/fake_gdi32.h"
#include "fakes/fake_kernel32.h"
#include "fakes/fake_shell32.h"
#include "fakes/fake_toolkit.h"
#include "fakes/fake_user32.h"
#include "platform/ports.h"

namespace orv::fake {

class Desktop : public FakeKernel32,
                public FakeUser32,
                public FakeGdi32,
                public FakeAdvapi32,
                public FakeShell32,
                public FakeComdlg32,
                public FakeToolkit {
 public:
  Desktop() : FakeUser32(static_cast<FakeClock&>(*this)), FakeToolkit(*this, *this) {}
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  Ports ports() { return Ports{*this, *this, *this, *this, *this, *this, *this}; }
};

}  // namespace orv::fake
