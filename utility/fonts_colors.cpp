// The font list and the colour dialog of the options panel.
#include "utility/fonts_colors.h"

#include <set>
#include <string>

namespace orv {

// Every face in the order the system reports it, vertical "@" faces too:
// the list is the user's to choose from, not ours to judge. Each face
// once: Wine reports a face once for each of its styles.
void FontColorRoutines::FillFontList(ComboBox& target, Hdc dc) {
  std::set<std::wstring> listed;
  p_.gdi32.EnumFontsW(dc, [&target, &listed](const LogFont& lf) {
    std::wstring name = lf.face_name;
    if (auto nul = name.find(L'\0'); nul != std::wstring::npos) name.resize(nul);
    if (listed.insert(name).second) target.AddItem(name);
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

}  // namespace orv
