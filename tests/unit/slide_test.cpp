// Nested slides on the fake clock, the desktop's size and the work area.
#include <algorithm>

#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

using ScreenTest = KbdTest;

// A slide started from an event inside another runs to its end first; the
// outer one then carries on along its own timeline and ends on its target.
TEST_F(ScreenTest, NestedSlidesEndAtTheOutermostTarget) {
  desk.tick_ms = 7;
  const Hwnd wnd = desk.AddWindow(L"Tip", L"", 0, Rect{800, 400, 900, 450});
  auto at = [&] { return Point{desk.W(wnd).rect.left, desk.W(wnd).rect.top}; };
  const std::uint32_t start = desk.now;
  bool inner_reached = false, nested = false;
  desk.on_do_events = [&] {
    if (nested || desk.now - start < 200) return;
    nested = true;
    inner_reached = kelp.SlideWindow(wnd, 0, 0, 150, true, false, false, true) && at() == Point{};
  };
  EXPECT_TRUE(kelp.SlideWindow(wnd, 500, 400, 500, true, false, false, true));
  EXPECT_TRUE(inner_reached);
  EXPECT_EQ(at(), (Point{500, 400}));
  EXPECT_EQ(desk.W(wnd).rect.width(), 100);
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

TEST_F(ScreenTest, WorkAreaFollowsTheTaskbarOnEachEdge) {
  kelp.MeasureScreen();
  const struct {
    Rect wa;
    TaskbarEdge edge;
    Rect taskbar;
  } cases[] = {
      {{0, 0, 800, 570}, TaskbarEdge::Bottom, {0, 570, 800, 600}},
      {{0, 0, 740, 600}, TaskbarEdge::Right, {740, 0, 800, 600}},
      {{60, 0, 800, 600}, TaskbarEdge::Left, {0, 0, 60, 600}},
      {{0, 30, 800, 600}, TaskbarEdge::Top, {0, 0, 800, 30}},
      {{0, 0, 800, 600}, TaskbarEdge::Right, {800, 0, 800, 600}},  // none
  };
  for (const auto& c : cases) {
    desk.work_area = c.wa;
    EXPECT_EQ(kelp.GetTaskbarEdge(), c.edge);
    EXPECT_EQ(kelp.GetTaskbarRect(), c.taskbar);
    EXPECT_EQ(kelp.GetWorkArea(), c.wa);
  }
}

// Without a shell (Wine, a car front-end) the desktop window gives the size.
TEST_F(ScreenTest, DesktopFromTheShellOrElseFromTheDesktopWindow) {
  desk.desktop_rect = {0, 0, 1024, 768};
  kelp.MeasureScreen();
  EXPECT_EQ((Point{kelp.ScreenRight(), kelp.ScreenBottom()}), (Point{1024, 768}));
  desk.AddWindow(L"Progman", L"Program Manager", 0, Rect{0, 0, 800, 600});
  kelp.MeasureScreen();
  EXPECT_EQ((Point{kelp.ScreenRight(), kelp.ScreenBottom()}), (Point{800, 600}));
}

}  // namespace
}  // namespace orv::fake
