// The candidate strip's handlers: what it offers after each key touch, and
// what a touch of a word does.
#include <algorithm>
#include <utility>

#include "app/frmKbd.h"
#include "keys/input_routines.h"

namespace orv {

// The words for the text before the insertion point, in the language of
// the letters on the keys where no word is begun. No words are offered for
// a password field, nor while the strip is not wanted.
void FrmKbd::OfferWords() {
  DockWordStrip();
  if (!frmWords.Visible()) {
    frmWords.Offer({});
    return;
  }
  const std::wstring_view line = cmbText.Text();
  const auto caret = static_cast<std::size_t>(std::max(edit_line_.CaretPos(), 0));
  const std::wstring& layout = txtLang[shift_.LayoutIndex()].Text();
  const Language at_start = LanguageOfLayout(layout);
  const ShiftCase shift = ShiftCaseOf(layout, shift_.LayoutIndex() % 2 == 1,
                                      shift_.ShiftOn() == 1 && shift_.ShiftAsCaps() != 0);
  // Asked for once the key is done: words for a prefix never shown are not
  // passed over either.
  frmWords.OfferLater([this, before = std::wstring(line.substr(0, std::min(caret, line.size()))),
                       at_start, shift] { return suggestions_.Suggest(before, at_start, shift); });
}

void FrmKbd::DockWordStrip() {
  const Rect keyboard{Left(), Top(), Left() + Width(), Top() + Height()};
  if (!(keyboard == docked_at_)) {
    docked_at_ = keyboard;
    // Without a monitor to ask, anywhere above the keyboard is room.
    if (!p_.user32.MonitorWorkAreaFromRect(keyboard, work_area_))
      work_area_ =
          Rect{keyboard.left, keyboard.top - keyboard.height(), keyboard.right, keyboard.bottom};
  }
  const bool wanted =
      SuggestionsOn() && Visible() && WindowState() == kWindowNormal && !ended_ && !target_.IsPasswordField();
  frmWords.Dock(keyboard, work_area_, p_.toolkit.Dpi(), wanted);
}

// A word shows its press as a key does.
void FrmKbd::lblWord_MouseDown(int index) {
  highlight_.Paint(frmWords.lblWord, lblControl[kKeyClr].ForeColor(), index);
}

void FrmKbd::lblWord_MouseUp(int index) {
  highlight_.Paint(frmWords.lblWord, lblControl[kKeyClr].ForeColor());
}

void FrmKbd::lblWord_Click(int index) {
  if (index < 0 || index >= kStripWords) return;
  frmWords.Settle();
  const Label& word = frmWords.lblWord[static_cast<std::size_t>(index)];
  if (word.Visible()) TypeWord(word.Caption());
}

bool FrmKbd::frmWords_Press(const PressEvent& e) { return word_presses_.Handle(e); }

void FrmKbd::TypeWord(const std::wstring& word) {
  if (ended_ || word.empty() || !frmWords.Visible()) return;
  ReadLateTarget();
  const std::wstring& line = cmbText.Text();
  const auto caret = std::min<std::size_t>(
      static_cast<std::size_t>(std::max(edit_line_.CaretPos(), 0)), line.size());
  WriteSplice(CompleteWord(line, caret, word));
  completed_ = Completed{cmbText.Text(), edit_line_.CaretPos()};
  // A Shift latched for one letter was for this word.
  ReleaseShiftLatch();
  OfferWords();
}

// The whole strip takes presses: a finger between two words stays the
// strip's, and never becomes the mouse's.
Hit FrmKbd::WordKeys::HitTest(Point pt) {
  WordStrip& strip = kbd_.frmWords;
  strip.Settle();
  for (std::size_t i = 0; i < strip.lblWord.size(); ++i) {
    const Label& word = strip.lblWord[i];
    const Rect& r = word.Bounds();
    if (word.Visible() && pt.x >= r.left && pt.x < r.right && pt.y >= r.top && pt.y < r.bottom)
      return {Hit::What::kKey, {KeyRef::Kind::kCandidate, static_cast<int>(i)}};
  }
  return {Hit::What::kInert, {}};
}

std::wstring FrmKbd::WordKeys::Shows(KeyRef key) {
  return kbd_.frmWords.lblWord[static_cast<std::size_t>(key.index)].Caption();
}

void FrmKbd::WordKeys::KeyDown(KeyRef key) {
  kbd_.lblWord_MouseDown(key.index);
  PaintHeld();
}

void FrmKbd::WordKeys::KeyUp(KeyRef key) {
  kbd_.lblWord_MouseUp(key.index);
  PaintHeld();
}

// Another finger still on a word keeps its press colour.
void FrmKbd::WordKeys::PaintHeld() {
  for (const KeyRef held : kbd_.word_presses_.HeldKeys())
    kbd_.frmWords.lblWord[static_cast<std::size_t>(held.index)].SetForeColor(
        kbd_.highlight_.DownColor());
}

void FrmKbd::WordKeys::KeyAct(KeyRef, const std::wstring& shown) { kbd_.TypeWord(shown); }

std::optional<Point> FrmKbd::WordKeys::MouseNow() {
  Point pt;
  if ((kbd_.p_.user32.GetAsyncKeyState(kVkLButton) & 0x8000) == 0 ||
      !kbd_.p_.user32.GetCursorPos(pt))
    return std::nullopt;
  return Point{pt.x - kbd_.frmWords.Left(), pt.y - kbd_.frmWords.Top()};
}

// Only what the line shows before its insertion point is the target's to
// lose: a keystroke target's line ends at its caret.
void FrmKbd::WriteSplice(const LineSplice& splice) {
  if (target_.ByKeystrokes()) {
    // Only what changes goes as keys: "th" completed to "their " takes
    // "eir ", and a slip "tg" to "the " one backspace and "he ".
    const std::wstring& line = cmbText.Text();
    const auto caret = std::min(static_cast<std::size_t>(std::max(edit_line_.CaretPos(), 0)),
                                line.size());
    std::size_t kept = 0;
    while (splice.start + kept < caret && kept < splice.text.size() &&
           line[splice.start + kept] == splice.text[kept])
      ++kept;
    for (std::size_t i = splice.start + kept; i < caret; ++i) target_.PressKey(kVkBack);
    target_.TypeKeys(splice.text.substr(kept));
  }
  edit_line_.Splice(splice.start, splice.end, splice.text, static_cast<std::int32_t>(splice.caret));
}

bool FrmKbd::CloseUpToWord(const std::wstring& ch) {
  const auto completed = std::exchange(completed_, std::nullopt);
  if (ch.size() != 1 || !ClosesUp(ch[0]) || !completed) return false;
  const std::int32_t caret = edit_line_.CaretPos();
  if (completed->caret != caret || completed->line != cmbText.Text() || caret <= 0 ||
      cmbText.Text()[static_cast<std::size_t>(caret - 1)] != L' ') {
    return false;
  }
  const auto at = static_cast<std::size_t>(caret);
  WriteSplice(LineSplice{at - 1, at, ch, at});
  return true;
}

}  // namespace orv
