// The set of ports the core is given: one per system library and the toolkit.
#pragma once
#include "platform/advapi32.h"
#include "platform/comdlg32.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "platform/shell32.h"
#include "platform/toolkit.h"
#include "platform/user32.h"

namespace orv {

struct Ports {
  User32& user32;
  Gdi32& gdi32;
  Kernel32& kernel32;
  Advapi32& advapi32;
  Shell32& shell32;
  Comdlg32& comdlg32;
  Toolkit& toolkit;
};

}  // namespace orv
