// The registry routines of the window placement and the autostart entry.
// Each reports by its result and raises nothing.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "controls/controls.h"
#include "platform/ports.h"

namespace orv {

// The autostart entry's key under HKEY_CURRENT_USER.
inline const std::wstring kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// What WriteRegValue stores: a text, a 16- or 32-bit number, or a value of
// any other kind, which it leaves unwritten.
using RegValueArg = std::variant<std::wstring, std::int16_t, std::int32_t, double>;

// True only when the key did not exist before.
bool CreateRegKey(Advapi32& reg, Hkey root, const std::wstring& subkey, const std::wstring& cls);
// True when the value was stored, or was of a kind that is not stored; false
// when the key cannot be opened for writing or does not take the value (that
// last is logged). Never creates the key.
bool WriteRegValue(Advapi32& reg, Hkey root, const std::wstring& subkey, const std::wstring& name,
                   const RegValueArg& value);
// Puts a text, a number, or a binary value as hex pairs into holder; false,
// with holder untouched, when nothing could be read.
bool ReadRegValue(Advapi32& reg, Hkey root, const std::wstring& subkey, const std::wstring& name,
                  std::wstring& holder);

// A window's state, position, size and visibility under
// Software\<project>\<form>\. The literal texts "ProjectName" and "FormName"
// stand for the program's title and the window's own name.
void SaveFormPlacement(Ports& p, const Form& window, const std::wstring& window_name,
                       const std::wstring& project = L"ProjectName",
                       const std::wstring& form = L"FormName");
void LoadFormPlacement(Ports& p, Form& window, const std::wstring& window_name,
                       const std::wstring& project = L"ProjectName",
                       const std::wstring& form = L"FormName");

// The "Suggestions" option, kept beside the keyboard's placement (the
// settings file's lines stay as they are): "1" on, "0" off. No value when it
// was never stored.
inline const std::wstring kSuggestionsValue = L"Suggestions";
void SaveSuggestionsOption(Ports& p, bool on);
std::optional<bool> LoadSuggestionsOption(Ports& p);

}  // namespace orv
