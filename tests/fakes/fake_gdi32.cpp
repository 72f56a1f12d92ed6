#include "fakes/fake_gdi32.h"

namespace orv::fake {

namespace {
std::size_t Stride(std::int32_t width) {
  return (3 * static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
}
}  // namespace

std::set<std::pair<int, int>> FakeGdi32::RegionPixels(Hrgn region) const {
  std::set<std::pair<int, int>> covered;
  if (!regions.count(region)) return covered;
  for (const Rect& r : regions.at(region))
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) covered.emplace(x, y);
  return covered;
}

int FakeGdi32::CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) {
  if (!regions.count(dest) || !regions.count(src1) || !regions.count(src2)) return 0;
  ++region_ops;
  std::vector<Rect> out = regions[src1];
  if (mode == kRgnOr) out.insert(out.end(), regions[src2].begin(), regions[src2].end());
  regions[dest] = out;
  return 2;
}

// Copies from a picture's pixels into a 24-bit bottom-up DIB section, the
// one transfer the shaping code makes; other pairs only report success.
bool FakeGdi32::BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
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
      std::uint8_t* p = memory->second.data() + (d.height - 1 - dy) * Stride(d.width) + 3 * dx;
      p[0] = static_cast<std::uint8_t>(c >> 16);
      p[1] = static_cast<std::uint8_t>(c >> 8);
      p[2] = static_cast<std::uint8_t>(c);
    }
  }
  return true;
}

Hbitmap FakeGdi32::CreateDIBSection(Hdc, const BitmapInfoHeader& info, std::uint8_t** bits) {
  if (info.width <= 0 || info.height <= 0) return 0;
  const Hbitmap b = next_handle_++;
  bitmaps[b] = Bitmap{info.width, info.height, {}};
  // Filled with a byte no test picture uses, so stray reads show up.
  auto& memory = dib_bits[b];
  memory.assign(Stride(info.width) * static_cast<std::size_t>(info.height), 0xCD);
  if (bits) *bits = memory.data();
  return b;
}

}  // namespace orv::fake
