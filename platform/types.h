// Plain values that cross the ports: handles, points, rectangles, colours.
#pragma once
#include <compare>
#include <cstdint>
#include <functional>
#include <string>

namespace orv {

// A system handle: an opaque number, 0 for "none" (FindNthChild reports
// absence as -1). Each kind is a type of its own, so that a device context
// never passes where a window is expected; numbers still become handles
// implicitly, as the system's own constants and the fakes' counters are.
template <class Kind>
class HandleOf {
 public:
  constexpr HandleOf() = default;
  constexpr HandleOf(std::intptr_t value) : value_(value) {}
  constexpr std::intptr_t value() const { return value_; }
  constexpr explicit operator std::intptr_t() const { return value_; }
  constexpr explicit operator bool() const { return value_ != 0; }
  friend constexpr bool operator==(HandleOf, HandleOf) = default;
  friend constexpr auto operator<=>(HandleOf, HandleOf) = default;

 private:
  std::intptr_t value_ = 0;
};

using Hwnd = HandleOf<struct WindowKind>;
using Hdc = HandleOf<struct DeviceContextKind>;
using Hgdiobj = HandleOf<struct GdiObjectKind>;
using Hrgn = HandleOf<struct RegionKind>;
using Hbitmap = HandleOf<struct BitmapKind>;
using Hicon = HandleOf<struct IconKind>;
using Hkey = HandleOf<struct RegistryKeyKind>;
using Handle = HandleOf<struct KernelObjectKind>;
using Picture = HandleOf<struct PictureKind>;  // a loaded picture owned by the toolkit

// Regions and bitmaps are GDI objects: selecting or deleting one says so.
constexpr Hgdiobj AsGdiObject(Hrgn h) { return h.value(); }
constexpr Hgdiobj AsGdiObject(Hbitmap h) { return h.value(); }

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

template <class Kind>
struct std::hash<orv::HandleOf<Kind>> {
  std::size_t operator()(orv::HandleOf<Kind> h) const noexcept {
    return std::hash<std::intptr_t>{}(h.value());
  }
};
