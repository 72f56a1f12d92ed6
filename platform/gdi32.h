// Port over gdi32: font enumeration, regions and the 24-bit pixel buffer.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace orv {

inline constexpr int kRgnOr = 2;
inline constexpr std::uint32_t kSrcCopy = 0x00CC0020;

// What EnumFonts reports for one typeface; the core reads only the name.
struct LogFont {
  std::wstring face_name;
  int charset = 0;
  unsigned font_type = 0;
};

// BITMAPINFOHEADER for a 24-bit bottom-up DIB.
struct BitmapInfoHeader {
  std::uint32_t size = 40;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t planes = 1;
  std::uint16_t bit_count = 24;
  std::uint32_t compression = 0;  // BI_RGB
  std::uint32_t size_image = 0;
};

class Gdi32 {
 public:
  virtual ~Gdi32() = default;

  // Calls back once per typeface; a callback result of 0 stops the walk.
  virtual int EnumFontsW(Hdc dc, const std::function<int(const LogFont&)>& callback) = 0;

  virtual Hrgn CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) = 0;
  virtual Hrgn CreateRectRgn(int x1, int y1, int x2, int y2) = 0;
  // Builds one region from a list of rectangles in one step (ExtCreateRegion).
  virtual Hrgn ExtCreateRegion(const std::vector<Rect>& rects) = 0;
  virtual int CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) = 0;
  virtual bool DeleteObject(Hgdiobj obj) = 0;

  virtual Hdc CreateCompatibleDC(Hdc dc) = 0;
  virtual bool DeleteDC(Hdc dc) = 0;
  virtual Hgdiobj SelectObject(Hdc dc, Hgdiobj obj) = 0;
  virtual bool BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
                      std::uint32_t rop) = 0;
  // bits receives the address of the first pixel byte.
  virtual Hbitmap CreateDIBSection(Hdc dc, const BitmapInfoHeader& info, std::uint8_t** bits) = 0;
  // Width and height of a bitmap (GetObject with a BITMAP record); false
  // when the handle is not a bitmap.
  virtual bool GetBitmapSize(Hbitmap bmp, std::int32_t& width, std::int32_t& height) = 0;
};

}  // namespace orv
