// Reading and writing OrvKey.ini by one table of its lines.
#include "settings/settings_file.h"

#include <functional>

#include "settings/conversions.h"

namespace orv {

namespace {

const std::wstring kFileHeader = L"[OrvCar Keyboard Settings File]";
const std::wstring kHistoryHeader = L"[History]";
const std::string kUtf8Bom = "\xEF\xBB\xBF";
// Key font sizes the font system can make, in points; outside them a size
// line counts as no number.
constexpr double kMinFontSize = 0.75;
constexpr double kMaxFontSize = 2160;
// A settings file is a few kilobytes. A bigger one than this is not read at
// all (never cut: a cut could split a line that a save then writes back), so
// a stray giant file cannot take all the memory.
constexpr std::uint64_t kMaxSettingsBytes = std::uint64_t{64} << 20;

// One line of the file: what the writer puts there, and what the reader
// takes from it (nothing for the fixed lines).
struct LineRule {
  std::function<std::wstring(const SettingsValues&)> write;
  std::function<void(const std::wstring& line, SettingsValues&)> read;
  // Taken only from a line of its own: a layout must never be another line.
  bool own_line_only = false;
};

LineRule Fixed(const std::wstring& text) {
  return {[text](const SettingsValues&) { return text; }, nullptr};
}

LineRule Layout(std::size_t i) {
  return {[i](const SettingsValues& v) { return v.layouts[i]; },
          [i](const std::wstring& line, SettingsValues& v) { v.layouts[i] = line; }, true};
}

// A "Name=value" line; the reader sees the text after the first "=".
template <typename Write, typename Read>
LineRule Named(const std::wstring& name, Write write, Read read) {
  return {
      [name, write](const SettingsValues& v) { return name + L"=" + write(v); },
      [read](const std::wstring& line, SettingsValues& v) { read(GetFieldValue(line, L"="), v); }};
}

// The file's lines in order, with the user's decimal separator.
std::vector<LineRule> LineTable(const std::wstring& sep) {
  auto style = [&sep](const wchar_t* name, bool SettingsValues::*field) {
    return Named(
        name, [field](const SettingsValues& v) { return std::wstring(v.*field ? L"1" : L"0"); },
        [field, sep](const std::wstring& value, SettingsValues& v) {
          const auto n = ParseNumber(value, sep);
          v.*field = n && *n == 1;
        });
  };
  auto colour = [&sep](const wchar_t* name, std::optional<Color> SettingsValues::*field) {
    return Named(
        name,
        [field](const SettingsValues& v) {
          return std::to_wstring(static_cast<std::int32_t>((v.*field).value_or(0)));
        },
        [field, sep](const std::wstring& value, SettingsValues& v) {
          const auto n = ParseNumber(value, sep);
          const auto c = n ? ToInt32(*n) : std::nullopt;
          if (c) v.*field = static_cast<Color>(*c);
        });
  };
  // The option lines take the leading number.
  auto option = [](const wchar_t* name, std::optional<std::int16_t> SettingsValues::*field) {
    return Named(
        name, [field](const SettingsValues& v) { return std::to_wstring((v.*field).value_or(0)); },
        [field](const std::wstring& value, SettingsValues& v) {
          const auto n = NumberAtStart(value);
          if (n) v.*field = ToInt16(*n);
        });
  };
  return {
      Fixed(kFileHeader),
      Layout(0),
      Layout(1),
      Layout(2),
      Layout(3),
      Fixed(L"[Font]"),
      Named(
          L"FontName", [](const SettingsValues& v) { return v.font_name; },
          [](const std::wstring& value, SettingsValues& v) { v.font_name = value; }),
      style(L"FontBold", &SettingsValues::bold),
      style(L"FontItal", &SettingsValues::italic),
      style(L"FontUnder", &SettingsValues::underline),
      Named(
          L"FontSize",
          [sep](const SettingsValues& v) {
            return FormatNumber(SizeThroughNumberFormat(v.font_size.value_or(0), sep), sep);
          },
          [sep](const std::wstring& value, SettingsValues& v) {
            const auto size = ParseNumber(value, sep);
            if (size && *size >= kMinFontSize && *size <= kMaxFontSize) v.font_size = size;
          }),
      colour(L"FontColor", &SettingsValues::font_color),
      colour(L"DownColor", &SettingsValues::down_color),
      Fixed(L"[Settings]"),
      option(L"Tips", &SettingsValues::tips),
      option(L"Caps", &SettingsValues::caps),
      option(L"HideToTray", &SettingsValues::hide_to_tray),
  };
}

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

// The file's text, as far as it is text: a NUL (a block zeroed by a power
// cut) ends it. It is ANSI unless it starts with the UTF-8 byte-order mark,
// which sits on the header line that every reader skips. `whole` says
// whether every byte was text.
struct Decoded {
  std::wstring text;
  bool whole = true;
};
Decoded DecodeSettings(Kernel32& kernel32, std::string_view bytes) {
  Decoded out;
  if (const auto nul = bytes.find('\0'); nul != std::string_view::npos) {
    bytes = bytes.substr(0, nul);
    out.whole = false;
  }
  if (!bytes.starts_with(kUtf8Bom)) {
    out.text = kernel32.FromAnsi(std::string(bytes));
    return out;
  }
  bytes.remove_prefix(kUtf8Bom.size());
  out.text = FromUtf8(bytes);
  // Only valid UTF-8 comes back to the same bytes.
  out.whole = out.whole && ToUtf8(out.text) == bytes;
  return out;
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

}  // namespace

SettingsValues SettingsFile::Read() {
  SettingsValues values;
  std::uint64_t size = 0;
  if (!k_.GetFileSizeEx(path_, size)) {
    found_ = Found::kLocked;
    return values;
  }
  std::string bytes;
  found_ = Found::kBroken;
  if (size > kMaxSettingsBytes || !k_.ReadFileBytes(path_, bytes) ||
      bytes.size() > kMaxSettingsBytes) {
    return values;
  }
  Decoded decoded = DecodeSettings(k_, bytes);
  bytes.clear();
  LineReader file(std::move(decoded.text));
  std::wstring line;
  bool gave_layout = false;
  for (const auto& rule : LineTable(k_.GetDecimalSeparator())) {
    const bool got = file.Read(line);
    if (!rule.read || (rule.own_line_only && !got)) continue;
    rule.read(line, values);
    gave_layout = gave_layout || (rule.own_line_only && !IsBlankText(line));
  }
  // The rest is history, wherever its section line stands.
  while (file.Read(line)) {
    if (line != kHistoryHeader) values.history.push_back(line);
  }
  if (decoded.whole && gave_layout) found_ = Found::kWhole;
  return values;
}

bool SettingsFile::Write(const SettingsValues& values) {
  std::wstring text;
  auto put = [&text](const std::wstring& line) {
    text += line;
    text += L"\r\n";
  };
  for (const auto& rule : LineTable(k_.GetDecimalSeparator())) put(rule.write(values));
  put(kHistoryHeader);
  for (const auto& item : values.history) {
    if (!IsBlankText(item)) put(item);
  }

  if (found_ == Found::kLocked) return false;
  const std::wstring temp = path_ + L".tmp";
  auto fail = [&] {
    k_.DeleteFileW(temp);
    return false;
  };
  if (!k_.WriteFileDurably(temp, EncodeSettings(k_, text))) return fail();
  // A file that could not be read is kept before anything replaces it; if
  // it cannot be kept, it is not replaced.
  if (found_ == Found::kBroken && k_.FileExists(path_)) {
    if (!k_.MoveFileReplace(path_, path_ + kBrokenSettingsSuffix)) return fail();
    found_ = Found::kNoFile;
  }
  if (!k_.MoveFileReplace(temp, path_)) return fail();
  found_ = Found::kWhole;
  return true;
}

}  // namespace orv
