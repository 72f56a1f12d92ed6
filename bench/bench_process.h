// What the benches that drive a real keyboard window share: the program's
// own start-up, and the target field's process (this program started again
// with --target, so that the keys cross processes as they do in the car).
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <string>

namespace orv::bench {

// COM and the common controls, as the program starts them.
inline void StartLikeTheProgram() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
}

// False when the process could not be started.
inline bool StartTargetProcess(PROCESS_INFORMATION& pi) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) + L"\" --target";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  return CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi) != 0;
}

}  // namespace orv::bench
