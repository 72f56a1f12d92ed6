// OrvKey.ini: a positional file. One table states its lines in order; the
// reader and the writer both walk it, so they agree line for line.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keys/layouts.h"
#include "platform/ports.h"

namespace orv {

inline const std::wstring kSettingsFileName = L"OrvKey.ini";
// Where a file that could not be read is kept.
inline const std::wstring kBrokenSettingsSuffix = L".bad";
// What a blank layout is saved as.
inline const std::wstring kEmptyLayoutText = L"1234567890";

// The file's bytes after the settings lines, and how they are encoded.
struct UnreadHistory {
  std::string bytes;
  bool utf8 = false;
};

// What the file holds. A value the reader could not take is left empty (a
// style left off), and the loader then keeps that setting as it was.
struct SettingsValues {
  std::array<std::wstring, kLayouts> layouts;
  std::wstring font_name;
  // Read, a style line only ever turns its style on.
  bool bold = false, italic = false, underline = false;
  std::optional<double> font_size;
  std::optional<Color> font_color, down_color;
  std::optional<std::int16_t> tips, caps, hide_to_tray;
  // The remembered texts, one a line, that a write saves.
  std::vector<std::wstring> history;
  // What a read found after the settings lines, undecoded: a long history
  // is decoded and split (HistoryLines) off the start-up's path.
  UnreadHistory unread_history;
};

// The history lines a read left unread, oldest last, without the section
// lines. Touches nothing but its arguments and FromAnsi, which is callable
// from any thread, so it may run on any thread.
std::vector<std::wstring> HistoryLines(Kernel32& kernel32, const UnreadHistory& unread);

class SettingsFile {
 public:
  explicit SettingsFile(Kernel32& kernel32) : k_(kernel32) {}

  // What the last read found, and so what a save may do with the file.
  enum class Found {
    kNoFile,  // nothing there: the first save creates it
    kWhole,   // read to its end: a save replaces it
    // Empty, unreadable, over the size cap, no text, or no layout line in
    // it: kept beside as OrvKey.ini.bad before the first save replaces it.
    kBroken,
    kLocked,  // could not be opened at all: not overwritten this run
  };

  // Fixed once, when the settings are first loaded or saved.
  bool HasPath() const { return !path_.empty(); }
  void SetPath(std::wstring path) { path_ = std::move(path); }
  // Read in one place, saved in another: nothing there is kept or spared,
  // and the file read stays as it was.
  void SaveElsewhere(std::wstring path) {
    path_ = std::move(path);
    found_ = Found::kNoFile;
  }
  bool Exists() { return k_.FileExists(path_); }

  // Reads the whole file. Once its end is reached every read fails and
  // leaves the last line read, so the remaining lines are read from that one
  // again; a layout line the file does not reach, or a blank one, is left
  // empty. A file that cannot be read gives nothing at all.
  SettingsValues Read();
  // Writes the new file beside the old one and moves it over in one step,
  // so a power cut at any moment leaves either the old settings or the new
  // ones, never a part. False when the settings could not be stored: the
  // old file is then as it was, and the next save tries again.
  bool Write(const SettingsValues& values);

 private:
  Kernel32& k_;
  std::wstring path_;
  Found found_ = Found::kNoFile;
};

}  // namespace orv
