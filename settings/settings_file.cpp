// Reading and writing OrvKey.ini by one table of its lines.
#include "settings/settings_file.h"

#include <functional>

#include "settings/conversions.h"

namespace orv {

namespace {

const std::wstring kFileHeader = L"[OrvCar Keyboard Settings File]";
const std::wstring kHistoryHeader = L"[History]";
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

// Lines end at CR, LF or CR LF, in the bytes as in the decoded text: no
// encoding the file may have puts those bytes inside a character.
template <typename Char>
class LineReader {
 public:
  explicit LineReader(std::basic_string_view<Char> text) : text_(text) {}

  bool Read(std::basic_string<Char>& line) {
    if (pos_ >= text_.size()) return false;
    constexpr Char kBreaks[] = {Char('\r'), Char('\n')};
    const std::size_t end = text_.find_first_of(kBreaks, pos_, 2);
    if (end == std::basic_string_view<Char>::npos) {
      line.assign(text_.substr(pos_));
      pos_ = text_.size();
      return true;
    }
    line.assign(text_.substr(pos_, end - pos_));
    const bool crlf =
        text_[end] == Char('\r') && end + 1 < text_.size() && text_[end + 1] == Char('\n');
    pos_ = end + (crlf ? 2 : 1);
    return true;
  }
  std::basic_string_view<Char> Rest() const { return text_.substr(pos_); }

 private:
  std::basic_string_view<Char> text_;
  std::size_t pos_ = 0;
};

const std::string kUtf8Bom = "\xEF\xBB\xBF";

std::wstring Decode(Kernel32& kernel32, std::string_view bytes, bool utf8) {
  return utf8 ? FromUtf8(bytes) : kernel32.FromAnsi(std::string(bytes));
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

// The file's text, as far as it is text: a NUL (a block zeroed by a power
// cut) ends it. It is ANSI unless it starts with the UTF-8 byte-order mark,
// which sits on the header line that every reader skips. Only the settings
// lines are decoded here; the history after them is left as it stands.
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
  std::string_view text = bytes;
  bool whole = true;
  if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
    text = text.substr(0, nul);
    whole = false;
  }
  const bool utf8 = text.starts_with(kUtf8Bom);
  if (utf8) text.remove_prefix(kUtf8Bom.size());
  const std::vector<LineRule> table = LineTable(k_.GetDecimalSeparator());
  LineReader<char> split(text);
  std::string skipped;
  for (std::size_t i = 0; i < table.size(); ++i) split.Read(skipped);
  const std::string_view rest = split.Rest();
  const std::string_view head = text.substr(0, text.size() - rest.size());

  // Only valid UTF-8 comes back to the same bytes.
  if (utf8) whole = whole && ToUtf8(FromUtf8(text)) == text;
  const std::wstring decoded = Decode(k_, head, utf8);
  LineReader<wchar_t> file(decoded);
  std::wstring line;
  bool gave_layout = false;
  for (const auto& rule : table) {
    const bool got = file.Read(line);
    if (!rule.read || (rule.own_line_only && !got)) continue;
    rule.read(line, values);
    gave_layout = gave_layout || (rule.own_line_only && !IsBlankText(line));
  }
  // The history keeps the file's own buffer: a long one is not copied.
  const auto rest_at = static_cast<std::size_t>(rest.data() - bytes.data());
  bytes.resize(rest_at + rest.size());
  bytes.erase(0, rest_at);
  values.unread_history = {std::move(bytes), utf8};
  if (whole && gave_layout) found_ = Found::kWhole;
  return values;
}

// The rest is history, wherever its section line stands.
std::vector<std::wstring> HistoryLines(Kernel32& kernel32, const UnreadHistory& unread) {
  const std::wstring text = Decode(kernel32, unread.bytes, unread.utf8);
  std::vector<std::wstring> lines;
  LineReader<wchar_t> file(text);
  std::wstring line;
  while (file.Read(line)) {
    if (line != kHistoryHeader) lines.push_back(line);
  }
  return lines;
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
  // it cannot be kept, it is not replaced. It is kept by a copy: moved
  // aside, it would leave no settings at all to a kill before the new file
  // took its place, and the next start would come up on the defaults.
  if (found_ == Found::kBroken && k_.FileExists(path_)) {
    if (!k_.CopyFileReplace(path_, path_ + kBrokenSettingsSuffix)) return fail();
    found_ = Found::kNoFile;
  }
  if (!k_.MoveFileReplace(temp, path_)) return fail();
  found_ = Found::kWhole;
  return true;
}

}  // namespace orv
