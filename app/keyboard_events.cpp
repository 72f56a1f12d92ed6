// The keys, the edit line and the target: each handler wires its event to
// the objects that own the state.
#include "app/frmKbd.h"
#include "field/incremental_write.h"
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

// Press feedback: the pressed key in the press colour, the rest of its row
// in the normal one.
void FrmKbd::lblX_MouseDown(int index) {
  highlight_.Paint(lblX, lblControl[kKeyClr].ForeColor(), index);
}

void FrmKbd::lblX_MouseUp(int index) { highlight_.Paint(lblX, lblControl[kKeyClr].ForeColor()); }

void FrmKbd::lblX_Click(int index) {
  TypeCharacter(lblX[static_cast<std::size_t>(index)].Caption());
}

void FrmKbd::TypeCharacter(const std::wstring& ch) {
  ReadLateTarget();
  if (!CloseUpToWord(ch)) {
    target_.TypeKeys(ch);
    edit_line_.Insert(ch);
  }
  ReleaseShiftLatch();
  OfferWords();
}

void FrmKbd::ReleaseShiftLatch() {
  if (shift_.ReleaseAfterCharacter()) {
    lblControl[kKeyShift].SetForeColor(lblControl[kKeyClr].ForeColor());
    txtLang_Change(shift_.LayoutIndex());
  }
}

void FrmKbd::lblControl_MouseDown(int index) {
  highlight_.Paint(lblControl, lblX[0].ForeColor(), index);
}

void FrmKbd::lblControl_MouseUp(int index) { highlight_.Paint(lblControl, lblX[0].ForeColor()); }

void FrmKbd::lblControl_Click(int index) {
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
      if (tray_.Hides()) {
        SetVisible(false);
      } else if (!tray_.On()) {
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

// ---- Presses: the press model owns their rules; here is what the keys are

bool FrmKbd::Form_Press(const PressEvent& e) {
  const bool taken = presses_.Handle(e);
  // The mouse on the background, any button, drags the window.
  if (!taken && e.kind == PressEvent::Kind::kDown && e.pointer == kMousePointer) {
    Form_MouseDown(static_cast<int>(e.button));
    return true;
  }
  ArmRepeatTimer();
  return taken;
}

// The function keys lie over the character keys where both could answer;
// the captions of the options panel take no press and move nothing.
Hit FrmKbd::HitTest(Point pt) {
  const auto inside = [&](const Rect& r) {
    return pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom;
  };
  for (std::size_t i = 0; i < lblControl.size(); ++i)
    if (inside(lblControl[i].Bounds()))
      return {Hit::What::kKey, {KeyRef::Kind::kFunction, static_cast<int>(i)}};
  for (std::size_t i = 0; i < lblX.size(); ++i)
    if (inside(lblX[i].Bounds()))
      return {Hit::What::kKey, {KeyRef::Kind::kCharacter, static_cast<int>(i)}};
  for (const auto& label : lblInfo)
    if (inside(label.Bounds())) return {Hit::What::kInert, {}};
  return {};
}

// The character shown at the press is the one its click and every beat of
// its hold type, though a one-shot Shift or a lifted Shift puts the normal
// layout back meanwhile.
std::wstring FrmKbd::Shows(KeyRef key) {
  return key.kind == KeyRef::Kind::kCharacter ? lblX[static_cast<std::size_t>(key.index)].Caption()
                                              : std::wstring();
}

// Character keys with a caption repeat; among the function keys only Space
// and backspace do.
bool FrmKbd::Repeats(KeyRef key) {
  if (key.kind == KeyRef::Kind::kCharacter) return !Shows(key).empty();
  return key.index == kKeySpace || key.index == kKeyBack;
}

bool FrmKbd::IsModifier(KeyRef key) {
  return key.kind == KeyRef::Kind::kFunction && key.index == kKeyShift;
}

// Another finger still on a key keeps its press colour when a key of its
// row is pressed or released.
void FrmKbd::KeyDown(KeyRef key) {
  key.kind == KeyRef::Kind::kCharacter ? lblX_MouseDown(key.index)
                                       : lblControl_MouseDown(key.index);
  PaintHeldKeys(key.kind);
}

void FrmKbd::KeyUp(KeyRef key) {
  key.kind == KeyRef::Kind::kCharacter ? lblX_MouseUp(key.index) : lblControl_MouseUp(key.index);
  PaintHeldKeys(key.kind);
}

void FrmKbd::PaintHeldKeys(KeyRef::Kind row) {
  for (const KeyRef held : presses_.HeldKeys()) {
    if (held.kind != row) continue;
    auto& label = held.kind == KeyRef::Kind::kCharacter
                      ? lblX[static_cast<std::size_t>(held.index)]
                      : lblControl[static_cast<std::size_t>(held.index)];
    label.SetForeColor(highlight_.DownColor());
  }
}

void FrmKbd::KeyAct(KeyRef key, const std::wstring& shown) {
  if (ended_) return;
  if (key.kind == KeyRef::Kind::kCharacter)
    TypeCharacter(shown);
  else
    lblControl_Click(key.index);
}

// A finger resting on Shift while another touches a letter types it
// shifted, as on a phone; the latch stays as it was.
void FrmKbd::ChordBegins(KeyRef) {
  shift_.Hold(true);
  txtLang_Change(shift_.LayoutIndex());
}

void FrmKbd::ChordEnds(KeyRef) {
  shift_.Hold(false);
  txtLang_Change(shift_.LayoutIndex());
  highlight_.PaintLatch(lblControl[kKeyShift], shift_.ShiftOn() == 1, lblX[0].ForeColor());
}

std::optional<Point> FrmKbd::MouseNow() {
  Point pt;
  if ((p_.user32.GetAsyncKeyState(kVkLButton) & 0x8000) == 0 || !p_.user32.GetCursorPos(pt))
    return std::nullopt;
  return Point{pt.x - Left(), pt.y - Top()};
}

// The beat of the held keys, each on its own schedule.
void FrmKbd::tmrRepeat_Timer() {
  tmrRepeat.SetEnabled(false);
  presses_.Beat(p_.kernel32.GetTickCount());
  ArmRepeatTimer();
}

void FrmKbd::ArmRepeatTimer() {
  const auto wait = presses_.NextBeat(p_.kernel32.GetTickCount());
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
  // Enter's own click captures nothing: the field is the target already.
  if (pressed && target_.EnterClickAtCursor()) return;
  if (pressed) target_.NoteTouchDuringEnter();
  FlagGuard guard(in_tick_);

  const auto touched = pressed ? target_.CaptureAtCursor(hWnd()) : target_.ProbeAgain(hWnd());
  switch (touched.kind) {
    case Target::Capture::Kind::kNotAField:
    case Target::Capture::Kind::kWaiting:
      if (pressed && target_.ReleaseForWindowAtCursor(hWnd())) ShowTargetText(L"");
      if (touched.kind == Target::Capture::Kind::kWaiting) return;
      // The word strip is part of the keyboard.
      if (tray_.Hides() && !kelp_.IsCursorOverWindow(hWnd(), 0) &&
          !(frmWords.Visible() && kelp_.IsCursorOverWindow(frmWords.hWnd(), 0)))
        SetVisible(false);
      return;
    case Target::Capture::Kind::kOwnEditLine:
      // A tap inside the keyboard's own edit line moves the insertion point.
      cmbText_CaretMoved();
      return;
    case Target::Capture::Kind::kHung: return;
    case Target::Capture::Kind::kKeystrokes:
    case Target::Capture::Kind::kCaptured: break;
  }
  ShowTargetText(touched.text);
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
  ShowTargetText(next.text);
  FillComboHistory();
  edit_line_.CaretToEnd();
  OfferWords();
  ShowEditingTip();
}

void FrmKbd::ShowTargetText(const std::wstring& text) {
  cmbText.SetPasswordChar(target_.MaskChar());
  edit_line_.Replace(text);
}

// A field that did not answer when it was touched is asked again before a
// key edits the line: once it answers, its text comes in as the touch would
// have brought it, and the key edits that. Until then the keys edit the line
// alone, and nothing is written over the field.
void FrmKbd::ReadLateTarget() {
  const auto late = target_.ReadAgain();
  if (late.kind != Target::Capture::Kind::kCaptured) return;
  ShowTargetText(late.text);
  edit_line_.CaretToEnd();
}

void FrmKbd::ShowEditingTip() {
  if (chkFont[kChkTips].Value() != 1) return;
  ShowInfoTTip(target_.ByKeystrokes() ? kKeystrokeTip : kEditingTip, kTipIconKeyboard);
}

// A target that stopped answering ends a held key's repeat: each write
// would wait out the time-out, and the texts would pile up in its queue.
void FrmKbd::cmbText_Change() {
  if (!target_.Mirror(cmbText.Text())) presses_.Spend();
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

// Presses Enter in the target and records the text. Its pauses run on a
// timer, so that touches and keys in between count; a second Enter before
// the first is done is not one the target could tell apart.
void FrmKbd::PressEnterInTarget() {
  // What is remembered is the field's own text, once it answers.
  ReadLateTarget();
  const auto wait = target_.StartEnter(cmbText.Text(), edit_line_.CaretPos());
  if (!wait) return;
  enter_text_ = cmbText.Text();
  enter_wnd_ = target_.Wnd();
  enter_password_ = target_.IsPassword();
  ContinueEnter(wait);
}

void FrmKbd::tmrEnter_Timer() {
  tmrEnter.SetEnabled(false);
  ContinueEnter(target_.NextEnterStep(cmbText.Text(), !presses_.HeldKeys().empty()));
}

void FrmKbd::ContinueEnter(std::optional<std::uint32_t> wait) {
  if (wait && *wait == 0) wait = target_.NextEnterStep(cmbText.Text(), !presses_.HeldKeys().empty());
  if (!wait) return FinishEnter();
  tmrEnter.SetInterval(*wait);
  tmrEnter.SetEnabled(true);
}

// The edit line keeps the text just sent, and what was typed during the
// pauses; a multi-line field's line takes the field's text with its new
// line, and goes on after the break. A password never goes into the
// history. A text that was recorded is written to the settings at once: in
// a car the power goes at every ignition off, long before any orderly
// shutdown.
void FrmKbd::FinishEnter() {
  // The suggestions learn the text at the same moment.
  if (!enter_password_) {
    suggestions_.Learn(enter_text_);
    if (history_.Add(enter_text_)) SaveSettings();
  }
  // A touch during the pauses took another field: the line is its now.
  if (target_.Wnd() != enter_wnd_) return;
  if (const auto& entered = target_.EnteredText()) {
    // Keys typed during the pauses stand after the new line.
    const std::wstring before = cmbText.Text();
    const std::int32_t caret = edit_line_.CaretPos();
    history_.ListAll(cmbText, *entered);
    const TextChange change = ChangeBetween(before, *entered);
    const auto grown = static_cast<std::int32_t>(entered->size()) - static_cast<std::int32_t>(before.size());
    edit_line_.PutCaret(caret >= static_cast<std::int32_t>(change.start) ? caret + grown : caret);
  } else {
    const std::wstring line = cmbText.Text();  // the list's refill empties it first
    history_.ListAll(cmbText, line);
    edit_line_.CaretToEnd();
  }
  // The strip offers what may open the new line, or follow the text sent.
  OfferWords();
  if (tray_.Hides()) SetVisible(false);
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
