// The keys, the edit line and the target: each handler wires its event to
// the objects that own the state.
#include "app/frmKbd.h"
#include "settings/conversions.h"
#include "tip/frmTip.h"

#include <algorithm>
#include <utility>

namespace orv {

namespace {
const wchar_t* const kEditingTip = L"Редактируем текст";
const wchar_t* const kKeystrokeTip = L"Печатаем нажатиями клавиш\r\nClr очищает только строку";

// Clears a flag when a scope ends, however it ends.
struct FlagGuard {
  bool& flag;
  explicit FlagGuard(bool& f) : flag(f) { flag = true; }
  ~FlagGuard() { flag = false; }
};
}  // namespace

// ---- Layouts and keys

// Runs on every edit of a layout box, so the keys always show the layout
// being edited.
void FrmKbd::txtLang_Change(int index) {
  if (index < 0 || index >= kLayouts) return;
  CaptionKeys(lblX, txtLang[static_cast<std::size_t>(index)].Text());
  suggestions_.SetLayouts(
      {txtLang[0].Text(), txtLang[1].Text(), txtLang[2].Text(), txtLang[3].Text()});
}

// The character shown at the press is the one a hold types every time,
// though a one-shot Shift puts the normal layout back after the first.
void FrmKbd::lblX_MouseDown(int index) {
  highlight_.Paint(lblX, lblControl[kKeyClr].ForeColor(), index);
  const std::wstring& ch = lblX[static_cast<std::size_t>(index)].Caption();
  StartHold({KeyRef::Kind::kCharacter, index}, !ch.empty(), ch);
}

void FrmKbd::lblX_MouseUp(int index) {
  highlight_.Paint(lblX, lblControl[kKeyClr].ForeColor());
  EndHold();
}

void FrmKbd::lblX_Click(int index) {
  if (std::exchange(touch_spent_, false)) return;
  TypeCharacter(lblX[static_cast<std::size_t>(index)].Caption());
}

void FrmKbd::TypeCharacter(const std::wstring& ch) {
  ReadLateTarget();
  if (!CloseUpToWord(ch)) {
    target_.TypeKeys(ch);
    edit_line_.Insert(ch);
  }
  if (shift_.ReleaseAfterCharacter()) {
    lblControl[kKeyShift].SetForeColor(lblControl[kKeyClr].ForeColor());
    txtLang_Change(shift_.LayoutIndex());
  }
  OfferWords();
}

// Only Space and backspace repeat among the function keys.
void FrmKbd::lblControl_MouseDown(int index) {
  highlight_.Paint(lblControl, lblX[0].ForeColor(), index);
  StartHold({KeyRef::Kind::kFunction, index}, index == kKeySpace || index == kKeyBack, L"");
}

void FrmKbd::lblControl_MouseUp(int index) {
  highlight_.Paint(lblControl, lblX[0].ForeColor());
  EndHold();
}

void FrmKbd::lblControl_Click(int index) {
  if (std::exchange(touch_spent_, false)) return;
  switch (index) {
    case kKeyClr:
      ReadLateTarget();
      edit_line_.Clear();
      break;
    case kKeyTab:
      if (target_.ByKeystrokes())
        target_.PressKey(kVkTab);
      else
        TabToNextField();
      break;
    case kKeyShift:
      highlight_.PaintLatch(lblControl[kKeyShift], shift_.ToggleShift(), lblX[0].ForeColor());
      txtLang_Change(shift_.LayoutIndex());
      break;
    case kKeyLang:
      highlight_.PaintLatch(lblControl[kKeyLang], shift_.ToggleLang(), lblX[0].ForeColor());
      txtLang_Change(shift_.LayoutIndex());
      break;
    case kKeySpace:
      ReadLateTarget();
      target_.TypeKeys(L" ");
      edit_line_.Insert(L" ");
      break;
    case kKeyBack:
      ReadLateTarget();
      target_.PressKey(kVkBack);
      edit_line_.Backspace();
      break;
    case kKeyEnter: PressEnterInTarget(); break;
    case kKeyClose:
      if (tray_.On()) {
        SetVisible(false);
      } else {
        std::int16_t cancel = 0;
        Form_Unload(cancel);
      }
      break;
    case kKeyOptions:
      if (options_.Toggle(*this, p_.toolkit, p_.user32)) SaveSettings();
      break;
    default: break;
  }
  if (!ended_) OfferWords();
}

// ---- Key repeat and the bounce filter

// Press and release are timed by when the finger moved, not by when the
// program came round to the message: a busy moment must not turn two
// touches into a bounce.
void FrmKbd::StartHold(KeyRef key, bool repeats, std::wstring types) {
  held_text_ = std::move(types);
  touch_spent_ = false;
  repeat_.Press(key, repeats, p_.user32.GetMessageTime());
  ArmRepeatTimer();
}

void FrmKbd::EndHold() {
  touch_spent_ = !repeat_.Release(p_.user32.GetMessageTime());
  tmrRepeat.SetEnabled(false);
}

// The beat of a held key. A finger already lifted, or slid off the key,
// types nothing more: its release may still wait in the queue behind this
// tick, and nothing may reach the target after it. The hold itself ends with
// that release, which still clicks a key that never acted. The finger is
// asked where it is now: the mouse messages of the X server can come late.
void FrmKbd::tmrRepeat_Timer() {
  tmrRepeat.SetEnabled(false);
  if ((p_.user32.GetAsyncKeyState(kVkLButton) & 0x8000) == 0) return;
  if (!FingerOnHeldKey()) return;
  if (repeat_.Due(p_.kernel32.GetTickCount())) ActOnHeldKey();
  ArmRepeatTimer();
}

bool FrmKbd::FingerOnHeldKey() {
  const auto key = repeat_.Held();
  Point pt;
  if (!key || !p_.user32.GetCursorPos(pt)) return false;
  const auto i = static_cast<std::size_t>(key->index);
  const Rect r = key->kind == KeyRef::Kind::kCharacter ? lblX[i].Bounds() : lblControl[i].Bounds();
  const int x = pt.x - Left(), y = pt.y - Top();
  return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Each repeat takes the path of a touch of the key.
void FrmKbd::ActOnHeldKey() {
  const auto key = repeat_.Held();
  if (!key) return;
  if (key->kind == KeyRef::Kind::kCharacter)
    TypeCharacter(held_text_);
  else
    lblControl_Click(key->index);
}

void FrmKbd::ArmRepeatTimer() {
  const auto wait = repeat_.WaitFrom(p_.kernel32.GetTickCount());
  tmrRepeat.SetEnabled(false);
  if (!wait) return;
  tmrRepeat.SetInterval(std::max<std::uint32_t>(*wait, 1));
  tmrRepeat.SetEnabled(true);
}

// ---- Target capture and mirroring

// The polling tick: while the finger is down, a touched text field of
// another window becomes the target and its text comes into the edit line.
void FrmKbd::tmrhWnd_Timer() {
  const bool pressed = p_.user32.GetAsyncKeyState(kVkLButton) != 0;
  // A tick that comes due inside another (the tip sliding in after a
  // capture pumps events for most of a second) takes only a touch on
  // another window: a finger held on the field just captured cannot pile up
  // nested captures, and a quick touch on the next field is not lost while
  // the tip still moves.
  if (in_tick_ && !(pressed && target_.AnotherWindowAtCursor(hWnd()))) return;
  // A touched window may show its caret only after the finger has gone.
  if (!pressed && !target_.Probing()) return;
  FlagGuard guard(in_tick_);

  const auto touched = pressed ? target_.CaptureAtCursor(hWnd()) : target_.ProbeAgain(hWnd());
  switch (touched.kind) {
    case Target::Capture::Kind::kNotAField:
      // The word strip is part of the keyboard.
      if (tray_.On() && !kelp_.IsCursorOverWindow(hWnd(), 0) &&
          !(frmWords.Visible() && kelp_.IsCursorOverWindow(frmWords.hWnd(), 0)))
        SetVisible(false);
      return;
    case Target::Capture::Kind::kOwnEditLine:
      // A tap inside the keyboard's own edit line moves the insertion point.
      cmbText_CaretMoved();
      return;
    case Target::Capture::Kind::kHung:
    case Target::Capture::Kind::kWaiting: return;
    case Target::Capture::Kind::kKeystrokes:
    case Target::Capture::Kind::kCaptured: break;
  }
  edit_line_.Replace(touched.text);
  if (tray_.On()) {
    SetVisible(true);
    kelp_.SetTopmost(*this, false);
  }
  OfferWords();
  ShowEditingTip();
}

// Moves the target to the next text field of its kind in the same parent,
// wrapping to the first; the keyboard's own edit line is never a target.
// The tip comes last: its slide lets the next touches run, and a list
// refilled after them would drop the pick of an open drop-down.
void FrmKbd::TabToNextField() {
  const auto next = target_.CaptureNext(hWnd());
  if (next.kind != Target::Capture::Kind::kCaptured) return;
  edit_line_.Replace(next.text);
  FillComboHistory();
  edit_line_.CaretToEnd();
  OfferWords();
  ShowEditingTip();
}

// A field that did not answer when it was touched is asked again before a
// key edits the line: once it answers, its text comes in as the touch would
// have brought it, and the key edits that. Until then the keys edit the line
// alone, and nothing is written over the field.
void FrmKbd::ReadLateTarget() {
  const auto late = target_.ReadAgain();
  if (late.kind != Target::Capture::Kind::kCaptured) return;
  edit_line_.Replace(late.text);
  edit_line_.CaretToEnd();
}

void FrmKbd::ShowEditingTip() {
  if (chkFont[kChkTips].Value() != 1) return;
  ShowInfoTTip(target_.ByKeystrokes() ? kKeystrokeTip : kEditingTip, kTipIconKeyboard);
}

// A target that stopped answering ends a held key's repeat: each write
// would wait out the time-out, and the texts would pile up in its queue.
void FrmKbd::cmbText_Change() {
  if (!target_.Mirror(cmbText.Text())) repeat_.Stop();
}

// The user put the caret somewhere in the edit line itself (a tap, or the
// arrow keys of a real keyboard): typing goes on from there. The polling
// tick sees taps too, but only once pending input has run. Keys typed as
// keystrokes land at the target's own caret, so the line's stays at its end.
void FrmKbd::cmbText_CaretMoved() {
  if (target_.ByKeystrokes())
    edit_line_.CaretToEnd();
  else
    edit_line_.FollowUserCaret();
  OfferWords();
}

// A history entry picked from the list goes to the target at once.
void FrmKbd::cmbText_Click() {
  // A picked text replaces the whole field, once its text is known.
  target_.ReadAgain();
  target_.TypeKeys(cmbText.Text());
  cmbText_Change();
  edit_line_.Replace(cmbText.Text());
  OfferWords();
}

// Presses Enter in the target and records the text. The edit line keeps
// the text just sent.
void FrmKbd::PressEnterInTarget() {
  // What is remembered is the field's own text, once it answers.
  ReadLateTarget();
  if (!target_.PressEnter()) return;
  const std::wstring sent = cmbText.Text();
  // A password never goes into the history. A text that was recorded is
  // written to the settings at once: in a car the power goes at every
  // ignition off, long before any orderly shutdown.
  // The suggestions learn the text at the same moment.
  if (!target_.IsPassword()) {
    suggestions_.Learn(sent);
    if (history_.Add(sent)) SaveSettings();
  }
  history_.ListAll(cmbText, sent);
  edit_line_.CaretToEnd();
  if (tray_.On()) SetVisible(false);
}

// ---- History

void FrmKbd::AddStringToHistory(const std::wstring& text) { history_.Add(text); }

// Rebuilds the drop-down list: the whole history for a blank line, else the
// entries that contain the line, newest first. The line itself is kept.
void FrmKbd::FillComboHistory() {
  const std::wstring s = cmbText.Text();
  if (IsBlankText(s)) {
    history_.ListAll(cmbText, L"");
    // The clear raised nothing, so tell the target that its blank line is
    // now empty: the field always holds what the edit line shows.
    if (!s.empty()) cmbText_Change();
    return;
  }
  history_.ListMatching(cmbText, s);
}

}  // namespace orv
