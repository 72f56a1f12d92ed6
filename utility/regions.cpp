// Window regions in the shape of a picture: the pixels that are not the
// transparent colour belong to the window.
#include <algorithm>

#include "utility/regions.h"

namespace orv {

namespace {

constexpr std::size_t kMaxSkipBytes = 1000000;

std::uint32_t Stride(std::int32_t width) {
  return (3u * static_cast<std::uint32_t>(width) + 3u) & ~3u;
}

Color PixelAt(const std::uint8_t* p) {
  return static_cast<Color>(p[2]) | (static_cast<Color>(p[1]) << 8) |
         (static_cast<Color>(p[0]) << 16);
}

}  // namespace

// The pixels are copied through GDI so that any bitmap the toolkit holds
// (any depth, top-down or bottom-up) arrives as 24-bit bottom-up rows.
RegionBuilder::RegionBuilder(Ports& ports, Picture picture)
    : p_(ports),
      dc_(DeleteDc{&ports.gdi32}, 0),
      bitmap_(DeleteGdiObject{&ports.gdi32}, 0),
      selected_(Reselect{&ports.gdi32, 0}, 0) {
  auto& gdi = p_.gdi32;
  const Hbitmap source = p_.toolkit.PictureBitmap(picture);
  std::int32_t w = 0, h = 0;
  if (source == 0 || !gdi.GetBitmapSize(source, w, h)) w = h = 0;
  if (h < 0) h = -h;
  dc_ = CreateCompatibleDc(gdi, 0);
  if (!dc_) return;
  BitmapInfoHeader info;
  info.width = w;
  info.height = h;
  info.size_image = Stride(w) * static_cast<std::uint32_t>(h);
  bitmap_ = OwnBitmap(gdi, gdi.CreateDIBSection(dc_.get(), info, &bits_));
  if (!bitmap_) {
    bits_ = nullptr;
    return;
  }
  selected_ = Select(gdi, dc_.get(), AsGdiObject(bitmap_.get()));
  width_ = w;
  height_ = h;

  auto& u = p_.user32;
  OwnedWindowDc screen = GetWindowDc(u, u.GetDesktopWindow());
  if (!screen) return;
  const OwnedDc temp = CreateCompatibleDc(gdi, screen.get());
  screen.reset();
  if (!temp) return;
  const OwnedSelection from = Select(gdi, temp.get(), AsGdiObject(source));
  gdi.BitBlt(dc_.get(), 0, 0, w, h, temp.get(), 0, 0, kSrcCopy);
}

// The bottom row comes first in memory.
Color RegionBuilder::BottomLeft(Color otherwise) const {
  return Width() >= 1 && Height() >= 1 ? PixelAt(bits_) : otherwise;
}

// Rows are read from the DIB's memory, never pixel by pixel through a DC;
// the fill bytes at the end of each row are never taken for a pixel.
std::vector<Rect> RegionBuilder::PixelRuns(Color transparent) const {
  std::vector<Rect> runs;
  const std::int32_t w = Width(), h = Height();
  const std::uint32_t stride = Stride(w);
  for (std::int32_t row = 0; row < h; ++row) {
    // Memory holds the bottom row first.
    const std::uint8_t* bits = bits_ + static_cast<std::size_t>(h - 1 - row) * stride;
    std::int32_t x = 0;
    while (x < w) {
      while (x < w && PixelAt(bits + 3 * static_cast<std::size_t>(x)) == transparent) {
        ++x;
        if (3 * static_cast<std::size_t>(x) > kMaxSkipBytes) x = w;
      }
      if (x >= w) break;
      const std::int32_t a = x;
      while (x < w && PixelAt(bits + 3 * static_cast<std::size_t>(x)) != transparent) ++x;
      runs.push_back(Rect{a, row, x, row + 1});
    }
  }
  return runs;
}

// One rectangle region and one union per run.
OwnedRegion RegionBuilder::RegionByUnion(const std::vector<Rect>& runs) const {
  auto& gdi = p_.gdi32;
  OwnedRegion region = OwnRegion(gdi, gdi.CreateRectRgn(0, 0, 0, 0));
  for (const Rect& run : runs) {
    const OwnedRegion piece =
        OwnRegion(gdi, gdi.CreateRectRgn(run.left, run.top, run.right, run.bottom));
    if (piece) gdi.CombineRgn(region.get(), region.get(), piece.get(), kRgnOr);
  }
  return region;
}

// A dithered edge makes thousands of runs, and every union costs time in
// proportion to the region built so far, so one union per run grows with
// the square of the count. ExtCreateRegion is no way out on its own: Wine
// (like Windows 9x) builds it by one union per rectangle inside. So the list
// goes in as short bands, each made in one call, and the bands are merged
// pairwise, which keeps every union small: about n log n instead of n².
OwnedRegion RegionBuilder::RegionFromRuns(const std::vector<Rect>& runs) const {
  constexpr std::size_t kRunsPerBand = 16;
  auto& gdi = p_.gdi32;
  std::vector<OwnedRegion> level;
  level.reserve(runs.size() / kRunsPerBand + 1);
  for (std::size_t i = 0; i < runs.size(); i += kRunsPerBand) {
    const auto end =
        runs.begin() + static_cast<std::ptrdiff_t>(std::min(runs.size(), i + kRunsPerBand));
    OwnedRegion band = OwnRegion(gdi, gdi.ExtCreateRegion(std::vector<Rect>(
                                          runs.begin() + static_cast<std::ptrdiff_t>(i), end)));
    if (band) level.push_back(std::move(band));
  }
  if (level.empty()) return OwnRegion(gdi, gdi.CreateRectRgn(0, 0, 0, 0));
  while (level.size() > 1) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < level.size(); i += 2) {
      if (i + 1 < level.size()) {
        gdi.CombineRgn(level[i].get(), level[i].get(), level[i + 1].get(), kRgnOr);
        level[i + 1].reset();
      }
      level[kept++] = std::move(level[i]);
    }
    level.erase(level.begin() + static_cast<std::ptrdiff_t>(kept), level.end());
  }
  return std::move(level.front());
}

// A region handed to the window is the window's; it is deleted only when refused.
void RegionRoutines::ShapeWindowFromPicture(Hwnd wnd, Picture picture, Color& transparent) {
  const RegionBuilder pixels(p_, picture);
  if (transparent == 1) transparent = pixels.BottomLeft(transparent);
  OwnedRegion region = pixels.RegionFromRuns(pixels.PixelRuns(transparent));
  if (region && p_.user32.SetWindowRgn(wnd, region.get(), true) != 0) region.release();
}

}  // namespace orv
