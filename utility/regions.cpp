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

// A bottom-up 24-bit DIB section whose pixels the scan reads in place.
bool RegionRoutines::CreateDIB24(Hdc dc, std::int32_t width, std::int32_t height, Hbitmap& bitmap) {
  BufferInfo = BitmapInfoHeader{};
  BufferInfo.width = width;
  BufferInfo.height = height;
  BufferInfo.size_image = Stride(width) * static_cast<std::uint32_t>(height > 0 ? height : 0);
  bitmap = p_.gdi32.CreateDIBSection(dc, BufferInfo, &BufferBits);
  return bitmap != 0;
}

// The buffer lives for one shaping only; nothing of it outlives the call.
void RegionRoutines::ReleasePixelBuffer() {
  if (BufferDC != 0) {
    if (BufferBitmap != 0) {
      p_.gdi32.SelectObject(BufferDC, BufferOldBitmap);
      p_.gdi32.DeleteObject(BufferBitmap);
    }
    p_.gdi32.DeleteDC(BufferDC);
  }
  BufferBitmap = 0;
  BufferOldBitmap = 0;
  BufferDC = 0;
  BufferBits = nullptr;
}

// Any buffer left from before goes first, so one size never mixes with another.
bool RegionRoutines::CreatePixelBuffer(std::int32_t width, std::int32_t height) {
  ReleasePixelBuffer();
  BufferDC = p_.gdi32.CreateCompatibleDC(0);
  if (BufferDC == 0) return false;
  if (CreateDIB24(BufferDC, width, height, BufferBitmap)) {
    BufferOldBitmap = p_.gdi32.SelectObject(BufferDC, BufferBitmap);
    return true;
  }
  BufferBitmap = 0;
  p_.gdi32.DeleteDC(BufferDC);
  BufferDC = 0;
  return false;
}

// The pixels are copied through GDI so that any bitmap the toolkit holds
// (any depth, top-down or bottom-up) arrives as 24-bit bottom-up rows.
void RegionRoutines::CopyPictureToBuffer(Picture picture) {
  const Hbitmap source = p_.toolkit.PictureBitmap(picture);
  std::int32_t w = 0, h = 0;
  if (source == 0 || !p_.gdi32.GetBitmapSize(source, w, h)) w = h = 0;
  if (h < 0) h = -h;
  if (!CreatePixelBuffer(w, h)) return;
  auto& u = p_.user32;
  const Hwnd desktop = u.GetDesktopWindow();
  const Hdc screen = u.GetDC(desktop);
  if (screen == 0) return;
  const Hdc temp = p_.gdi32.CreateCompatibleDC(screen);
  u.ReleaseDC(desktop, screen);
  if (temp == 0) return;
  const Hgdiobj old = p_.gdi32.SelectObject(temp, source);
  p_.gdi32.BitBlt(BufferDC, 0, 0, w, h, temp, 0, 0, kSrcCopy);
  p_.gdi32.SelectObject(temp, old);
  p_.gdi32.DeleteDC(temp);
}

// 0 x 0 unless a buffer with pixels exists now: no earlier size is ever used.
std::int32_t RegionRoutines::BufferWidth() const {
  return BufferBitmap != 0 && BufferBits != nullptr ? BufferInfo.width : 0;
}

// Height of the buffer that exists now, 0 when none.
std::int32_t RegionRoutines::BufferHeight() const {
  return BufferBitmap != 0 && BufferBits != nullptr ? BufferInfo.height : 0;
}

// Rows are read from the DIB's memory, never pixel by pixel through a DC;
// the fill bytes at the end of each row are never taken for a pixel.
std::vector<Rect> RegionRoutines::PixelRuns(Color transparent) const {
  std::vector<Rect> runs;
  const std::int32_t w = BufferWidth(), h = BufferHeight();
  const std::uint32_t stride = Stride(w);
  for (std::int32_t row = 0; row < h; ++row) {
    // Memory holds the bottom row first.
    const std::uint8_t* bits = BufferBits + static_cast<std::size_t>(h - 1 - row) * stride;
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
Hrgn RegionRoutines::RegionByUnion(const std::vector<Rect>& runs) {
  const Hrgn region = p_.gdi32.CreateRectRgn(0, 0, 0, 0);
  for (const Rect& run : runs) {
    const Hrgn piece = p_.gdi32.CreateRectRgn(run.left, run.top, run.right, run.bottom);
    if (piece == 0) continue;
    p_.gdi32.CombineRgn(region, region, piece, kRgnOr);
    p_.gdi32.DeleteObject(piece);
  }
  return region;
}

// A dithered edge makes thousands of runs, and every union costs time in
// proportion to the region built so far, so one union per run grows with
// the square of the count. ExtCreateRegion is no way out on its own: Wine
// (like Windows 9x) builds it by one union per rectangle inside. So the list
// goes in as short bands, each made in one call, and the bands are merged
// pairwise, which keeps every union small: about n log n instead of n².
Hrgn RegionRoutines::RegionFromRuns(const std::vector<Rect>& runs) {
  constexpr std::size_t kRunsPerBand = 16;
  std::vector<Hrgn> level;
  level.reserve(runs.size() / kRunsPerBand + 1);
  for (std::size_t i = 0; i < runs.size(); i += kRunsPerBand) {
    const auto end =
        runs.begin() + static_cast<std::ptrdiff_t>(std::min(runs.size(), i + kRunsPerBand));
    const Hrgn band = p_.gdi32.ExtCreateRegion(
        std::vector<Rect>(runs.begin() + static_cast<std::ptrdiff_t>(i), end));
    if (band != 0) level.push_back(band);
  }
  if (level.empty()) return p_.gdi32.CreateRectRgn(0, 0, 0, 0);
  while (level.size() > 1) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < level.size(); i += 2) {
      if (i + 1 < level.size()) {
        p_.gdi32.CombineRgn(level[i], level[i], level[i + 1], kRgnOr);
        p_.gdi32.DeleteObject(level[i + 1]);
      }
      level[kept++] = level[i];
    }
    level.resize(kept);
  }
  return level.front();
}

// A region handed to the window is the window's; it is deleted only when refused.
void RegionRoutines::ShapeWindowFromPicture(Hwnd wnd, Picture picture, Color& transparent) {
  CopyPictureToBuffer(picture);
  if (transparent == 1 && BufferWidth() >= 1 && BufferHeight() >= 1) {
    transparent = PixelAt(BufferBits);
  }
  const Hrgn region = RegionFromRuns(PixelRuns(transparent));
  if (region != 0 && p_.user32.SetWindowRgn(wnd, region, true) == 0) {
    p_.gdi32.DeleteObject(region);
  }
  ReleasePixelBuffer();
}

}  // namespace orv
