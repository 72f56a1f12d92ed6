// A keyboard window on the fake desktop, loaded and ready to be touched.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "app/frmKbd.h"
#include "fakes/fake_desktop.h"

namespace orv::fake {

class KbdTest : public ::testing::Test {
 protected:
  Desktop desk;
  Ports ports{desk.ports()};
  KelpUltimate kelp{ports};
  std::unique_ptr<FrmKbd> kbd;
  Hwnd edit_line = 0;            // the edit part of cmbText
  FrmTip* tip_window = nullptr;  // handed to the keyboard before it loads

  // Creates the keyboard's windows the way the shell does, then loads it.
  void Load() {
    kbd = std::make_unique<FrmKbd>(ports, kelp);
    const Hwnd form =
        desk.AddWindow(L"OrvKeyKeyboard", L"OrvCar Keyboard", 0, Rect{100, 300, 732, 517});
    kbd->AttachWindow(form);
    kbd->Move(100, 300, 632, 217);
    const Hwnd combo = desk.AddWindow(L"ComboBox", L"", form, Rect{156, 310, 635, 347});
    kbd->cmbText.AttachWindow(combo);
    edit_line = desk.AddWindow(L"Edit", L"", combo, Rect{159, 313, 615, 344});
    for (auto& box : kbd->txtLang) {
      box.AttachWindow(
          desk.AddWindow(L"Edit", L"", form, Rect{204, 300 + box.Top(), 725, 319 + box.Top()}));
    }
    kbd->picHook.AttachWindow(desk.AddWindow(L"Static", L"", form, Rect{100, 300, 101, 301}));
    if (tip_window) kbd->SetTipWindow(tip_window);
    kbd->Form_Load();
  }

  // A finger on a point for one tick of the polling timer.
  void TouchAt(Point at) {
    desk.Press(at);
    kbd->BeginEvent();
    kbd->tmrhWnd.Fire();
    desk.Release();
  }
  void Touch(Hwnd wnd) {
    const Rect r = desk.W(wnd).rect;
    TouchAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  // One touch of a character key: down, up, click.
  void Key(int index) {
    kbd->BeginEvent();
    kbd->lblX_MouseDown(index);
    kbd->lblX_MouseUp(index);
    kbd->lblX_Click(index);
  }
  void FKey(int index) {
    kbd->BeginEvent();
    kbd->lblControl_MouseDown(index);
    kbd->lblControl_MouseUp(index);
    kbd->lblControl_Click(index);
  }
  // The key whose caption is `ch` in the current layout.
  int KeyOf(wchar_t ch) {
    for (int i = 0; i < kCharKeys; ++i) {
      if (kbd->lblX[static_cast<std::size_t>(i)].Caption() == std::wstring(1, ch)) return i;
    }
    ADD_FAILURE() << "no key shows " << static_cast<int>(ch);
    return 0;
  }
  void Type(const std::wstring& text) {
    for (wchar_t c : text) Key(KeyOf(c));
  }
};

}  // namespace orv::fake
