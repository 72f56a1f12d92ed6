// KelpUltimate: the program's utility module of free routines over window
// handles, with its small module-level state. The routines live beside the
// subsystem that owns them (target/, keys/, utility/), one module for all.
#pragma once
#include <cstdint>
#include <string>

#include "app/controls.h"
#include "platform/ports.h"

namespace orv {

// The answer GetWindowTextTimeout gives for a window that does not answer.
inline const std::wstring kHungMarker = L"(Не отвечает)";

class KelpUltimate {
 public:
  explicit KelpUltimate(Ports& ports) : p_(ports) {}

  // --- Window identification (target/window_routines.cpp)
  // The window's text, or kHungMarker when it does not answer in time.
  std::wstring GetWindowTextTimeout(Hwnd wnd, unsigned timeout_ms);
  std::wstring GetWindowClass(Hwnd wnd);
  // "parent,ordinal,class", or the NOPARENT / NOTFOUND forms.
  std::wstring GetWindowPath(Hwnd wnd);
  // The n-th child (from 0) of a class, 0 for parent 0, -1 when none.
  Hwnd FindNthChild(Hwnd parent, std::int64_t n, const std::wstring& class_name);

  // --- Target mirroring (target/mirror.cpp)
  // Replaces the target's whole text; bounded by the same time-out as reads.
  void SetTargetText(Hwnd wnd, const std::wstring& text);
  bool IsCursorOverWindow(Hwnd wnd, int margin);

  // --- Synthetic input and field splitting (keys/input_routines.cpp)
  // Action 3 down, 4 up, 5 both; anything else sends nothing.
  void SendKey(std::uint8_t vk, int action);
  // Button 0 left, 1 right, 2 middle; action 3 down, 4 up, else both.
  void SendMouseClick(int button, int action);
  std::wstring GetField(std::wstring& text, int n, wchar_t delimiter,
                        const std::wstring& default_value);
  bool QuotesBalanced(const std::wstring& text);
  bool IsPasswordField(Hwnd wnd);

  // --- Window commands (utility/window_command.cpp)
  // Puts a window above all non-topmost ones; with activate false it keeps
  // the focus where it is.
  void SetTopmost(const Form& form, bool activate);

  // --- Fonts and colours (utility/fonts_colors.cpp)
  // Adds every typeface the device context reports to the list, unfiltered.
  void FillFontList(ComboBox& target, Hdc dc);

 private:
  Ports& p_;
  ComboBox* FontListTarget = nullptr;
};

}  // namespace orv
