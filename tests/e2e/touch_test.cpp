// The keyboard on a touch screen, as far as Wine shows it: press-and-hold is
// off over the keys and the word strip (the mouse still types, repeats and
// drags: typing_test.cpp, words_test.cpp), a finger's press-and-hold on a
// field captures it, and capture survives a resume. Wine sends no pointer
// messages: fingers on the keys are proven over the fakes (press_test.cpp).
#include "harness.h"

namespace orv::e2e {
namespace {

using Touch = Scene;

// What the pen and touch service asks a window, and reads from it.
constexpr UINT kQueryGestures = 0x02CC;
constexpr DWORD kPressAndHoldOff = 0x00000001, kFlicksOff = 0x00010000;
constexpr DWORD kPenTapOff = 0x00000008, kPenBarrelOff = 0x00000010;

// The keyboard, the word strip above the keys and its words answer the pen
// and touch service with press-and-hold off. A finger held on a field
// arrives as the right button: it captures the field (that the mouse's right
// button does not is tested over the fakes: a right click moves the field's
// caret, which the capture may follow). After a resume from sleep the hook
// is set again and every touch is still seen.
TEST_F(Touch, PressAndHoldOffOverTheKeysAndOnAFieldCapturesAndSurvivesAResume) {
  const POINT key = keyboard.KeyCentre(12);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(keyboard.window, kQueryGestures, 0, MAKELPARAM(key.x, key.y),
                                  SMTO_ABORTIFHUNG, 2000, &answer));
  const DWORD off = kPressAndHoldOff | kPenTapOff | kPenBarrelOff | kFlicksOff;
  EXPECT_EQ(answer & off, off);
  const auto property =
      reinterpret_cast<DWORD_PTR>(GetPropW(keyboard.window, L"MicrosoftTabletPenServiceProperty"));
  EXPECT_EQ(property & off, off);
  const HWND strip = FindTopLevelWindow(keyboard.process.pid, L"OrvKey Words", false);
  ASSERT_TRUE(strip);
  for (HWND w = strip; w; w = w == strip ? GetWindow(strip, GW_CHILD) : GetWindow(w, GW_HWNDNEXT)) {
    answer = 0;
    SendMessageTimeoutW(w, kQueryGestures, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer);
    EXPECT_EQ(answer & off, off) << DescribeWindow(w);
  }

  ASSERT_TRUE(Capture(kEdit1, L"first"));
  // The release lands beside the field once the capture has had its
  // chance: the field's own menu would otherwise open and take the next
  // touches. Stamped as the system stamps a press it made from a finger.
  const RECT dialog = WindowRect(target.window);
  target.SetFieldText(kEdit2, L"finger");
  SendMouse(target.FieldCentre(kEdit2), MOUSEEVENTF_RIGHTDOWN, 0, 0xFF515780u);
  EXPECT_TRUE(LineShows(L"finger"));
  SendMouse({dialog.right - 12, dialog.bottom - 12}, MOUSEEVENTF_RIGHTUP, 0, 0xFF515780u);

  for (int resume = 0; resume < 2; ++resume) {
    ASSERT_TRUE(SendMessageTimeoutW(keyboard.window, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0,
                                    SMTO_ABORTIFHUNG, 2000, &answer));
    const std::wstring text = L"after " + std::to_wstring(resume);
    EXPECT_TRUE(Capture(resume ? kEdit1 : kEdit3, text));
    keyboard.Type(L"ж");
    EXPECT_TRUE(FieldShows(resume ? kEdit1 : kEdit3, text + L"ж"));
  }
}

}  // namespace
}  // namespace orv::e2e
