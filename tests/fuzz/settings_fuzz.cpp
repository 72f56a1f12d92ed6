// Any bytes as OrvKey.ini: the keyboard must load them without a crash, a
// hang or runaway memory, and what it then writes must read back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/frmKbd.h"
#include "fakes/fake_desktop.h"

namespace {

const std::wstring kIni = L"C:\\Program Files\\OrvKey\\OrvKey.ini";

// Starts a keyboard on `file` and returns what it saves straight away.
std::string LoadAndSave(const std::string& file, const wchar_t* decimal_separator) {
  orv::fake::Desktop desk;
  desk.decimal_separator = decimal_separator;
  desk.files[kIni] = file;
  orv::Ports ports = desk.ports();
  orv::KelpUltimate kelp(ports);
  orv::FrmKbd kbd(ports, kelp);
  kbd.Form_Load();
  kbd.SaveSettings();
  return desk.files[kIni];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  // With a decimal point the first file written reads back to itself.
  const std::string once = LoadAndSave(file, L".");
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
