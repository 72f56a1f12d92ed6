// Cutting a window down to the opaque pixels of a picture.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/ports.h"

namespace orv {

class RegionRoutines {
 public:
  explicit RegionRoutines(Ports& ports) : p_(ports) {}

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

 private:
  Ports& p_;
  // The pixel buffer of the shaping routines: one at a time.
  Hbitmap BufferBitmap = 0;
  Hgdiobj BufferOldBitmap = 0;
  Hdc BufferDC = 0;
  std::uint8_t* BufferBits = nullptr;
  BitmapInfoHeader BufferInfo{};
};

}  // namespace orv
