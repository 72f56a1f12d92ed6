// Any bytes as OrvKey.ini, and after a "--placement--" line any bytes as the
// stored window placement: the keyboard must load them without a crash, a
// hang or runaway memory, come up wholly on the screen, and what it then
// writes must read back to itself. The same bytes are a picture header too,
// as OrvKey.jpg at start-up and to the reader of picture sizes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/frmKbd.h"
#include "fakes/fake_desktop.h"
#include "utility/picture_size.h"

namespace {

const std::wstring kIni = L"C:\\Program Files\\OrvKey\\OrvKey.ini";
const std::wstring kJpg = L"C:\\Program Files\\OrvKey\\OrvKey.jpg";
const std::wstring kPlacementKey = L"HKCU\\Software\\OrvKey\\frmKbd";
const std::string_view kPlacementMark = "\n--placement--\n";

// One text value a line, in the order they are saved, each byte a UTF-16 unit.
void StorePlacement(orv::fake::Desktop& desk, std::string_view lines) {
  for (const wchar_t* name : {L"WindowState", L"Left", L"Top", L"Width", L"Height", L"Show"}) {
    const std::string_view line = lines.substr(0, lines.find('\n'));
    lines.remove_prefix(std::min(lines.size(), line.size() + 1));
    std::vector<std::uint8_t> utf16;
    for (char c : line) utf16.insert(utf16.end(), {static_cast<std::uint8_t>(c), 0});
    desk.registry[kPlacementKey][name] = {orv::kRegSz, utf16};
  }
}

// Starts a keyboard on `file` and returns what it saves straight away.
std::string LoadAndSave(const std::string& file, const wchar_t* decimal_separator,
                        std::string_view placement = {}, bool picture = false) {
  orv::fake::Desktop desk;
  desk.decimal_separator = decimal_separator;
  desk.files[kIni] = file;
  if (picture) desk.files[kJpg] = file;
  if (!placement.empty()) StorePlacement(desk, placement);
  orv::Ports ports = desk.ports();
  orv::KelpUltimate kelp(ports);
  orv::FrmKbd kbd(ports, kelp);
  kbd.Form_Load();
  // Wherever the placement said, all of the keyboard is on the work area.
  const orv::Rect& wa = desk.work_area;
  if (kbd.Left() < wa.left || kbd.Left() + kbd.Width() > wa.right || kbd.Top() < wa.top ||
      kbd.Top() + kbd.Height() > wa.bottom) {
    std::abort();
  }
  kbd.SaveSettings();
  return desk.files[kIni];
}

}  // namespace

// A size read from a header is one that a picture can have.
void ReadPictureSize(std::string_view bytes) {
  const auto size = orv::PictureSizeOf([bytes](std::uint64_t at, std::size_t n) {
    return at < bytes.size() ? std::string(bytes.substr(at, n)) : std::string();
  });
  if (size && (size->width == 0 || size->height == 0 || size->bytes_per_pixel < 4)) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  ReadPictureSize(input);
  const auto mark = input.find(kPlacementMark);
  const std::string file(input.substr(0, mark));
  const std::string_view placement = mark == std::string_view::npos
                                         ? std::string_view()
                                         : input.substr(mark + kPlacementMark.size());
  // With a decimal point the first file written reads back to itself.
  const std::string once = LoadAndSave(file, L".", placement, true);
  if (LoadAndSave(once, L".") != once) std::abort();
  // A decimal comma drops the size's fraction on every save, and the font
  // system rounds a tiny size down again (1,5 is saved as 1, read back as
  // 0.75, saved as 0, then refused): the file must still settle, in a few
  // saves, and never swing between two forms.
  std::string saved = LoadAndSave(file, L",");
  for (int round = 0;; ++round) {
    const std::string again = LoadAndSave(saved, L",");
    if (again == saved) break;
    if (round == 6) std::abort();
    saved = again;
  }
  return 0;
}
