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
// What a blank layout is saved as.
inline const std::wstring kEmptyLayoutText = L"1234567890";

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
  // Everything after the settings, without the section lines.
  std::vector<std::wstring> history;
};

class SettingsFile {
 public:
  explicit SettingsFile(Kernel32& kernel32) : k_(kernel32) {}

  // Fixed once, when the settings are first loaded or saved.
  bool HasPath() const { return !path_.empty(); }
  void SetPath(std::wstring path) { path_ = std::move(path); }
  bool Exists() { return k_.FileExists(path_); }

  // Reads the whole file. Once its end is reached every read fails and
  // leaves the last line read, so the remaining lines are read from that one
  // again; a file that cannot be read acts as one whose every read fails.
  SettingsValues Read();
  // Writes the new file beside the old one and moves it over in one step,
  // so a power cut at any moment leaves either the old settings or the new
  // ones, never a part.
  void Write(const SettingsValues& values);

 private:
  Kernel32& k_;
  std::wstring path_;
};

}  // namespace orv
