// Cutting a window down to the opaque pixels of a picture.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/owners.h"
#include "platform/ports.h"

namespace orv {

// A picture's pixels copied into a 24-bit bottom-up DIB section of its own,
// read in place, and the regions built from them. The buffer (its device
// context, the section and the selection between them) lives exactly as
// long as the builder.
class RegionBuilder {
 public:
  // An empty buffer (0 x 0) when the picture has no bitmap or GDI refuses.
  RegionBuilder(Ports& ports, Picture picture);

  std::int32_t Width() const { return bits_ != nullptr ? width_ : 0; }
  std::int32_t Height() const { return bits_ != nullptr ? height_ : 0; }
  // The colour of the bottom-left pixel, or `otherwise` for an empty buffer.
  Color BottomLeft(Color otherwise) const;
  // The picture's opaque runs, one rectangle per run of one pixel row, in
  // top-to-bottom, left-to-right order.
  std::vector<Rect> PixelRuns(Color transparent) const;
  // The region of a list of runs, built one union at a time (the old way,
  // kept to check and measure the whole-list build against).
  OwnedRegion RegionByUnion(const std::vector<Rect>& runs) const;
  // The same region built from the whole list at once: short bands made in
  // one call each, merged pairwise.
  OwnedRegion RegionFromRuns(const std::vector<Rect>& runs) const;

 private:
  Ports& p_;
  std::int32_t width_ = 0, height_ = 0;
  OwnedDc dc_;
  OwnedBitmap bitmap_;
  // Declared last, so the section is deselected before it is deleted.
  OwnedSelection selected_;
  std::uint8_t* bits_ = nullptr;
};

class RegionRoutines {
 public:
  explicit RegionRoutines(Ports& ports) : p_(ports) {}

  // Cuts the window down to the picture's pixels that are not `transparent`;
  // 1 means the colour of the bottom-left pixel, written back.
  void ShapeWindowFromPicture(Hwnd wnd, Picture picture, Color& transparent);
  template <typename Target>
  void ShapeWindowFromPicture(Target& target, Color& transparent) {
    ShapeWindowFromPicture(target.hWnd(), target.GetPicture(), transparent);
  }

 private:
  Ports& p_;
};

}  // namespace orv
