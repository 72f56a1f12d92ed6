// End-to-end tests of WindowCommand: the routine runs in this process over
// the real system ports and acts on a window of the target application.
#include <thread>

#include "harness.h"
#include "platform/win32/system_ports.h"
#include "utility/KelpUltimate.h"

using namespace orv::e2e;

namespace {

class WindowCommand : public ::testing::Test {
 protected:
  orv::win32::SystemPorts sys{GetModuleHandleW(nullptr)};
  orv::KelpUltimate kelp{sys.ports};
  TargetApp target;

  void SetUp() override { ASSERT_TRUE(target.Start(200, 200)); }
  void Command(int command, const orv::CommandParam& param = {}) {
    kelp.WindowCommand(orv::win32::FromHwnd(target.window()), command, param);
  }
  ::testing::AssertionResult Until(const std::function<bool()>& done, std::string_view what) {
    return WaitFor(done, 3000ms, what, [&] { return DescribeWindow(target.window()); });
  }
  LONG ExStyle() const { return GetWindowLongW(target.window(), GWL_EXSTYLE); }
};

TEST_F(WindowCommand, ShowStatesCaptionEnablingAndZOrder) {
  HWND wnd = target.window();
  Command(0);
  EXPECT_TRUE(Until([&] { return IsIconic(wnd) != 0; }, "minimised"));
  Command(2);
  EXPECT_TRUE(Until([&] { return !IsIconic(wnd) && !IsZoomed(wnd); }, "restored"));
  Command(1);  // no maximise box: nothing
  EXPECT_FALSE(IsZoomed(wnd));
  Command(1, 1);
  EXPECT_TRUE(Until([&] { return IsZoomed(wnd) != 0; }, "maximised"));
  Command(2);
  EXPECT_TRUE(Until([&] { return !IsZoomed(wnd); }, "restored"));
  Command(5);
  EXPECT_TRUE(Until([&] { return !IsWindowVisible(wnd); }, "hidden"));
  Command(4);
  EXPECT_TRUE(Until([&] { return IsWindowVisible(wnd) != 0; }, "shown"));

  Command(9, L"  Renamed by OrvKey  ");
  EXPECT_TRUE(WaitForText(wnd, L"Renamed by OrvKey"));
  Command(11);
  EXPECT_TRUE(Until([&] { return !IsWindowEnabled(wnd); }, "disabled"));
  Command(10);
  EXPECT_TRUE(Until([&] { return IsWindowEnabled(wnd) != 0; }, "enabled"));

  Command(6);
  EXPECT_TRUE(Until([&] { return (ExStyle() & WS_EX_TOPMOST) != 0; }, "topmost"));
  Command(7);
  EXPECT_TRUE(Until([&] { return (ExStyle() & WS_EX_TOPMOST) == 0; }, "not topmost"));
}

TEST_F(WindowCommand, OpacityRoundedRegionAndClickThrough) {
  HWND wnd = target.window();
  Command(8, 32);
  EXPECT_TRUE(ExStyle() & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 223);

  Command(13, 40);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(wnd, region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 1, 1));
  EXPECT_TRUE(PtInRegion(region, 30, 30));
  Command(13, 0);
  ASSERT_NE(GetWindowRgn(wnd, region), ERROR);
  EXPECT_TRUE(PtInRegion(region, 0, 0));
  DeleteObject(region);

  Command(14);
  EXPECT_TRUE(ExStyle() & WS_EX_TRANSPARENT);
  Command(15);
  EXPECT_FALSE(ExStyle() & WS_EX_TRANSPARENT);
}

TEST_F(WindowCommand, ClosesAnAnsweringWindow) {
  Command(3);
  EXPECT_TRUE(target.process().WaitForExit(5000ms));
}

// A target that stopped answering: the offer names its program; Cancel
// leaves it running, OK ends its process.
TEST_F(WindowCommand, OffersToEndAHungApplication) {
  target.Hang(60000ms);
  for (int answer : {IDCANCEL, IDOK}) {
    std::thread command([&] { Command(3); });
    // The message box of this process captioned with the program's title.
    HWND box = nullptr;
    const bool offered = WaitFor(
        [&] { return (box = FindTopLevelWindow(GetCurrentProcessId(), L"OrvKey")) != nullptr; },
        5000ms, "the end-process offer", [] { return DescribeTopLevelWindows(); });
    std::wstring text;
    if (offered) {
      for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        text += WindowText(child) + L"|";
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
    }
    command.join();
    ASSERT_TRUE(offered);
    EXPECT_NE(text.find(L"Приложение не отвечает. Завершить его процесс (e2e_target.exe)?"),
              std::wstring::npos)
        << Narrow(text);
    if (answer == IDCANCEL) {
      EXPECT_TRUE(target.process().Running());
    } else {
      EXPECT_TRUE(target.process().WaitForExit(5000ms));
    }
  }
}

}  // namespace
