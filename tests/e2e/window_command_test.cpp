// End-to-end test of WindowCommand on a window that stopped answering: the
// routine runs in this process over the real system ports and acts on the
// target application's window.
#include <thread>

#include "harness.h"
#include "platform/win32/system_ports.h"
#include "utility/KelpUltimate.h"

namespace orv::e2e {
namespace {

// The offer names the program; Cancel leaves it running, OK ends its process.
TEST(WindowCommand, OffersToEndAHungApplication) {
  win32::SystemPorts sys{GetModuleHandleW(nullptr)};
  KelpUltimate kelp{sys.ports};
  TargetApp target;
  ASSERT_TRUE(target.Start(200, 200));
  target.Hang(60000ms);
  for (int answer : {IDCANCEL, IDOK}) {
    std::thread command([&] { kelp.WindowCommand(win32::FromHwnd(target.window), 3); });
    HWND box = nullptr;  // the message box of this process captioned with the program's title
    const bool offered = WaitFor(
        [&] { return (box = FindTopLevelWindow(GetCurrentProcessId(), L"OrvKey")) != nullptr; },
        5000ms, "the end-process offer", [] { return DescribeTopLevelWindows(); });
    std::wstring text;
    for (HWND child = box ? GetWindow(box, GW_CHILD) : nullptr; child;
         child = GetWindow(child, GW_HWNDNEXT))
      text += WindowText(child) + L"|";
    if (offered)
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    command.join();
    ASSERT_TRUE(offered);
    EXPECT_NE(text.find(L"Приложение не отвечает. Завершить его процесс (e2e_target.exe)?"),
              std::wstring::npos)
        << Narrow(text);
    if (answer == IDCANCEL)
      EXPECT_TRUE(target.process.Running());
    else
      EXPECT_TRUE(target.process.WaitForExit());
  }
}

}  // namespace
}  // namespace orv::e2e
