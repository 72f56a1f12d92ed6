// Fake gdi32: fonts by name, regions as lists of rectangles, and 24-bit
// bitmaps whose pixels the shaping code copies into its DIB sections.
#pragma once
#include <map>
#include <set>
#include <vector>

#include "platform/gdi32.h"

namespace orv::fake {

class FakeGdi32 : public Gdi32 {
 public:
  struct Bitmap {
    std::int32_t width = 0, height = 0;
    std::vector<Color> pixels;  // row-major, top row first
  };
  std::map<Hbitmap, Bitmap> bitmaps;
  std::map<Hbitmap, std::vector<std::uint8_t>> dib_bits;  // each DIB section's memory
  std::map<Hrgn, std::vector<Rect>> regions;
  int region_ops = 0;  // regions made and combined
  // The pixels a region covers, to compare regions built different ways.
  std::set<std::pair<int, int>> RegionPixels(Hrgn region) const;

  int EnumFontsW(Hdc, const std::function<int(const LogFont&)>& callback) override {
    int last = 1;
    // As Wine does, a face once for each style.
    for (const wchar_t* face : {L"Arial", L"Tahoma", L"Tahoma", L"Courier New"})
      if (last != 0) last = callback(LogFont{face, 0, 4});
    return last;
  }
  Hrgn CreateRoundRectRgn(int x1, int y1, int x2, int y2, int, int) override {
    return NewRegion({Rect{x1, y1, x2, y2}});
  }
  Hrgn CreateRectRgn(int x1, int y1, int x2, int y2) override {
    return NewRegion(x2 > x1 && y2 > y1 ? std::vector{Rect{x1, y1, x2, y2}} : std::vector<Rect>{});
  }
  Hrgn ExtCreateRegion(const std::vector<Rect>& rects) override { return NewRegion(rects); }
  int CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) override;
  bool DeleteObject(Hgdiobj obj) override {
    dib_bits.erase(obj.value());
    return regions.erase(obj.value()) + bitmaps.erase(obj.value()) != 0;
  }
  Hdc CreateCompatibleDC(Hdc) override { return next_handle_++; }
  bool DeleteDC(Hdc dc) override { return selected_.erase(dc), true; }
  Hgdiobj SelectObject(Hdc dc, Hgdiobj obj) override {
    const Hgdiobj old = selected_.count(dc) ? selected_[dc] : 0x7;  // a stock object at first
    selected_[dc] = obj;
    return old;
  }
  bool BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
              std::uint32_t rop) override;
  Hbitmap CreateDIBSection(Hdc dc, const BitmapInfoHeader& info, std::uint8_t** bits) override;
  bool GetBitmapSize(Hbitmap bmp, std::int32_t& width, std::int32_t& height) override {
    const auto it = bitmaps.find(bmp);
    if (it == bitmaps.end()) return false;
    return width = it->second.width, height = it->second.height, true;
  }

 private:
  Hrgn NewRegion(std::vector<Rect> rects) {
    ++region_ops;
    regions[next_handle_] = std::move(rects);
    return next_handle_++;
  }

  std::intptr_t next_handle_ = 0x10000;
  std::map<Hdc, Hgdiobj> selected_;  // what each device context holds
};

// The bytes of one row of a 24-bit DIB.
inline std::size_t DibStride(std::int32_t width) {
  return (3 * static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
}

inline std::set<std::pair<int, int>> FakeGdi32::RegionPixels(Hrgn region) const {
  std::set<std::pair<int, int>> covered;
  if (!regions.count(region)) return covered;
  for (const Rect& r : regions.at(region))
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) covered.emplace(x, y);
  return covered;
}

inline int FakeGdi32::CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) {
  if (!regions.count(dest) || !regions.count(src1) || !regions.count(src2)) return 0;
  ++region_ops;
  std::vector<Rect> out = regions[src1];
  if (mode == kRgnOr) out.insert(out.end(), regions[src2].begin(), regions[src2].end());
  regions[dest] = out;
  return 2;
}

// Copies from a picture's pixels into a 24-bit bottom-up DIB section, the
// one transfer the shaping code makes; other pairs only report success.
inline bool FakeGdi32::BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
                              std::uint32_t) {
  const auto from = bitmaps.find(selected_[src].value());
  const auto memory = dib_bits.find(selected_[dest].value());
  if (from == bitmaps.end() || memory == dib_bits.end()) return true;
  const Bitmap &s = from->second, &d = bitmaps.at(memory->first);
  for (int row = 0; row < cy; ++row) {
    for (int col = 0; col < cx; ++col) {
      const int sx = x1 + col, sy = y1 + row, dx = x + col, dy = y + row;
      if (sx < 0 || sy < 0 || sx >= s.width || sy >= s.height || dx < 0 || dy < 0 ||
          dx >= d.width || dy >= d.height)
        continue;
      const Color c = s.pixels.at(static_cast<std::size_t>(sy) * s.width + sx);
      std::uint8_t* p = memory->second.data() + (d.height - 1 - dy) * DibStride(d.width) + 3 * dx;
      p[0] = static_cast<std::uint8_t>(c >> 16);
      p[1] = static_cast<std::uint8_t>(c >> 8);
      p[2] = static_cast<std::uint8_t>(c);
    }
  }
  return true;
}

inline Hbitmap FakeGdi32::CreateDIBSection(Hdc, const BitmapInfoHeader& info, std::uint8_t** bits) {
  if (info.width <= 0 || info.height <= 0) return 0;
  const Hbitmap b = next_handle_++;
  bitmaps[b] = Bitmap{info.width, info.height, {}};
  // Filled with a byte no test picture uses, so stray reads show up.
  auto& memory = dib_bits[b];
  memory.assign(DibStride(info.width) * static_cast<std::size_t>(info.height), 0xCD);
  if (bits) *bits = memory.data();
  return b;
}

}  // namespace orv::fake
