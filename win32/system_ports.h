// Every port over the real system, built together, as the program, its
// benchmarks and its end-to-end tools all need them.
#pragma once
#include <windows.h>

#include "platform/ports.h"
#include "win32/adapters.h"
#include "win32/toolkit.h"

namespace orv::win32 {

struct SystemPorts {
  explicit SystemPorts(HINSTANCE instance) : toolkit(instance) {}
  SystemPorts(const SystemPorts&) = delete;
  SystemPorts& operator=(const SystemPorts&) = delete;

  SystemUser32 user32;
  SystemGdi32 gdi32;
  SystemKernel32 kernel32;
  SystemAdvapi32 advapi32;
  SystemShell32 shell32;
  SystemComdlg32 comdlg32;
  Win32Toolkit toolkit;
  Ports ports{user32, gdi32, kernel32, advapi32, shell32, comdlg32, toolkit};
};

}  // namespace orv::win32
