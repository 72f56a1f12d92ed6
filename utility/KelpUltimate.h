// KelpUltimate: the program's utility module of free routines over window
// handles, with its small module-level state. The routines live beside the
// subsystem that owns them (target/, keys/, utility/), one module for all.
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "app/controls.h"
#include "platform/ports.h"

namespace orv {

// The answer GetWindowTextTimeout gives for a window that does not answer.
inline const std::wstring kHungMarker = L"(Не отвечает)";

// The optional argument of WindowCommand: absent, a number or a text.
class CommandParam {
 public:
  CommandParam() = default;
  CommandParam(double v) : value_(v) {}
  CommandParam(int v) : value_(static_cast<double>(v)) {}
  CommandParam(std::wstring text) : value_(std::move(text)) {}
  CommandParam(const wchar_t* text) : value_(std::wstring(text)) {}

  bool Present() const { return !std::holds_alternative<std::monostate>(value_); }
  // A number becomes text the way the system prints it, with its decimal
  // separator; absence is the empty text.
  std::wstring AsText(const std::wstring& decimal_separator) const;
  // The text read back by the longest leading number (LeadingNumber).
  double AsNumber(const std::wstring& decimal_separator) const;

 private:
  std::variant<std::monostate, double, std::wstring> value_;
};

// The longest leading decimal number of a text (point as separator, optional
// sign and exponent); 0 when the text does not start with one.
double LeadingNumber(const std::wstring& text);

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
  bool IsPasswordField(Hwnd wnd, bool may_ask);

  // --- Window commands (utility/window_command.cpp)
  // Puts a window above all non-topmost ones; with activate false it keeps
  // the focus where it is.
  void SetTopmost(const Form& form, bool activate);
  // Applies command 0..15 to any window; other numbers do nothing.
  void WindowCommand(Hwnd wnd, int command, const CommandParam& param = {});
  // "NT", "9X" or empty: which window effects the system has.
  std::wstring GetOSFamily();
  bool HasWindowStyle(Hwnd wnd, std::int32_t mask);
  void SetWindowAlpha(std::uint8_t alpha, Hwnd wnd);
  std::wstring GetWindowExePath(Hwnd wnd);
  std::uint32_t GetWindowProcessId(Hwnd wnd);
  // 0 when the process was ended, 1 otherwise.
  int KillProcess(std::uint32_t process_id);
  // The part after the last backslash; strip_trailing first drops one
  // trailing backslash from the caller's text.
  static std::wstring GetFileNamePart(std::wstring& path, bool strip_trailing);

  // --- Slide animation and work area (utility/slide.cpp)
  // Moves a window in a straight line at constant speed; false when the
  // cursor stopped it.
  bool SlideWindow(Hwnd wnd, std::int32_t x, std::int32_t y, std::int32_t duration_ms, bool animate,
                   bool stop_on_cursor, bool rewind, bool pump_events);
  void MeasureScreen();
  Rect GetDesktopRect();
  // 0 left, 1 right (also none), 2 top, 3 bottom.
  int GetTaskbarEdge();
  Rect GetTaskbarRect();
  Rect GetWorkArea();
  // The desktop's right and bottom edges when the tip window was loaded.
  std::int32_t ScreenRight = 0;
  std::int32_t ScreenBottom = 0;

  // --- Picture-shaped regions (utility/regions.cpp)
  bool CreateDIB24(Hdc dc, std::int32_t width, std::int32_t height, Hbitmap& bitmap);
  bool CreatePixelBuffer(std::int32_t width, std::int32_t height);
  void CopyPictureToBuffer(Picture picture);
  // Cuts the window down to the picture's pixels that are not `transparent`;
  // 1 means the colour of the bottom-left pixel, written back.
  void ShapeWindowFromPicture(Hwnd wnd, Picture picture, Color& transparent);
  template <typename Target>
  void ShapeWindowFromPicture(Target& target, Color& transparent) {
    ShapeWindowFromPicture(target.hWnd(), target.GetPicture(), transparent);
  }
  // The picture's opaque runs, one rectangle per run of one pixel row, in
  // top-to-bottom, left-to-right order.
  std::vector<Rect> PixelRuns(Color transparent) const;
  // The region of a list of runs, built one union at a time (the old way,
  // kept to check and measure the whole-list build against).
  Hrgn RegionByUnion(const std::vector<Rect>& runs);
  // The same region built from the whole list at once: short bands made in
  // one call each, merged pairwise.
  Hrgn RegionFromRuns(const std::vector<Rect>& runs);
  void ReleasePixelBuffer();
  std::int32_t BufferWidth() const;
  std::int32_t BufferHeight() const;

  // --- Fonts and colours (utility/fonts_colors.cpp)
  // Adds every typeface the device context reports to the list, unfiltered.
  void FillFontList(ComboBox& target, Hdc dc);
  // The colour chosen in the system's colour dialog, or -1 when none was.
  std::int32_t PickColor(Hwnd owner, Color initial_color);

 private:
  Ports& p_;
  ComboBox* FontListTarget = nullptr;
  // The pixel buffer of the shaping routines: one at a time.
  Hbitmap BufferBitmap = 0;
  Hgdiobj BufferOldBitmap = 0;
  Hdc BufferDC = 0;
  std::uint8_t* BufferBits = nullptr;
  BitmapInfoHeader BufferInfo{};
};

}  // namespace orv
