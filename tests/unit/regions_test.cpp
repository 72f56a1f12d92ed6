// Window regions cut from a picture's pixels.
#include <random>

#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

constexpr Color kRed = 0x000000FF;
constexpr Color kMagenta = 0x00FF00FF;

class RegionsTest : public KbdTest {
 protected:
  Hwnd box = desk.AddWindow(L"PictureBox", L"", 0, Rect{0, 0, 50, 50});

  Picture MakePicture(int w, int h, const std::function<Color(int, int)>& colour) {
    const Picture p = desk.ResourcePicture(L"PIC" + std::to_wstring(desk.bitmaps.size()));
    auto& bmp = desk.bitmaps[p];
    bmp = {w, h, {}};
    for (int i = 0; i < w * h; ++i) bmp.pixels.push_back(colour(i % w, i / w));
    return p;
  }
  std::set<std::pair<int, int>> PixelsNot(Picture p, Color transparent) {
    std::set<std::pair<int, int>> out;
    const auto& bmp = desk.bitmaps[p];
    for (int i = 0; i < bmp.width * bmp.height; ++i) {
      if (bmp.pixels[static_cast<std::size_t>(i)] != transparent)
        out.emplace(i % bmp.width, i / bmp.width);
    }
    return out;
  }
  std::set<std::pair<int, int>> Shape(Picture p, Color transparent) {
    kelp.ShapeWindowFromPicture(box, p, transparent);
    return desk.RegionPixels(desk.W(box).region);
  }
};

// A dithered outline gives thousands of short runs; built from the whole
// list at once they must cover exactly what the union of every run covers.
TEST_F(RegionsTest, WholeListRegionEqualsThePerRunUnion) {
  std::mt19937 random(7);
  const Picture p = MakePicture(160, 70, [&](int x, int y) {
    const double dx = (x - 80) / 80.0, dy = (y - 35) / 35.0, d = dx * dx + dy * dy;
    if (d < 0.6) return (x / 9 + y / 9) % 5 == 0 ? kMagenta : Color{0x00336699};
    if (d < 1.0) return random() % 2 ? kMagenta : Color{0x00112233};  // dithered edge
    return kMagenta;
  });
  kelp.CopyPictureToBuffer(p);
  const auto runs = kelp.PixelRuns(kMagenta);
  ASSERT_GT(runs.size(), 1000u);
  const Hrgn by_union = kelp.RegionByUnion(runs);
  const int unions = desk.region_ops;
  const Hrgn one_step = kelp.RegionFromRuns(runs);
  EXPECT_LT(desk.region_ops - unions, static_cast<int>(runs.size() / 4));
  EXPECT_EQ(desk.RegionPixels(one_step), desk.RegionPixels(by_union));
  EXPECT_EQ(desk.RegionPixels(one_step), PixelsNot(p, kMagenta));
  kelp.ReleasePixelBuffer();

  EXPECT_EQ(Shape(p, kMagenta), PixelsNot(p, kMagenta));
  EXPECT_TRUE(desk.dib_bits.empty());  // the buffer lives for one call only
}

TEST_F(RegionsTest, EdgeCasesOfThePicture) {
  // No transparent pixel: the whole picture, rightmost column included.
  const Picture full = MakePicture(48, 48, [](int x, int y) { return Color(x + 256 * y); });
  const auto covered = Shape(full, kMagenta);
  EXPECT_EQ(covered.size(), 48u * 48u);
  EXPECT_TRUE(covered.count({47, 47}));
  EXPECT_FALSE(covered.count({48, 0}));  // the 50 x 50 box's last columns are cut

  // Three pixels wide: the row's fill bytes never count as a pixel.
  EXPECT_EQ(Shape(MakePicture(3, 2, [](int, int) { return Color{0x00CDCDCD}; }), kMagenta).size(),
            6u);

  // Pure red goes, the red next to it stays.
  const Picture reds = MakePicture(4, 1, [](int x, int) { return x % 2 ? kRed : kRed + 1; });
  EXPECT_EQ(Shape(reds, kRed), (std::set<std::pair<int, int>>{{0, 0}, {2, 0}}));
}

}  // namespace
}  // namespace orv::fake
