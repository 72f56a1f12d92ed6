// Capturing the touched text field and mirroring the edit line into it.
#include "app/frmKbd.h"

namespace orv {

namespace {

bool IsTextFieldClass(const std::wstring& cls) {
  return cls == L"Edit" || cls == L"ThunderRT6TextBox" || cls == L"ThunderTextBox";
}

// Clears a flag when a scope ends, however it ends.
struct FlagGuard {
  bool& flag;
  explicit FlagGuard(bool& f) : flag(f) { flag = true; }
  ~FlagGuard() { flag = false; }
};

}  // namespace

// The polling tick: while the finger is down, a touched text field of
// another window becomes the target and its text comes into the edit line.
void FrmKbd::tmrhWnd_Timer() {
  // A tick that comes due inside another (a tip pumping events) is skipped,
  // so a held finger cannot pile up nested captures. It leaves the button
  // unasked, so a tap in the meantime is still seen by the next tick.
  if (in_tick_) return;
  if (p_.user32.GetAsyncKeyState(kVkLButton) == 0) return;
  FlagGuard guard(in_tick_);

  Point pt;
  p_.user32.GetCursorPos(pt);
  const Hwnd wnd = p_.user32.WindowFromPoint(pt);
  const std::wstring cls = kelp_.GetWindowClass(wnd);
  if (!IsTextFieldClass(cls)) {
    if (HideToTray == 1 && !kelp_.IsCursorOverWindow(hWnd(), 0)) SetVisible(false);
    return;
  }
  if (p_.user32.GetParent(p_.user32.GetParent(wnd)) == hWnd()) {
    // A tap inside the keyboard's own edit line moves the insertion point.
    CaretPos = cmbText.SelStart();
    return;
  }
  TargetWnd = wnd;
  const std::wstring text = kelp_.GetWindowTextTimeout(wnd, 500);
  // A field that does not answer is asked nothing more: its style decides.
  target_is_password_ = kelp_.IsPasswordField(wnd, text != kHungMarker);
  if (text == kHungMarker) return;
  cmbText.SetText(text);
  CaretPos = static_cast<std::int32_t>(cmbText.Text().size());
  if (HideToTray == 1) {
    SetVisible(true);
    kelp_.SetTopmost(*this, false);
  }
  if (chkFont[kChkTips].Value() == 1) ShowInfoTTip(L"Редактируем текст", 2);
}

void FrmKbd::cmbText_Change() {
  if (TargetWnd == 0 || !p_.user32.IsWindow(TargetWnd)) return;
  const std::wstring& text = cmbText.Text();
  // One touch may set the same text twice (the list refill puts it back);
  // the field already holds it.
  if (sent_in_event_ && sent_wnd_ == TargetWnd && sent_text_ == text) return;
  kelp_.SetTargetText(TargetWnd, text);
  sent_in_event_ = true;
  sent_wnd_ = TargetWnd;
  sent_text_ = text;
}

// The user put the caret somewhere in the edit line itself (a tap, or the
// arrow keys of a real keyboard): typing goes on from there. The polling
// tick sees taps too, but only once pending input has run.
void FrmKbd::cmbText_CaretMoved() { CaretPos = cmbText.SelStart(); }

// A history entry picked from the list goes to the target at once.
void FrmKbd::cmbText_Click() {
  cmbText_Change();
  CaretPos = static_cast<std::int32_t>(cmbText.Text().size());
}

void FrmKbd::BeginEvent() { sent_in_event_ = false; }

}  // namespace orv
