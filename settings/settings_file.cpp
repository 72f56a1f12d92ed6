// Reading and writing OrvKey.ini. The file is positional: the reader takes
// every line by its place, so the writer and the reader agree line for line.
#include <optional>
#include <string>

#include "app/frmKbd.h"
#include "app/window_routines.h"
#include "settings/conversions.h"

namespace orv {

namespace {

const std::wstring kSettingsFileName = L"OrvKey.ini";
const std::wstring kFileHeader = L"[OrvCar Keyboard Settings File]";
const std::wstring kHistoryHeader = L"[History]";
const std::wstring kEmptyLayoutText = L"1234567890";
const std::string kUtf8Bom = "\xEF\xBB\xBF";
// Key font sizes the font system can make, in points; outside them a size
// line counts as no number.
constexpr double kMinFontSize = 0.75;
constexpr double kMaxFontSize = 2160;
// A settings file is a few kilobytes. Beyond this the rest is ignored, so a
// stray giant file cannot take all the memory.
constexpr std::size_t kMaxSettingsBytes = std::size_t{64} << 20;

bool IsBlankText(const std::wstring& s) { return s.find_first_not_of(L' ') == std::wstring::npos; }

// Reads lines the way the file has always been read: once the end is
// reached every read fails and leaves the last line read where it was, so
// the remaining steps work on that line again.
class LineReader {
 public:
  explicit LineReader(std::wstring text) : text_(std::move(text)) {}

  bool Read(std::wstring& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find_first_of(L"\r\n", pos_);
    if (end == std::wstring::npos) {
      line.assign(text_, pos_, std::wstring::npos);
      pos_ = text_.size();
      return true;
    }
    line.assign(text_, pos_, end - pos_);
    const bool crlf = text_[end] == L'\r' && end + 1 < text_.size() && text_[end + 1] == L'\n';
    pos_ = end + (crlf ? 2 : 1);
    return true;
  }

 private:
  std::wstring text_;
  std::size_t pos_ = 0;
};

// The file is ANSI unless it starts with the UTF-8 byte-order mark, which
// sits on the header line that every reader skips.
std::wstring DecodeSettings(Kernel32& kernel32, std::string bytes) {
  if (bytes.size() > kMaxSettingsBytes) bytes.resize(kMaxSettingsBytes);
  if (bytes.starts_with(kUtf8Bom)) return FromUtf8(std::string_view(bytes).substr(kUtf8Bom.size()));
  return kernel32.FromAnsi(bytes);
}

// ANSI keeps the file readable by the older keyboard and by Notepad on any
// system; only text the code page cannot hold moves the file to UTF-8.
std::string EncodeSettings(Kernel32& kernel32, const std::wstring& text) {
  bool lossless = false;
  std::string ansi = kernel32.ToAnsi(text, &lossless);
  // A best-fit mapping (ä written as a) reports no loss: check the way back.
  if (lossless && kernel32.FromAnsi(ansi) == text) return ansi;
  return kUtf8Bom + ToUtf8(text);
}

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
  tmpl.SetForeColor(255);
  chkFont[kChkTips].SetValue(1);
  DownColor = 65280;
}

// Reads the settings, or applies the defaults on a first run, and brings
// every control the settings touch into line. A line that does not convert
// leaves its setting as it was; nothing is reported.
void FrmKbd::LoadSettings() {
  settings_path_ = MakeFilePath(p_, DataFolder, kSettingsFileName);
  if (!p_.kernel32.FileExists(settings_path_)) {
    ApplyDefaultSettings();
    BringControlsInLine(false);
    txtLang_Change(0);
    return;
  }

  std::string bytes;
  std::wstring text;
  // A file that cannot be read acts as one whose every read fails.
  if (p_.kernel32.ReadFileBytes(settings_path_, bytes)) {
    text = DecodeSettings(p_.kernel32, std::move(bytes));
  }
  LineReader file(std::move(text));
  const std::wstring sep = p_.kernel32.GetDecimalSeparator();
  auto value = [](const std::wstring& line) { return GetFieldValue(line, L"="); };
  auto& tmpl = lblX[0];
  std::wstring line;

  file.Read(line);
  for (auto& box : txtLang) {
    file.Read(line);
    box.SetText(line);  // the box keeps 47 characters
  }
  file.Read(line);
  file.Read(line);
  SelectFontByName(cmbFont, p_.user32, value(line));

  // A style line only ever turns its style on: the designed font has none.
  auto style_on = [&](const std::wstring& l) {
    const auto n = ParseNumber(value(l), sep);
    return n && *n == 1;
  };
  file.Read(line);
  if (style_on(line)) tmpl.SetFontBold(true);
  file.Read(line);
  if (style_on(line)) tmpl.SetFontItalic(true);
  file.Read(line);
  if (style_on(line)) tmpl.SetFontUnderline(true);

  file.Read(line);
  if (auto size = ParseNumber(value(line), sep);
      size && *size >= kMinFontSize && *size <= kMaxFontSize) {
    tmpl.SetFontSize(*size);
  }
  auto colour = [&](const std::wstring& l) -> std::optional<Color> {
    const auto n = ParseNumber(value(l), sep);
    if (!n) return std::nullopt;
    const auto c = ToInt32(*n);
    if (!c) return std::nullopt;
    return static_cast<Color>(*c);
  };
  file.Read(line);
  if (auto c = colour(line)) tmpl.SetForeColor(*c);
  file.Read(line);
  if (auto c = colour(line)) DownColor = *c;
  file.Read(line);

  // The option lines take the leading number; a box refuses all but 0, 1, 2.
  auto option = [&](const std::wstring& l) -> std::optional<std::int16_t> {
    const auto n = NumberAtStart(value(l));
    return n ? ToInt16(*n) : std::nullopt;
  };
  file.Read(line);
  if (auto v = option(line)) chkFont[kChkTips].SetValue(*v);
  file.Read(line);
  if (auto v = option(line)) chkFont[kChkShiftAsCaps].SetValue(*v);
  file.Read(line);
  if (auto v = option(line)) HideToTray = *v;

  BringControlsInLine(true);

  // The rest is history; a blank line holds the empty last place until the
  // next line takes it.
  if (HistoryItems.empty()) HistoryItems.emplace_back();
  while (file.Read(line)) {
    if (line == kHistoryHeader) continue;
    if (!HistoryItems.back().empty()) HistoryItems.emplace_back();
    HistoryItems.back() = line;
  }

  txtLang_Change(0);
  LoadFormPlacement();
  cmbText.Clear();
  for (const auto& item : HistoryItems) {
    if (!item.empty()) cmbText.AddItem(item);
  }
}

// Writes the whole file from the controls. The new file is written beside
// the old one and moved over it in one step, so a power cut at any moment
// leaves either the old settings or the new ones, never a part.
void FrmKbd::SaveSettings() {
  std::wstring text;
  auto put = [&text](const std::wstring& line) {
    text += line;
    text += L"\r\n";
  };
  put(kFileHeader);
  for (auto& box : txtLang) {
    if (IsBlankText(box.Text())) box.SetText(kEmptyLayoutText);
    put(box.Text());
  }
  const auto& tmpl = lblX[0];
  const Font& font = tmpl.Font();
  auto flag = [](bool on) { return std::wstring(on ? L"1" : L"0"); };
  put(L"[Font]");
  put(L"FontName=" + font.name);
  put(L"FontBold=" + flag(font.bold));
  put(L"FontItal=" + flag(font.italic));
  put(L"FontUnder=" + flag(font.underline));
  put(L"FontSize=" + FormatNumber(SizeThroughNumberFormat(font.size)));
  put(L"FontColor=" + std::to_wstring(static_cast<std::int32_t>(tmpl.ForeColor())));
  put(L"DownColor=" + std::to_wstring(static_cast<std::int32_t>(DownColor)));
  put(L"[Settings]");
  put(L"Tips=" + std::to_wstring(chkFont[kChkTips].Value()));
  put(L"Caps=" + std::to_wstring(chkFont[kChkShiftAsCaps].Value()));
  put(L"HideToTray=" + std::to_wstring(chkFont[kChkHideToTray].Value()));
  put(kHistoryHeader);
  for (const auto& item : HistoryItems) {
    if (!IsBlankText(item)) put(item);
  }

  // The path was fixed when the settings were loaded; building it again
  // would repeat MakeFilePath's warning on every Enter.
  if (settings_path_.empty()) settings_path_ = MakeFilePath(p_, DataFolder, kSettingsFileName);
  const std::wstring temp = settings_path_ + L".tmp";
  auto& k = p_.kernel32;
  if (k.WriteFileDurably(temp, EncodeSettings(k, text)) &&
      k.MoveFileReplace(temp, settings_path_)) {
    return;
  }
  k.DeleteFileW(temp);
}

// A number as the system's number format writes it, then read back by a
// reader that knows only the decimal point: under a decimal comma the
// fraction of a font size is lost, as it always was in the settings file.
double FrmKbd::SizeThroughNumberFormat(double size) {
  return NumberAtStart(FormatNumber(size)).value_or(0);
}

std::wstring FrmKbd::FormatNumber(double v) {
  return orv::FormatNumber(v, p_.kernel32.GetDecimalSeparator());
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
  chkFont[kChkColor2].SetBackColor(DownColor);
  if (from_file) chkFont[kChkHideToTray].SetValue(HideToTray);
  const double size = SizeThroughNumberFormat(tmpl.Font().size);
  for (int i = 0; i < cmbSize.ListCount(); ++i) {
    if (NumberAtStart(cmbSize.List(i)) == size) {
      cmbSize.SetListIndex(i);
      break;
    }
  }
  cmbText.SetForeColor(tmpl.ForeColor());
}

}  // namespace orv
