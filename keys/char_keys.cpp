// The 47 character keys: press feedback and insertion at the keyboard's own
// insertion point.
#include "app/frmKbd.h"

namespace orv {

void FrmKbd::lblX_MouseDown(int index) {
  const Color normal = lblControl[kKeyClr].ForeColor();
  for (auto& key : lblX) key.SetForeColor(normal);
  lblX[static_cast<std::size_t>(index)].SetForeColor(DownColor);
}

void FrmKbd::lblX_MouseUp(int index) {
  const Color normal = lblControl[kKeyClr].ForeColor();
  for (auto& key : lblX) key.SetForeColor(normal);
}

void FrmKbd::lblX_Click(int index) {
  InsertAtCaret(lblX[static_cast<std::size_t>(index)].Caption());
  // A latched Shift is for one character unless it works as Caps Lock.
  if (ShiftOn == 1 && ShiftAsCaps == 0) {
    ShiftOn = 0;
    lblControl[kKeyShift].SetForeColor(lblControl[kKeyClr].ForeColor());
    txtLang_Change(LangBase + ShiftOn);
  }
}

// Puts text into the edit line before CaretPos (at the end when CaretPos is
// past it), refreshes the history list and moves the caret past the text.
void FrmKbd::InsertAtCaret(const std::wstring& ch) {
  const std::wstring& t = cmbText.Text();
  const std::size_t at = CaretPos < 0 ? 0 : static_cast<std::size_t>(CaretPos);
  std::wstring line;
  if (at >= t.size()) {
    line.reserve(t.size() + ch.size());
    line.append(t).append(ch);
  } else {
    line.reserve(t.size() + ch.size());
    line.append(t, 0, at).append(ch).append(t, at, std::wstring::npos);
  }
  cmbText.SetText(line);
  FillComboHistory();
  CaretPos += static_cast<std::int32_t>(ch.size());
  cmbText.SetSelStart(CaretPos);
}

}  // namespace orv
