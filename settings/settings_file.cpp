// Reading and writing OrvKey.ini.
#include <cstdio>
#include <cwchar>

#include "app/frmKbd.h"

namespace orv {

// What a first run starts from, applied as the loader applies a file.
void FrmKbd::ApplyDefaultSettings() {
  for (int i = 0; i < kLayouts; ++i) {
    txtLang[static_cast<std::size_t>(i)].SetText(kDefaultLayouts[static_cast<std::size_t>(i)]);
  }
  auto& tmpl = lblX[0];
  tmpl.SetFontName(L"Tahoma");
  tmpl.SetFontSize(15);
  tmpl.SetFontBold(true);
  tmpl.SetForeColor(255);
  chkFont[kChkTips].SetValue(1);
  DownColor = 65280;
}

// Reads the settings, or applies the defaults on a first run, and brings
// every control the settings touch into line.
void FrmKbd::LoadSettings() {
  // The settings file itself is not read yet: every start is a first run.
  ApplyDefaultSettings();
  BringControlsInLine(false);
  txtLang_Change(0);
}

// Writes the settings file. Not written yet: nothing is saved.
void FrmKbd::SaveSettings() {}

}  // namespace orv

namespace orv {

// A number as the system's number format writes it, then read back by a
// reader that knows only the decimal point: under a decimal comma the
// fraction of a font size is lost, as it always was in the settings file.
double FrmKbd::SizeThroughNumberFormat(double size) {
  std::wstring text = FormatNumber(size);
  return std::wcstod(text.c_str(), nullptr);
}

// Shortest decimal form of v with the user's decimal separator.
std::wstring FrmKbd::FormatNumber(double v) {
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.15g", v);
  std::wstring text = buf;
  const std::wstring sep = p_.kernel32.GetDecimalSeparator();
  if (auto dot = text.find(L'.'); dot != std::wstring::npos) text.replace(dot, 1, sep);
  return text;
}

void FrmKbd::BringControlsInLine(bool from_file) {
  auto& tmpl = lblX[0];
  PropagateTemplateKey(false);
  for (auto& key : lblControl) key.SetForeColor(tmpl.ForeColor());
  chkFont[kChkBold].SetValue(tmpl.Font().bold ? 1 : 0);
  chkFont[kChkItalic].SetValue(tmpl.Font().italic ? 1 : 0);
  chkFont[kChkUnderline].SetValue(tmpl.Font().underline ? 1 : 0);
  chkFont[kChkColor1].SetBackColor(tmpl.ForeColor());
  chkFont[kChkColor2].SetBackColor(DownColor);
  if (from_file) chkFont[kChkHideToTray].SetValue(HideToTray);
  const double size = SizeThroughNumberFormat(tmpl.Font().size);
  for (int i = 0; i < cmbSize.ListCount(); ++i) {
    if (std::wcstod(cmbSize.List(i).c_str(), nullptr) == size) {
      cmbSize.SetListIndex(i);
      break;
    }
  }
  cmbText.SetForeColor(tmpl.ForeColor());
}

}  // namespace orv
