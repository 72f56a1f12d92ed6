// End-to-end tests of WindowCommand: the routine runs in this process over
// the real system ports and acts on a window of the target application.
#include <thread>

#include "harness.h"
#include "platform/win32/adapters.h"
#include "platform/win32/toolkit.h"
#include "utility/KelpUltimate.h"

using namespace orv::e2e;

namespace {

class WindowCommand : public ::testing::Test {
 protected:
  orv::win32::SystemUser32 user32;
  orv::win32::SystemGdi32 gdi32;
  orv::win32::SystemKernel32 kernel32;
  orv::win32::SystemAdvapi32 advapi32;
  orv::win32::SystemShell32 shell32;
  orv::win32::SystemComdlg32 comdlg32;
  orv::win32::Win32Toolkit toolkit{GetModuleHandleW(nullptr)};
  orv::Ports ports{user32, gdi32, kernel32, advapi32, shell32, comdlg32, toolkit};
  orv::KelpUltimate kelp{ports};
  TargetApp target;

  void SetUp() override { ASSERT_TRUE(target.Start(200, 200)); }
  orv::Hwnd Target() const { return reinterpret_cast<orv::Hwnd>(target.window()); }
  void Command(int command, const orv::CommandParam& param = {}) {
    kelp.WindowCommand(Target(), command, param);
  }
  ::testing::AssertionResult Until(const std::function<bool()>& done, std::string_view what) {
    return WaitFor(done, 3000ms, what, [&] { return DescribeWindow(target.window()); });
  }
  LONG ExStyle() const { return GetWindowLongW(target.window(), GWL_EXSTYLE); }
};

// The message box of this process captioned with the program's title.
HWND OfferBox() {
  for (HWND wnd : TopLevelWindows(GetCurrentProcessId(), true)) {
    if (ClassName(wnd) == L"#32770" && WindowText(wnd) == L"OrvKey") return wnd;
  }
  return nullptr;
}

std::wstring BoxText(HWND box) {
  std::wstring all;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    all += WindowText(child) + L"|";
  }
  return all;
}

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
  Command(8, 300);  // out of range: unchanged
  ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 223);

  Command(13, 40);
  const RECT r = WindowRect(wnd);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(wnd, region), ERROR);
  RECT box{};
  GetRgnBox(region, &box);
  // Round rectangles leave out their right and bottom edge.
  EXPECT_EQ(box.right, r.right - r.left - 2);
  EXPECT_EQ(box.bottom, r.bottom - r.top - 2);
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
    HWND box = nullptr;
    const bool offered = WaitFor([&] { return (box = OfferBox()) != nullptr; }, 5000ms,
                                 "the end-process offer", [] { return DescribeTopLevelWindows(); });
    std::wstring text;
    if (offered) {
      text = BoxText(box);
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
