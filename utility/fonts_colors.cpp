// The key font and colour options, and the font list they pick from.
#include "app/frmKbd.h"
#include "utility/KelpUltimate.h"

namespace orv {

// Every face in the order the system reports it, vertical "@" faces too:
// the list is the user's to choose from, not ours to judge.
void FontColorRoutines::FillFontList(ComboBox& target, Hdc dc) {
  p_.gdi32.EnumFontsW(dc, [&target](const LogFont& lf) {
    std::wstring name = lf.face_name;
    if (auto nul = name.find(L'\0'); nul != std::wstring::npos) name.resize(nul);
    target.AddItem(name);
    return 1;
  });
}

// Custom colours start black on every call: the dialog remembers nothing.
std::int32_t FontColorRoutines::PickColor(Hwnd owner, Color initial_color) {
  constexpr std::uint32_t kCcRgbInit = 0x1, kCcFullOpen = 0x2, kCcAnyColor = 0x100;
  ChooseColorRecord record;
  record.owner = owner;
  record.result = initial_color;
  record.custom_colors.fill(0);
  record.flags = kCcRgbInit | kCcFullOpen | kCcAnyColor;
  if (p_.comdlg32.ChooseColorW(record) != 1) return -1;
  return static_cast<std::int32_t>(record.result);
}

// The first key holds the look; the others copy it, and with colours_too the
// function keys and the edit line take its colour.
void FrmKbd::PropagateTemplateKey(bool colours_too) {
  const auto& tmpl = lblX[0];
  for (std::size_t i = 1; i < lblX.size(); ++i) {
    lblX[i].SetFont(tmpl.Font());
    lblX[i].SetForeColor(tmpl.ForeColor());
  }
  if (!colours_too) return;
  for (auto& key : lblControl) key.SetForeColor(tmpl.ForeColor());
  cmbText.SetForeColor(tmpl.ForeColor());
}

// Every option box re-spreads the look, even those that change none of it.
void FrmKbd::chkFont_Click(int index) {
  auto& tmpl = lblX[0];
  const int value = chkFont[static_cast<std::size_t>(index)].Value();
  switch (index) {
    case kChkBold: tmpl.SetFontBold(value == 1); break;
    case kChkItalic: tmpl.SetFontItalic(value == 1); break;
    case kChkUnderline: tmpl.SetFontUnderline(value == 1); break;
    case kChkColor1:
      if (const auto c = kelp_.PickColor(hWnd(), tmpl.ForeColor()); c != -1) {
        tmpl.SetForeColor(static_cast<Color>(c));
      }
      break;
    case kChkColor2:
      // Said first, whatever the Tips option: the dialog alone does not say
      // which colour it is asking for.
      ShowInfoTTip(L"Укажите цвет клавиш при нажатии", 2);
      if (const auto c = kelp_.PickColor(hWnd(), DownColor); c != -1) {
        DownColor = static_cast<Color>(c);
      }
      break;
    case kChkShiftAsCaps: ShiftAsCaps = static_cast<std::int16_t>(value); break;
    default: break;  // Tips and the tray option are read where they are used
  }
  PropagateTemplateKey(true);
}

// Picked by the user or selected by the settings loader alike.
void FrmKbd::cmbFont_Click() {
  if (cmbFont.ListIndex() < 0) return;
  lblX[0].SetFontName(cmbFont.List(cmbFont.ListIndex()));
  PropagateTemplateKey(false);
}

// The size lands on the character keys only; the function keys keep theirs.
void FrmKbd::cmbSize_Click() {
  if (cmbSize.ListIndex() < 0) return;
  lblX[0].SetFontSize(std::wcstod(cmbSize.List(cmbSize.ListIndex()).c_str(), nullptr));
  PropagateTemplateKey(false);
}

}  // namespace orv
