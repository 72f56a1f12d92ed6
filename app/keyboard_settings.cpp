// The keyboard's settings: what a first run starts from, and the controls
// that OrvKey.ini's values go to and come from.
#include <algorithm>
#include <future>
#include <memory>

#include "app/frmKbd.h"
#include "app/window_routines.h"
#include "settings/conversions.h"
#include "settings/registry.h"
#include "tip/frmTip.h"

namespace orv {

namespace {

const wchar_t* const kSettingsNotSavedTip = L"Настройки не сохранены";
// A first run's key colours.
constexpr Color kDefaultKeyColor = 255;     // red
constexpr Color kDefaultDownColor = 65280;  // green

// Selects the first font of the list whose name matches, ignoring case.
void SelectFontByName(ComboBox& fonts, User32& user32, const std::wstring& name) {
  const std::wstring wanted = user32.CharUpperW(name);
  for (int i = 0; i < fonts.ListCount(); ++i) {
    const std::wstring& item = fonts.List(i);
    if (item.size() == name.size() && user32.CharUpperW(item) == wanted) {
      fonts.SetListIndex(i);
      return;
    }
  }
}

}  // namespace

// What a first run starts from, applied as the loader applies a file.
void FrmKbd::ApplyDefaultSettings() {
  for (int i = 0; i < kLayouts; ++i) {
    txtLang[static_cast<std::size_t>(i)].SetText(kDefaultLayouts[static_cast<std::size_t>(i)]);
  }
  auto& tmpl = lblX[0];
  tmpl.SetFontName(L"Tahoma");
  tmpl.SetFontSize(15);
  tmpl.SetFontBold(true);
  tmpl.SetForeColor(kDefaultKeyColor);
  chkFont[kChkTips].SetValue(CheckBox::kChecked);
  highlight_.SetDownColor(kDefaultDownColor);
}

// Reads the settings, or applies the defaults on a first run, and brings
// every control the settings touch into line. A line that does not convert
// leaves its setting as it was; nothing is reported. The keys always come
// up usable: a layout the file does not give takes its default, and a file
// that gives no layout at all (empty, zeroed, unreadable) starts as a first
// run would, with whatever history it still holds.
void FrmKbd::LoadSettings() {
  // Kept in the registry, with or without a settings file.
  if (LoadSuggestionsOption(p_) == false) chkFont[kChkSuggestions].SetValue(CheckBox::kUnchecked);
  const std::wstring path = MakeFilePath(p_, data_folder_, kSettingsFileName);
  settings_file_.SetPath(path);
  // Settings kept beside the program before it went where this user may
  // not write are read from there and saved here from now on.
  bool moved = false;
  if (data_folder_ != program_folder_ && !settings_file_.Exists()) {
    settings_file_.SetPath(MakeFilePath(p_, program_folder_, kSettingsFileName));
    moved = settings_file_.Exists();
    if (!moved) settings_file_.SetPath(path);
  }
  if (!settings_file_.Exists()) {
    ApplyDefaultSettings();
    BringControlsInLine(false);
    txtLang_Change(0);
    return;
  }
  SettingsValues values = settings_file_.Read();
  if (moved) settings_file_.SaveElsewhere(path);
  const bool gave_layout = std::any_of(values.layouts.begin(), values.layouts.end(),
                                       [](const std::wstring& l) { return !IsBlankText(l); });
  if (gave_layout) {
    ApplySettings(values);
  } else {
    ApplyDefaultSettings();
  }
  BringControlsInLine(gave_layout);
  // The texts are learned for the suggestions as they are read, on the
  // history's own thread; the predictor's load takes them from there.
  auto remembered = std::make_shared<std::promise<std::vector<std::wstring>>>();
  suggestions_.LearnLater(remembered->get_future());
  history_.LoadLater(
      [&kernel32 = p_.kernel32, unread = std::move(values.unread_history), remembered] {
        auto lines = HistoryLines(kernel32, unread);
        remembered->set_value(lines);
        return lines;
      });
  txtLang_Change(0);
  LoadFormPlacement(p_, *this, kKbdFormName);
  history_.ListAll(cmbText, L"");
}

// Each value reaches its control in the file's order, raising the events a
// user's change would (the font list's pick, the option boxes' clicks).
void FrmKbd::ApplySettings(const SettingsValues& v) {
  for (std::size_t i = 0; i < txtLang.size(); ++i) {
    txtLang[i].SetText(IsBlankText(v.layouts[i]) ? kDefaultLayouts[i] : v.layouts[i]);
  }
  SelectFontByName(cmbFont, p_.user32, v.font_name);
  // A style line only ever turns its style on: the designed font has none.
  auto& tmpl = lblX[0];
  if (v.bold) tmpl.SetFontBold(true);
  if (v.italic) tmpl.SetFontItalic(true);
  if (v.underline) tmpl.SetFontUnderline(true);
  if (v.font_size) tmpl.SetFontSize(*v.font_size);
  if (v.font_color) tmpl.SetForeColor(*v.font_color);
  if (v.down_color) highlight_.SetDownColor(*v.down_color);
  // A box refuses all but 0, 1 and 2.
  if (v.tips) chkFont[kChkTips].SetValue(*v.tips);
  if (v.caps) chkFont[kChkShiftAsCaps].SetValue(*v.caps);
  if (v.hide_to_tray) tray_.SetHideToTray(*v.hide_to_tray);
}

// Writes the whole file from the controls; a blank layout is saved as, and
// becomes, the digits. A save that fails says so, whatever the Tips option
// (the old file stays, and the next save tries again); only the last save,
// at shutdown, says nothing, as no tip could be seen.
bool FrmKbd::SaveSettings() {
  const SettingsValues values = CollectSettings();
  // The path was fixed when the settings were loaded; building it again
  // is not needed.
  if (!settings_file_.HasPath()) {
    settings_file_.SetPath(MakeFilePath(p_, data_folder_, kSettingsFileName));
  }
  if (settings_file_.Write(values)) return true;
  if (!unloading_) ShowInfoTTip(kSettingsNotSavedTip, kTipIconKeyboard);
  return false;
}

SettingsValues FrmKbd::CollectSettings() {
  SettingsValues v;
  for (std::size_t i = 0; i < txtLang.size(); ++i) {
    if (IsBlankText(txtLang[i].Text())) txtLang[i].SetText(kEmptyLayoutText);
    v.layouts[i] = txtLang[i].Text();
  }
  const Font& font = lblX[0].Font();
  v.font_name = font.name;
  v.bold = font.bold;
  v.italic = font.italic;
  v.underline = font.underline;
  v.font_size = font.size;
  v.font_color = lblX[0].ForeColor();
  v.down_color = highlight_.DownColor();
  v.tips = static_cast<std::int16_t>(chkFont[kChkTips].Value());
  v.caps = static_cast<std::int16_t>(chkFont[kChkShiftAsCaps].Value());
  v.hide_to_tray = static_cast<std::int16_t>(chkFont[kChkHideToTray].Value());
  v.history = history_.Items();
  return v;
}

// The part of loading that is the same with or without a settings file.
void FrmKbd::BringControlsInLine(bool from_file) {
  auto& tmpl = lblX[0];
  PropagateTemplateKey(false);
  for (auto& key : lblControl) key.SetForeColor(tmpl.ForeColor());
  chkFont[kChkBold].SetValue(tmpl.Font().bold ? 1 : 0);
  chkFont[kChkItalic].SetValue(tmpl.Font().italic ? 1 : 0);
  chkFont[kChkUnderline].SetValue(tmpl.Font().underline ? 1 : 0);
  chkFont[kChkColor1].SetBackColor(tmpl.ForeColor());
  chkFont[kChkColor2].SetBackColor(highlight_.DownColor());
  if (from_file) chkFont[kChkHideToTray].SetValue(tray_.HideToTray());
  const double size = SizeThroughNumberFormat(tmpl.Font().size, p_.kernel32.GetDecimalSeparator());
  for (int i = 0; i < cmbSize.ListCount(); ++i) {
    if (NumberAtStart(cmbSize.List(i)) == size) {
      cmbSize.SetListIndex(i);
      break;
    }
  }
  cmbText.SetForeColor(tmpl.ForeColor());
}

}  // namespace orv
