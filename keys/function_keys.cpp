// The nine function keys around the character keys.
#include <algorithm>

#include "app/frmKbd.h"

namespace orv {

namespace {
const wchar_t* const kEditingTip = L"Редактируем текст";
}

void FrmKbd::lblControl_MouseDown(int index) {
  const Color normal = lblX[0].ForeColor();
  for (auto& key : lblControl) key.SetForeColor(normal);
  lblControl[static_cast<std::size_t>(index)].SetForeColor(DownColor);
}

void FrmKbd::lblControl_MouseUp(int index) {
  const Color normal = lblX[0].ForeColor();
  for (auto& key : lblControl) key.SetForeColor(normal);
}

void FrmKbd::lblControl_Click(int index) {
  switch (index) {
    case kKeyClr:
      cmbText.SetText(L"");
      CaretPos = 0;
      FillComboHistory();
      break;
    case kKeyTab: TabToNextField(); break;
    case kKeyShift:
      if (ShiftOn == 1) {
        ShiftOn = 0;
        lblControl[kKeyShift].SetForeColor(lblX[0].ForeColor());
      } else {
        ShiftOn = 1;
        lblControl[kKeyShift].SetForeColor(DownColor);
      }
      txtLang_Change(LangBase + ShiftOn);
      break;
    case kKeyLang:
      if (LangBase != 0) {
        LangBase = 0;
        lblControl[kKeyLang].SetForeColor(lblX[0].ForeColor());
      } else {
        LangBase = 2;
        lblControl[kKeyLang].SetForeColor(DownColor);
      }
      txtLang_Change(ShiftOn + LangBase);
      break;
    case kKeySpace: InsertAtCaret(L" "); break;
    case kKeyBack: {
      const std::wstring& t = cmbText.Text();
      if (CaretPos <= 0 || t.empty()) break;
      const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(CaretPos), t.size());
      std::wstring line = t.substr(0, at - 1);
      if (static_cast<std::size_t>(CaretPos) < t.size()) line.append(t, at, std::wstring::npos);
      cmbText.SetText(line);
      FillComboHistory();
      --CaretPos;
      cmbText.SetSelStart(CaretPos);
      break;
    }
    case kKeyEnter: PressEnterInTarget(); break;
    case kKeyClose:
      if (HideToTray == 1) {
        SetVisible(false);
      } else {
        std::int16_t cancel = 0;
        Form_Unload(cancel);
      }
      break;
    case kKeyOptions: ToggleOptionsPanel(); break;
    default: break;
  }
}

// Opens or closes the options panel below the keys. A keyboard parked at
// the bottom of the screen moves up while the panel is open, so that the
// panel can be reached, and goes back down when it closes.
void FrmKbd::ToggleOptionsPanel() {
  const int tpp = p_.toolkit.TwipsPerPixelY();
  if (Height() * tpp == kExpandedHeightTwips) {
    SetHeight(kCollapsedHeightPx * tpp / 15);
    if (top_before_options_) SetTop(*top_before_options_);
    top_before_options_.reset();
    SaveSettings();
    return;
  }
  SetHeight(kExpandedHeightTwips / tpp);
  Rect work;
  if (p_.user32.SystemParametersInfoWorkArea(work) && Top() + Height() > work.bottom) {
    top_before_options_ = Top();
    SetTop(std::max(work.top, work.bottom - Height()));
  }
}

// Moves the target to the next text field of its class in the same parent,
// wrapping to the first; the keyboard's own edit line is never a target.
void FrmKbd::TabToNextField() {
  if (TargetWnd == 0 || !p_.user32.IsWindow(TargetWnd)) return;
  std::wstring path = kelp_.GetWindowPath(TargetWnd);
  const std::wstring parent_text = kelp_.GetField(path, 1, L',', L"");
  // The NOPARENT and NOTFOUND forms name no parent to search in.
  if (parent_text.empty() || parent_text.find_first_not_of(L"-0123456789") != std::wstring::npos) {
    return;
  }
  const Hwnd parent = static_cast<Hwnd>(std::wcstoll(parent_text.c_str(), nullptr, 10));
  const std::int64_t ordinal =
      std::wcstoll(kelp_.GetField(path, 2, L',', L"").c_str(), nullptr, 10);
  const std::wstring cls = kelp_.GetField(path, 3, L',', L"");
  Hwnd next = kelp_.FindNthChild(parent, ordinal + 1, cls);
  if (next == -1) next = kelp_.FindNthChild(parent, 0, cls);
  if (next == -1 || next == 0) return;
  const std::wstring next_cls = kelp_.GetWindowClass(next);
  if (next_cls != L"Edit" && next_cls != L"ThunderRT6TextBox") return;
  if (p_.user32.GetParent(p_.user32.GetParent(next)) == hWnd()) return;

  TargetWnd = next;
  const std::wstring text = kelp_.GetWindowTextTimeout(next, 500);
  target_is_password_ = kelp_.IsPasswordField(next, text != kHungMarker);
  if (text == kHungMarker) return;
  cmbText.SetText(text);
  if (chkFont[kChkTips].Value() == 1) ShowInfoTTip(kEditingTip, 2);
  FillComboHistory();
  cmbText.SetSelStart(static_cast<std::int32_t>(cmbText.Text().size()));
  CaretPos = cmbText.SelStart();
}

// Gives the target the focus with a click, presses Enter in it and records
// the text. The edit line keeps the text just sent.
void FrmKbd::PressEnterInTarget() {
  if (TargetWnd == 0 || !p_.user32.IsWindow(TargetWnd)) return;
  Point saved;
  p_.user32.GetCursorPos(saved);
  Rect r;
  p_.user32.GetWindowRect(TargetWnd, r);
  p_.user32.SetCursorPos(r.left + 5, r.top + 5);
  p_.kernel32.Sleep(100);
  kelp_.SendMouseClick(0, 5);
  p_.kernel32.Sleep(100);
  kelp_.SendKey(kVkReturn, 5);
  p_.kernel32.Sleep(100);
  p_.user32.SetCursorPos(saved.x, saved.y);

  const std::wstring sent = cmbText.Text();
  // A password never goes into the history. A text that was recorded is
  // written to the settings at once: in a car the power goes at every
  // ignition off, long before any orderly shutdown.
  if (!target_is_password_) {
    const std::size_t before = HistoryItems.size();
    AddStringToHistory(sent);
    if (HistoryItems.size() != before) SaveSettings();
  }
  cmbText.Clear();
  for (const auto& item : HistoryItems) {
    if (!item.empty()) cmbText.AddItem(item);
  }
  cmbText.SetText(sent);
  CaretPos = static_cast<std::int32_t>(sent.size());
  cmbText.SetSelStart(CaretPos);
  if (HideToTray == 1) SetVisible(false);
}

}  // namespace orv
