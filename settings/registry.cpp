// Window placement and autostart in the registry.
#include "settings/registry.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "settings/conversions.h"
#include "utility/failure_log.h"

namespace orv {

namespace {

const std::wstring kKeyClass = L"String";

// Registry text is UTF-16 with its NUL, whatever the width of wchar_t here.
std::vector<std::uint8_t> Utf16Bytes(const std::wstring& text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size() * 2 + 2);
  auto unit = [&out](std::uint32_t u) {
    out.push_back(static_cast<std::uint8_t>(u & 0xFF));
    out.push_back(static_cast<std::uint8_t>(u >> 8));
  };
  for (wchar_t ch : text) {
    auto c = static_cast<std::uint32_t>(ch);
    if (c >= 0x10000) {
      c -= 0x10000;
      unit(0xD800 + (c >> 10));
      unit(0xDC00 + (c & 0x3FF));
    } else {
      unit(c);
    }
  }
  unit(0);
  return out;
}

// The text up to the first NUL; a value stored without one ends with its data.
std::wstring TextOfUtf16(const std::vector<std::uint8_t>& data) {
  std::wstring out;
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto u = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    if (u == 0) break;
    out += u;
  }
  return out;
}

std::wstring HexPairs(const std::vector<std::uint8_t>& data) {
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring out;
  out.reserve(data.size() * 3);
  for (std::uint8_t b : data) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
    out += L' ';
  }
  return out;
}

std::vector<std::uint8_t> DwordBytes(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

struct PlacementKeys {
  std::wstring parent, key;
};

PlacementKeys KeysOf(Toolkit& toolkit, const std::wstring& window_name, const std::wstring& project,
                     const std::wstring& form) {
  const std::wstring app = project == L"ProjectName" ? toolkit.AppTitle() : project;
  const std::wstring name = form == L"FormName" ? window_name : form;
  const std::wstring parent = L"Software\\" + app + L"\\";
  return {parent, parent + name + L"\\"};
}

// A placement number in twips turned into whole pixels; no value when the
// text is no number. Far beyond any screen it stops, so that the window's
// edges stay numbers.
std::optional<std::int32_t> PixelsOf(const std::wstring& text, const std::wstring& sep,
                                     int twips_per_pixel) {
  constexpr double kFarAway = 1 << 24;
  const auto twips = ParseNumber(text, sep);
  if (!twips || twips_per_pixel <= 0) return std::nullopt;
  return ToInt32(std::clamp(std::floor(std::floor(*twips) / twips_per_pixel), -kFarAway, kFarAway));
}

// A place on a screen that is gone, a bad value, or a place that leaves even
// a part of the keyboard off the screen (its X key out of reach) is not
// kept: the keyboard comes back wholly on the nearest monitor's work area.
void KeepOnAMonitor(User32& user32, Form& window) {
  const Rect r{window.Left(), window.Top(), window.Left() + window.Width(),
               window.Top() + window.Height()};
  Rect work;
  if (!user32.MonitorWorkAreaFromRect(r, work)) return;
  if (r.left >= work.left && r.top >= work.top && r.right <= work.right &&
      r.bottom <= work.bottom) {
    return;
  }
  window.SetLeft(std::max(work.left, std::min(r.left, work.right - window.Width())));
  window.SetTop(std::max(work.top, std::min(r.top, work.bottom - window.Height())));
}

}  // namespace

bool CreateRegKey(Advapi32& reg, Hkey root, const std::wstring& subkey, const std::wstring& cls) {
  Hkey key = 0;
  std::uint32_t disposition = 0;
  if (reg.RegCreateKeyExW(root, subkey, cls, 0, kKeyAllAccess, &key, &disposition) !=
      kErrorSuccess) {
    return false;
  }
  reg.RegFlushKey(key);
  reg.RegCloseKey(key);
  return disposition == kRegCreatedNewKey;
}

bool WriteRegValue(Advapi32& reg, Hkey root, const std::wstring& subkey, const std::wstring& name,
                   const RegValueArg& value) {
  Hkey key = 0;
  if (reg.RegOpenKeyExW(root, subkey, kKeyAllAccess, &key) != kErrorSuccess) return false;
  long result = kErrorSuccess;
  if (const auto* text = std::get_if<std::wstring>(&value)) {
    result = reg.RegSetValueExW(key, name, kRegSz, Utf16Bytes(*text));
  } else if (const auto* i16 = std::get_if<std::int16_t>(&value)) {
    result =
        reg.RegSetValueExW(key, name, kRegDword,
                           DwordBytes(static_cast<std::uint32_t>(static_cast<std::int32_t>(*i16))));
  } else if (const auto* i32 = std::get_if<std::int32_t>(&value)) {
    result = reg.RegSetValueExW(key, name, kRegDword, DwordBytes(static_cast<std::uint32_t>(*i32)));
  }
  reg.RegCloseKey(key);
  // A key that opened but would not take the value is no case the caller expects.
  if (result != kErrorSuccess) {
    LogFailure(L"RegSetValueExW " + subkey + L" " + name + L" failed: error " +
               std::to_wstring(result));
  }
  return result == kErrorSuccess;
}

bool ReadRegValue(Advapi32& reg, Hkey root, const std::wstring& subkey, const std::wstring& name,
                  std::wstring& holder) {
  Hkey key = 0;
  if (reg.RegOpenKeyExW(root, subkey, kKeyRead, &key) != kErrorSuccess) return false;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  bool read = reg.RegQueryValueExW(key, name, &type, &data) == kErrorSuccess;
  if (read) {
    switch (type) {
      case kRegSz: holder = TextOfUtf16(data); break;
      case kRegDword:
        if (data.size() < 4) {
          read = false;
          break;
        }
        holder =
            std::to_wstring(static_cast<std::int32_t>(data[0] | (data[1] << 8) | (data[2] << 16) |
                                                      (static_cast<std::uint32_t>(data[3]) << 24)));
        break;
      case kRegBinary: holder = HexPairs(data); break;
      default: break;  // read, but not a kind the holder can show
    }
  }
  reg.RegCloseKey(key);
  return read;
}

// A minimised keyboard is saved as a normal one, at the place it had before
// (the shell never reports the minimised place to the window's model).
// Written under HKEY_LOCAL_MACHINE where the user may; an ordinary user on a
// current system may not, and then the same values go under
// HKEY_CURRENT_USER, so the keyboard still comes back where it was left.
void SaveFormPlacement(Ports& p, const Form& window, const std::wstring& window_name,
                       const std::wstring& project, const std::wstring& form) {
  const PlacementKeys keys = KeysOf(p.toolkit, window_name, project, form);
  const std::wstring sep = p.kernel32.GetDecimalSeparator();
  const double tx = p.toolkit.TwipsPerPixelX(), ty = p.toolkit.TwipsPerPixelY();
  const std::array<std::pair<const wchar_t*, std::wstring>, 6> values{{
      {L"WindowState",
       std::to_wstring(window.WindowState() == kWindowMinimized ? kWindowNormal
                                                                : window.WindowState())},
      {L"Left", FormatNumber(window.Left() * tx, sep)},
      {L"Top", FormatNumber(window.Top() * ty, sep)},
      {L"Width", FormatNumber(window.Width() * tx, sep)},
      {L"Height", FormatNumber(window.Height() * ty, sep)},
      {L"Show", window.Visible() ? L"True" : L"False"},
  }};
  auto write_all = [&](Hkey root) {
    bool stored = false;
    for (const auto& [name, text] : values) {
      stored = WriteRegValue(p.advapi32, root, keys.key, name, text) || stored;
    }
    return stored;
  };

  CreateRegKey(p.advapi32, kHkeyLocalMachine, keys.parent, kKeyClass);
  CreateRegKey(p.advapi32, kHkeyLocalMachine, keys.key, kKeyClass);
  const bool machine = write_all(kHkeyLocalMachine);
  if (!machine) {
    CreateRegKey(p.advapi32, kHkeyCurrentUser, keys.parent, kKeyClass);
    CreateRegKey(p.advapi32, kHkeyCurrentUser, keys.key, kKeyClass);
  }
  // The loader prefers the user's copy, so an existing one is kept current
  // even when the machine's copy was written too; a missing one stays missing.
  const bool user = write_all(kHkeyCurrentUser);
  if (!machine && !user) LogFailure(L"The window placement could not be saved in the registry");
}

// One text holder takes every value in turn: a value that cannot be read
// leaves the previous value's text for the next step, as it always has.
void LoadFormPlacement(Ports& p, Form& window, const std::wstring& window_name,
                       const std::wstring& project, const std::wstring& form) {
  const PlacementKeys keys = KeysOf(p.toolkit, window_name, project, form);
  const std::wstring sep = p.kernel32.GetDecimalSeparator();
  std::wstring holder;
  const Hkey root = ReadRegValue(p.advapi32, kHkeyCurrentUser, keys.key, L"WindowState", holder)
                        ? kHkeyCurrentUser
                        : kHkeyLocalMachine;
  holder.clear();
  auto read = [&](const wchar_t* name) { ReadRegValue(p.advapi32, root, keys.key, name, holder); };

  read(L"WindowState");
  if (auto n = ParseNumber(holder, sep)) {
    if (auto state = ToInt16(std::floor(*n));
        state && (*state == kWindowNormal || *state == kWindowMaximized)) {
      window.SetWindowState(*state);
    }
  }
  read(L"Left");
  if (auto left = PixelsOf(holder, sep, p.toolkit.TwipsPerPixelX())) window.SetLeft(*left);
  read(L"Top");
  if (auto top = PixelsOf(holder, sep, p.toolkit.TwipsPerPixelY())) window.SetTop(*top);
  KeepOnAMonitor(p.user32, window);
  // The size is read but not applied: start-up sets the height itself.
  read(L"Width");
  read(L"Height");
  read(L"Show");
  if (holder.empty()) {
    window.SetVisible(true);
  } else if (auto shown = ParseBoolean(holder, sep)) {
    window.SetVisible(*shown);
  }
}

}  // namespace orv

namespace orv {

// Stored where the placement is: the machine's key where the user may write
// it, else the user's own, which the loader then prefers.
void SaveSuggestionsOption(Ports& p, bool on) {
  const PlacementKeys keys = KeysOf(p.toolkit, L"frmKbd", L"ProjectName", L"FormName");
  const std::wstring value = on ? L"1" : L"0";
  CreateRegKey(p.advapi32, kHkeyLocalMachine, keys.parent, kKeyClass);
  CreateRegKey(p.advapi32, kHkeyLocalMachine, keys.key, kKeyClass);
  if (!WriteRegValue(p.advapi32, kHkeyLocalMachine, keys.key, kSuggestionsValue, value)) {
    CreateRegKey(p.advapi32, kHkeyCurrentUser, keys.parent, kKeyClass);
    CreateRegKey(p.advapi32, kHkeyCurrentUser, keys.key, kKeyClass);
  }
  WriteRegValue(p.advapi32, kHkeyCurrentUser, keys.key, kSuggestionsValue, value);
}

std::optional<bool> LoadSuggestionsOption(Ports& p) {
  const PlacementKeys keys = KeysOf(p.toolkit, L"frmKbd", L"ProjectName", L"FormName");
  std::wstring holder;
  if (!ReadRegValue(p.advapi32, kHkeyCurrentUser, keys.key, kSuggestionsValue, holder) &&
      !ReadRegValue(p.advapi32, kHkeyLocalMachine, keys.key, kSuggestionsValue, holder)) {
    return std::nullopt;
  }
  // Anything but a stored "0" leaves the option on, as it starts.
  return Trimmed(holder) != L"0";
}

}  // namespace orv
