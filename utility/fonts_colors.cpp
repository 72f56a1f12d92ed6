// The key font and colour options, and the font list they pick from.
#include "app/frmKbd.h"
#include "utility/KelpUltimate.h"

namespace orv {

void KelpUltimate::FillFontList(ComboBox& target, Hdc dc) {
  FontListTarget = &target;
  p_.gdi32.EnumFontsW(dc, [this](const LogFont& lf) {
    std::wstring name = lf.face_name;
    if (auto nul = name.find(L'\0'); nul != std::wstring::npos) name.resize(nul);
    FontListTarget->AddItem(name);
    return 1;
  });
}

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

void FrmKbd::chkFont_Click(int index) {
  auto& tmpl = lblX[0];
  const int value = chkFont[static_cast<std::size_t>(index)].Value();
  switch (index) {
    case kChkBold: tmpl.SetFontBold(value == 1); break;
    case kChkItalic: tmpl.SetFontItalic(value == 1); break;
    case kChkUnderline: tmpl.SetFontUnderline(value == 1); break;
    case kChkShiftAsCaps: ShiftAsCaps = static_cast<std::int16_t>(value); break;
    default: break;  // the colour dialogs come with the options panel
  }
  PropagateTemplateKey(true);
}

void FrmKbd::cmbFont_Click() {
  if (cmbFont.ListIndex() < 0) return;
  lblX[0].SetFontName(cmbFont.List(cmbFont.ListIndex()));
  PropagateTemplateKey(false);
}

void FrmKbd::cmbSize_Click() {
  if (cmbSize.ListIndex() < 0) return;
  lblX[0].SetFontSize(std::wcstod(cmbSize.List(cmbSize.ListIndex()).c_str(), nullptr));
  PropagateTemplateKey(false);
}

}  // namespace orv
