// The picture the region benchmarks shape a window from: the keyboard's
// 632 x 217 outline on magenta, its edge band dithered so that each row
// breaks into many short runs, as scaled or anti-aliased artwork does.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace orv::bench {

inline constexpr int kPictureWidth = 632;
inline constexpr int kPictureHeight = 217;
inline constexpr Color kTransparent = 0x00FF00FF;

// Row-major, top row first, colours as 0x00BBGGRR.
inline std::vector<Color> DitheredPicture() {
  std::vector<Color> pixels;
  pixels.reserve(static_cast<std::size_t>(kPictureWidth) * kPictureHeight);
  constexpr int kInset = 4, kBand = 14, kCorner = 40;
  std::uint32_t noise = 12345;
  for (int y = 0; y < kPictureHeight; ++y) {
    for (int x = 0; x < kPictureWidth; ++x) {
      // Distance inwards from the rounded outline.
      const int l = x - kInset, t = y - kInset;
      const int r = kPictureWidth - 1 - kInset - x, b = kPictureHeight - 1 - kInset - y;
      int d = std::min(std::min(l, r), std::min(t, b));
      const int cx = l < kCorner ? kCorner - l : r < kCorner ? kCorner - r : 0;
      const int cy = t < kCorner ? kCorner - t : b < kCorner ? kCorner - b : 0;
      if (cx > 0 && cy > 0) {
        int dist = 0;
        while ((dist + 1) * (dist + 1) <= cx * cx + cy * cy) ++dist;
        d = kCorner - dist;
      }
      noise = noise * 1664525u + 1013904223u;
      Color c = kTransparent;
      if (d >= kBand) {
        c = 0x00404040;
      } else if (d >= 0 && static_cast<int>((noise >> 24) % kBand) < d) {
        c = 0x00303030 + static_cast<Color>(d);  // more ink further in
      }
      pixels.push_back(c);
    }
  }
  return pixels;
}

}  // namespace orv::bench
