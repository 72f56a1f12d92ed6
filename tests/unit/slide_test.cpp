// The slide animation on the fake clock (as the tip uses it: animated, not
// stopped by the cursor), the desktop size and the work area.
#include <algorithm>
#include <cmath>

#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

class SlideTest : public KbdTest {
 protected:
  SlideTest() { desk.tick_ms = 7; }
  Hwnd wnd = desk.AddWindow(L"Tip", L"", 0, Rect{800, 400, 900, 450});
  Point At() { return {desk.W(wnd).rect.left, desk.W(wnd).rect.top}; }
};

TEST_F(SlideTest, ConstantSpeedOverTheWholeDuration) {
  const std::uint32_t t0 = desk.now + desk.tick_ms;  // the first reading
  EXPECT_TRUE(kelp.SlideWindow(wnd, 600, 420, 500, true, false, false, true));
  ASSERT_GT(desk.moves.size(), 50u);
  for (std::size_t i = 0; i + 1 < desk.moves.size(); ++i) {
    const double e = desk.moves[i].time - t0;
    ASSERT_LT(e, 500);
    EXPECT_EQ(desk.moves[i].rect.left, std::nearbyint(800 - 200.0 / 500 * e)) << e;
    EXPECT_EQ(desk.moves[i].rect.top, std::nearbyint(400 + 20.0 / 500 * e)) << e;
    EXPECT_EQ(desk.moves[i].rect.width(), 100);
  }
  EXPECT_EQ(desk.W(wnd).rect, (Rect{600, 420, 700, 470}));
  EXPECT_GE(desk.now - t0, 500u);
  EXPECT_EQ(desk.do_events_calls, static_cast<int>(desk.moves.size()) - 1);
}

// A slide started from an event inside another runs to its end first; the
// outer one then carries on along its own timeline and ends on its target.
TEST_F(SlideTest, NestedSlidesEndAtTheOutermostTarget) {
  const std::uint32_t start = desk.now;
  bool nested = false;
  bool inner_reached = false;
  desk.on_do_events = [&] {
    if (nested || desk.now - start < 200) return;
    nested = true;
    inner_reached =
        kelp.SlideWindow(wnd, 0, 0, 150, true, false, false, true) && At() == Point{0, 0};
  };
  EXPECT_TRUE(kelp.SlideWindow(wnd, 500, 400, 500, true, false, false, true));
  EXPECT_TRUE(nested);
  EXPECT_TRUE(inner_reached);
  EXPECT_EQ(At(), (Point{500, 400}));
  // The outer clock kept running: the whole took 500 ms, not 650, and the
  // step after the inner slide jumped back onto the outer line.
  EXPECT_GE(desk.now - start, 500u);
  EXPECT_LT(desk.now - start, 600u);
  auto inner_end = std::find_if(desk.moves.begin(), desk.moves.end(),
                                [](const Desktop::Move& m) { return m.rect.left == 0; });
  ASSERT_NE(inner_end, desk.moves.end());
  while (inner_end->rect.left == 0) ++inner_end;
  EXPECT_GE(inner_end->rect.left, 500);
}

using WorkArea = KbdTest;

TEST_F(WorkArea, FollowsTheTaskbarOnEachEdge) {
  kelp.MeasureScreen();
  struct Case {
    Rect wa;
    int edge;
    Rect taskbar;
  };
  const Case cases[] = {
      {{0, 0, 800, 570}, 3, {0, 570, 800, 600}}, {{0, 0, 740, 600}, 1, {740, 0, 800, 600}},
      {{60, 0, 800, 600}, 0, {0, 0, 60, 600}},   {{0, 30, 800, 600}, 2, {0, 0, 800, 30}},
      {{0, 0, 800, 600}, 1, {800, 0, 800, 600}},
  };
  for (const auto& c : cases) {
    desk.work_area = c.wa;
    EXPECT_EQ(kelp.GetTaskbarEdge(), c.edge);
    EXPECT_EQ(kelp.GetTaskbarRect(), c.taskbar);
    EXPECT_EQ(kelp.GetWorkArea(), c.wa);
  }
}

TEST_F(WorkArea, DesktopFromTheShellOrElseFromTheDesktopWindow) {
  desk.desktop_rect = {0, 0, 1024, 768};
  kelp.MeasureScreen();
  EXPECT_EQ(kelp.ScreenRight, 1024);
  EXPECT_EQ(kelp.ScreenBottom, 768);
  desk.AddWindow(L"Progman", L"Program Manager", 0, Rect{0, 0, 800, 600});
  kelp.MeasureScreen();
  EXPECT_EQ(kelp.ScreenRight, 800);
  EXPECT_EQ(kelp.ScreenBottom, 600);
}

}  // namespace
}  // namespace orv::fake
