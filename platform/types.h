// Plain values that cross the ports: handles, points, rectangles, colours.
#pragma once
#include <cstdint>
#include <string>

namespace orv {

// Window, device-context, GDI-object, icon and registry handles are opaque
// numbers to the core. 0 is "none"; FindNthChild reports absence as -1.
using Hwnd = std::intptr_t;
using Hdc = std::intptr_t;
using Hgdiobj = std::intptr_t;
using Hrgn = std::intptr_t;
using Hbitmap = std::intptr_t;
using Hicon = std::intptr_t;
using Hkey = std::intptr_t;
using Handle = std::intptr_t;
using Picture = std::intptr_t;  // a loaded picture owned by the toolkit, 0 = none

// 0x00BBGGRR, red in the low byte, as the system keeps colours.
using Color = std::uint32_t;

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom lie just outside, as the system's RECT.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
  std::int32_t width() const { return right - left; }
  std::int32_t height() const { return bottom - top; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// The key font as the labels carry it.
struct Font {
  std::wstring name = L"Tahoma";
  double size = 14.25;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int charset = 204;  // Cyrillic
  friend bool operator==(const Font&, const Font&) = default;
};

}  // namespace orv
