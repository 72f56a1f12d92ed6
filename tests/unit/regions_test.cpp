// Window regions cut from a picture's pixels, against the pixels themselves.
#include <random>

#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

constexpr Color kRed = 0x000000FF, kMagenta = 0x00FF00FF;
using Pixels = std::set<std::pair<int, int>>;

class RegionsTest : public KbdTest {
 protected:
  Hwnd box = desk.AddWindow(L"PictureBox", L"", 0, Rect{0, 0, 50, 50});

  Picture MakePicture(int w, int h, const std::function<Color(int, int)>& colour) {
    const Picture p = desk.ResourcePicture(L"PIC" + std::to_wstring(desk.bitmaps.size()));
    auto& bmp = desk.bitmaps[p.value()] = {w, h, {}};
    for (int i = 0; i < w * h; ++i) bmp.pixels.push_back(colour(i % w, i / w));
    return p;
  }
  Pixels PixelsNot(Picture p, Color transparent) {
    Pixels out;
    const auto& bmp = desk.bitmaps[p.value()];
    for (int i = 0; i < bmp.width * bmp.height; ++i) {
      if (bmp.pixels[static_cast<std::size_t>(i)] != transparent)
        out.emplace(i % bmp.width, i / bmp.width);
    }
    return out;
  }
  Pixels Shape(Picture p, Color& transparent) {
    kelp.ShapeWindowFromPicture(box, p, transparent);
    return desk.RegionPixels(desk.W(box).region);
  }
};

// A dithered outline gives thousands of short runs; built from the whole
// list at once they must cover exactly what the union of every run covers,
// and nothing the builder made may outlive it but the window's region.
TEST_F(RegionsTest, WholeListRegionEqualsThePerRunUnion) {
  std::mt19937 random(7);
  const Picture p = MakePicture(160, 70, [&](int x, int y) {
    const double dx = (x - 80) / 80.0, dy = (y - 35) / 35.0, d = dx * dx + dy * dy;
    if (d < 0.6) return (x / 9 + y / 9) % 5 == 0 ? kMagenta : Color{0x00336699};
    if (d < 1.0) return random() % 2 ? kMagenta : Color{0x00112233};  // dithered edge
    return kMagenta;
  });
  {
    const RegionBuilder pixels(ports, p);
    const auto runs = pixels.PixelRuns(kMagenta);
    ASSERT_GT(runs.size(), 1000u);
    const OwnedRegion by_union = pixels.RegionByUnion(runs);
    const int unions = desk.region_ops;
    const OwnedRegion one_step = pixels.RegionFromRuns(runs);
    EXPECT_LT(desk.region_ops - unions, static_cast<int>(runs.size() / 4));
    EXPECT_EQ(desk.RegionPixels(one_step.get()), desk.RegionPixels(by_union.get()));
    EXPECT_EQ(desk.RegionPixels(one_step.get()), PixelsNot(p, kMagenta));
  }
  EXPECT_TRUE(desk.regions.empty());
  Color transparent = kMagenta;
  EXPECT_EQ(Shape(p, transparent), PixelsNot(p, kMagenta));
  EXPECT_EQ(desk.regions.size(), 1u);
  EXPECT_TRUE(desk.dib_bits.empty());
}

TEST_F(RegionsTest, EdgeCasesOfThePicture) {
  // No transparent pixel: the whole picture, rightmost column included.
  Color transparent = kMagenta;
  const auto covered =
      Shape(MakePicture(48, 48, [](int x, int y) { return Color(x + 256 * y); }), transparent);
  EXPECT_EQ(covered.size(), 48u * 48u);
  EXPECT_TRUE(covered.count({47, 47}));
  EXPECT_FALSE(covered.count({48, 0}));  // the 50 x 50 box's last columns are cut

  // Three pixels wide: the row's fill bytes never count as a pixel.
  EXPECT_EQ(
      Shape(MakePicture(3, 2, [](int, int) { return Color{0x00CDCDCD}; }), transparent).size(), 6u);

  // Pure red goes, the red next to it stays; 1 takes the bottom-left colour.
  const Picture reds = MakePicture(4, 2, [](int x, int y) { return x % 2 == y ? kRed : kRed + 1; });
  transparent = kRed;
  EXPECT_EQ(Shape(reds, transparent), (Pixels{{1, 0}, {3, 0}, {0, 1}, {2, 1}}));
  transparent = 1;
  EXPECT_EQ(Shape(reds, transparent), (Pixels{{0, 0}, {2, 0}, {1, 1}, {3, 1}}));
  EXPECT_EQ(transparent, kRed + 1);
}

}  // namespace
}  // namespace orv::fake
