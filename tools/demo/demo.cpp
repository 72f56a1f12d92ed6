// Shows the keyboard at work, for scripts/run.sh: starts the target application
// and the keyboard, touches the first field, types a short phrase on the keys
// and presses Enter.
//
//   orvkey_demo.exe [--signal FILE]
// With --signal, creates FILE once the scene is ready to be photographed and
// waits (at most 30 s) for the caller to delete it before ending both programs.
#include "harness.h"

#include <cstdio>
#include <cwchar>

using namespace orv::e2e;

int wmain(int argc, wchar_t** argv) {
  std::wstring signal;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::wcscmp(argv[i], L"--signal") == 0) signal = ToWindowsPath(argv[++i]);
  TargetApp target;
  Keyboard keyboard;
  for (auto started : {target.Start(), keyboard.Start(false)})
    if (!started) return std::printf("demo: %s\n", started.message()), 1;

  const std::wstring phrase = L"привет мир";
  target.TouchField(kEdit1);
  keyboard.Type(phrase);
  const bool typed = WaitForText(target.Field(kEdit1), phrase);
  std::printf("demo: the field holds \"%s\"%s\n", Narrow(target.FieldText(kEdit1)).c_str(),
              typed ? "" : " (the phrase has not arrived)");
  // Enter clicks into the field and presses Enter there: the target's
  // default button counts it, and the phrase is remembered.
  keyboard.TouchFunctionKey(orv::kKeyEnter);
  const bool entered = WaitFor([&] { return target.EnterCount() == 1; }, 3000ms, "Enter");
  std::printf("demo: Enter %s\n", entered ? "arrived" : "did not arrive");
  std::fflush(stdout);
  if (!signal.empty()) {
    CloseHandle(CreateFileW(signal.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    WaitFor([&] { return GetFileAttributesW(signal.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000ms,
            "the screenshot");
  }
  return 0;
}
