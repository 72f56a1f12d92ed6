// End-to-end tests of the tip window: where it comes to rest and when it
// leaves, what it looks like, and the window effects it carries.
#include <atomic>
#include <cstdio>
#include <thread>

#include "harness.h"

using namespace orv::e2e;

namespace {

constexpr const wchar_t* kTipTitle = L"OrvTask Information Window";
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kOrange = RGB(255, 128, 0);

RECT WorkArea() {
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  return wa;
}

std::string DescribeRect(const RECT& r) {
  char text[64];
  std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
  return text;
}

// The tip window of a keyboard process, visible or parked.
HWND TipOf(DWORD pid) {
  for (HWND wnd : TopLevelWindows(pid, false)) {
    if (WindowText(wnd) == kTipTitle) return wnd;
  }
  return nullptr;
}

// Width of a headline in Tahoma 15.75 point, as the tip measures it.
int HeadlineWidth(const std::wstring& text) {
  HFONT font = CreateFontW(-21, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, RUSSIAN_CHARSET, 0, 0,
                           CLEARTYPE_QUALITY, 0, L"Tahoma");
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return r.right - r.left;
}

class TipWindow : public ::testing::Test {
 protected:
  Keyboard keyboard;
  HWND tip = nullptr;
  RECT wa = WorkArea();

  void StartKeyboard() {
    ASSERT_TRUE(keyboard.Start());
    tip = TipOf(keyboard.process().pid());
    ASSERT_NE(tip, nullptr) << DescribeTopLevelWindows();
  }
  bool AtRest() const {
    const RECT r = WindowRect(tip);
    return r.right == wa.right - 20 && r.bottom == wa.bottom - 20;
  }
  bool Parked() const {
    const RECT r = WindowRect(tip);
    return r.left == wa.right + 10 && r.bottom == wa.bottom - 20;
  }
  std::function<std::string()> Where() const {
    return [this] { return DescribeRect(WindowRect(tip)); };
  }
  // Saves the screen for people to look at, whatever the outcome.
  void Keep(const ScreenShot& shot, const wchar_t* name) const {
    CreateDirectoryW(ArtifactsDir().c_str(), nullptr);
    const std::wstring file = ArtifactsDir() + L"\\" + name;
    if (shot.SaveBmp(file)) std::printf("[ screenshot ] %s\n", Narrow(file).c_str());
  }
};

// Notes when a tip window first shows on screen, watching from another
// thread while the keyboard starts (its own window shows only after the
// start tip has come in).
class FirstAppearance {
 public:
  explicit FirstAppearance(LONG screen_right)
      : watcher_([this, screen_right] {
          while (!stop_) {
            HWND tip = FindWindowW(L"OrvKeyTip", nullptr);
            if (tip && WindowRect(tip).left < screen_right) {
              at_ = std::chrono::steady_clock::now();
              seen_ = true;
              return;
            }
            std::this_thread::sleep_for(5ms);
          }
        }) {}
  ~FirstAppearance() {
    stop_ = true;
    watcher_.join();
  }
  bool Seen() const { return seen_; }
  std::chrono::steady_clock::time_point At() const { return at_; }

 private:
  std::atomic<bool> stop_{false}, seen_{false};
  std::chrono::steady_clock::time_point at_{};
  std::thread watcher_;
};

TEST_F(TipWindow, StartTipRestsInTheCornerAndLeavesFiveSecondsLater) {
  FirstAppearance appearance(wa.right);
  ASSERT_TRUE(keyboard.Start());
  tip = TipOf(keyboard.process().pid());
  ASSERT_NE(tip, nullptr) << DescribeTopLevelWindows();
  ASSERT_TRUE(WaitFor([&] { return AtRest(); }, 5000ms, "the start tip in the corner", Where()));
  const RECT r = WindowRect(tip);
  EXPECT_EQ(r.bottom - r.top, 127);
  EXPECT_GT(r.right - r.left, 112 + HeadlineWidth(L"для начала редактирования") - 2);

  // A borderless translucent tool window that lets presses through, with
  // rounded corners.
  const LONG style = GetWindowLongW(tip, GWL_STYLE);
  const LONG ex = GetWindowLongW(tip, GWL_EXSTYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_EQ(ex & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT);
  BYTE alpha = 0;
  DWORD flags = 0;
  if (GetLayeredWindowAttributes(tip, nullptr, &alpha, &flags)) {
    EXPECT_EQ(alpha, 223);
    EXPECT_EQ(flags & LWA_ALPHA, static_cast<DWORD>(LWA_ALPHA));
  }
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(tip, region), ERROR);
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 10, 10));
  // A round rectangle to (W - 1, H - 1); the system leaves out its right
  // and bottom edge.
  RECT box{};
  GetRgnBox(region, &box);
  EXPECT_EQ(box.right, r.right - r.left - 2);
  EXPECT_EQ(box.bottom, r.bottom - r.top - 2);
  DeleteObject(region);
  const POINT inside{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  EXPECT_NE(WindowFromPoint(inside), tip);

  // The skin, the icon cut out of its magenta, the orange text.
  const ScreenShot shot = ScreenShot::Capture();
  Keep(shot, L"tip_start.bmp");
  int magenta = 0, orange = 0, icon_ink = 0;
  const COLORREF panel = shot.At(r.left + 30, r.top + 95);
  for (int y = r.top + 37; y < r.top + 85; ++y) {
    for (int x = r.left + 24; x < r.left + 72; ++x) {
      magenta += ColourNear(shot.At(x, y), kMagenta, 40);
      icon_ink += !ColourNear(shot.At(x, y), panel, 30);
    }
  }
  for (int y = r.top + 35; y < r.top + 85; ++y) {
    for (int x = r.left + 80; x < r.right - 30; ++x)
      orange += ColourNear(shot.At(x, y), kOrange, 40);
  }
  EXPECT_EQ(magenta, 0);
  EXPECT_GT(icon_ink, 300);
  EXPECT_GT(orange, 400);
  EXPECT_GT(GetRValue(panel), 2 * GetGValue(panel)) << DescribeColour(panel);  // dark red

  // Gone again about five and a half seconds after it came on screen.
  ASSERT_TRUE(WaitFor([&] { return Parked(); }, 9000ms, "the tip parked again", Where()));
  ASSERT_TRUE(appearance.Seen());
  const auto shown_for =
      std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - appearance.At());
  std::printf("[   timing   ] on screen for %lld ms\n", static_cast<long long>(shown_for.count()));
  EXPECT_GT(shown_for, 5000ms);
  EXPECT_LT(shown_for, 6500ms);
  EXPECT_TRUE(IsWindowVisible(tip));
}

TEST_F(TipWindow, TouchingAFieldShowsTheEditingTip) {
  TargetApp target;
  ASSERT_TRUE(target.Start());
  StartKeyboard();
  ASSERT_TRUE(WaitFor([&] { return Parked(); }, 9000ms, "the start tip gone", Where()));

  target.TouchField(kEdit1);
  const int width = 112 + HeadlineWidth(L"Редактируем текст");
  ASSERT_TRUE(WaitFor([&] { return AtRest(); }, 5000ms, "the editing tip in the corner", Where()));
  const RECT r = WindowRect(tip);
  EXPECT_NEAR(r.right - r.left, width, 2);
  EXPECT_EQ(r.bottom - r.top, 127);

  const ScreenShot shot = ScreenShot::Capture();
  Keep(shot, L"tip_editing.bmp");
  int magenta = 0;
  for (int y = r.top + 37; y < r.top + 85; ++y) {
    for (int x = r.left + 24; x < r.left + 72; ++x)
      magenta += ColourNear(shot.At(x, y), kMagenta, 40);
  }
  EXPECT_EQ(magenta, 0);
}

}  // namespace
