// The program's windows: where the keyboard stands (its placement in the
// registry with the per-user fallback) and the tip's slides. The values of
// a first run, autostart, 144 DPI and the tip at rest are driven end to end
// under Wine.
#include "fakes/kbd_fixture.h"
#include "settings/registry.h"
#include "utility/picture_size.h"

namespace orv::fake {
namespace {

const std::wstring kHklmKey = L"HKLM\\Software\\OrvKey\\frmKbd";
const std::wstring kHkcuKey = L"HKCU\\Software\\OrvKey\\frmKbd";

// A REG_SZ value of digits: one byte and a zero each, and the NUL.
RegValue Sz(const std::wstring& digits) {
  RegValue v{kRegSz, {}};
  for (wchar_t c : digits + L'\0') v.data.insert(v.data.end(), {static_cast<std::uint8_t>(c), 0});
  return v;
}

TEST_F(KbdTest, OrdinaryUserKeepsThePlacementUnderCurrentUser) {
  desk.read_only_roots.insert(L"HKLM");
  Load();
  kbd->Move(20, 30, 632, 217);
  Unload();
  EXPECT_EQ(desk.registry.count(kHklmKey), 0u);
  EXPECT_EQ(desk.registry[kHkcuKey][L"Left"], Sz(L"300"));

  // With both copies present the user's wins, and an administrator's save
  // writes the machine's too (that it keeps the user's current is proven end
  // to end).
  desk.read_only_roots.clear();
  desk.registry[kHklmKey][L"Left"] = Sz(L"1500");
  Load();
  EXPECT_EQ(kbd->Left(), 20);
  kbd->Move(60, 30, 632, 217);
  Unload();
  EXPECT_EQ(desk.registry[kHklmKey][L"Left"], Sz(L"900"));

  EXPECT_EQ(desk.open_keys, 0);
}

// A slide waits for each frame instead of spinning, lets events run in every
// wait, lasts its whole time and ends on its target; on the spot it draws
// nothing until its final move; the program's end cuts it short.
TEST_F(KbdTest, SlideIsPacedByFramesAndEndsOnTimeWhereItShould) {
  const Hwnd w = desk.AddWindow(L"OrvKeyTip", L"", 0, Rect{1000, 400, 1200, 500});
  int events = 0;
  desk.on_do_events = [&] { ++events; };
  const auto t0 = desk.now;
  EXPECT_TRUE(kelp.SlideWindow(w, 700, 400, 500, true, false, false, true));
  EXPECT_GE(desk.now - t0, 500u);
  EXPECT_LT(desk.now - t0, 520u);
  EXPECT_NEAR(static_cast<double>(desk.moves.size()), 500.0 / 16, 3);
  EXPECT_GE(events, static_cast<int>(desk.moves.size()));

  desk.moves.clear();
  const auto t1 = desk.now;
  EXPECT_TRUE(kelp.SlideWindow(w, 700, 400, 500, true, false, false, true));
  EXPECT_GE(desk.now - t1, 500u);
  EXPECT_EQ(desk.moves.size(), 1u);

  // The program ending meanwhile puts the window at once where it goes.
  desk.on_do_events = [&] { desk.ended = true; };
  const auto t2 = desk.now;
  EXPECT_TRUE(kelp.SlideWindow(w, 1000, 400, 500, true, false, false, true));
  EXPECT_EQ(desk.W(w).rect, (Rect{1000, 400, 1200, 500}));
  EXPECT_LT(desk.now - t2, 20u);
}

// ---- The background picture's size, read from its header; the picture
// refused at start-up is shown end to end.

std::string Be(unsigned v, int n) {
  std::string s;
  while (n--) s += char(v >> (8 * n));
  return s;
}
std::string Le(unsigned v, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += char(v >> (8 * i));
  return s;
}
// Long segments, a table and fill bytes before a progressive frame header.
std::string Jpeg(unsigned w, unsigned h) {
  const std::string app = "\xFF\xE1" + Be(60002, 2) + std::string(60000, 'e');
  return "\xFF\xD8" + app + app + "\xFF\xFF\xC4" + Be(5, 2) + "abc\xFF\xC2" + Be(17, 2) + "\x08" +
         Be(h, 2) + Be(w, 2) + "\x03" + std::string(9, '\x11');
}
std::optional<PictureSize> SizeOf(const std::string& file) {
  return PictureSizeOf([&](std::uint64_t at, std::size_t n) {
    return at < file.size() ? file.substr(at, n) : std::string();
  });
}

TEST(PictureSize, ReadFromTheHeaderAndOnlyPicturesThatFitPass) {
  const auto jpeg = SizeOf(Jpeg(632, 217));
  ASSERT_TRUE(jpeg);
  EXPECT_EQ(std::pair(jpeg->width, jpeg->height), std::pair(632u, 217u));
  auto fits = [](const std::string& file) {
    const auto size = SizeOf(file);
    return size && FitsInMemory(*size);
  };
  const std::string png = "\x89PNG\r\n\x1A\n" + Be(13, 4) + "IHDR" + Be(4096, 4) + Be(4096, 4);
  EXPECT_TRUE(fits(png + "\x08\x06"));   // 64 MB exactly
  EXPECT_FALSE(fits(png + "\x10\x06"));  // 16 bits a channel
  // A GIF whose first frame reaches beyond its screen; a top-down BMP.
  EXPECT_FALSE(fits("GIF89a" + Le(100, 2) + Le(100, 2) + std::string(3, '\0') + "\x2C" +
                    Le(30000, 2) + Le(0, 2) + Le(100, 2) + Le(10, 2)));
  EXPECT_TRUE(fits("BM" + std::string(12, '\0') + Le(40, 4) + Le(632, 4) + Le(-217u, 4) +
                   Le(1, 2) + Le(24, 2)));
}

// ---- The tip window's timers on the fake clock; where it rests and its look
// are checked end to end.
const std::wstring kStartTip = L"Щелкните по текстовому полю\r\nдля начала редактирования";

class TipTest : public KbdTest {
 protected:
  FakeTimers timers{desk};
  FrmTip tip{ports, kelp};

  void SetUp() override {
    desk.tick_ms = 1;
    AttachTip(tip);
    timers.Add(tip.tmrHide);
    timers.Add(tip.tmrUpdate);
  }
  Point At() { return {desk.W(tip.hWnd()).rect.left, desk.W(tip.hWnd()).rect.top}; }
};

// tmrHide coming due inside a slide in: the slide out runs nested, the slide
// in still ends in the corner, and the tip stays another five seconds; parked,
// it is no longer repainted.
TEST_F(TipTest, HidingInsideASlideInEndsInTheCornerAndRestartsTheCountdown) {
  const auto t0 = desk.now;
  Load();
  timers.Wait(4700 - (desk.now - t0));
  const Point corner = At();
  desk.moves.clear();
  kbd->ShowInfoTTip(kStartTip, 1);  // the same text: one slide on the spot
  EXPECT_TRUE(std::any_of(desk.moves.begin(), desk.moves.end(),
                          [](const Rect& m) { return m.left > 800; }));
  EXPECT_EQ(At(), corner);
  timers.Wait(4800);
  EXPECT_EQ(At(), corner);
  timers.Wait(800);
  EXPECT_GT(At().x, 800);
  const auto parked = tip.RepaintRequests();
  timers.Wait(1000);
  EXPECT_EQ(tip.RepaintRequests(), parked);
}

// A keyboard that starts hidden in the tray has no first paint to make its
// tip window after: start-up has it made when it first needs it, once.
TEST_F(TipTest, AKeyboardStartingInTheTrayMakesItsTipWhenStartUpNeedsIt) {
  std::wstring file = L"[OrvCar Keyboard Settings File]\r\n";
  for (const auto& layout : kDefaultLayouts) file += layout + L"\r\n";
  desk.files[L"C:\\Program Files\\OrvKey\\OrvKey.ini"] = desk.ToAnsi(
      file + L"[Font]\r\nFontName=Tahoma\r\nFontBold=0\r\nFontItal=0\r\nFontUnder=0\r\n"
             L"FontSize=14\r\nFontColor=255\r\nDownColor=65280\r\n[Settings]\r\nTips=1\r\n"
             L"Caps=0\r\nHideToTray=1\r\n[History]\r\n",
      nullptr);
  tip_window = nullptr;
  int made = 0;
  make_tip = [&] { return ++made, &tip; };
  Load();
  EXPECT_FALSE(kbd->Visible());
  EXPECT_EQ(made, 1);
  kbd->ShowInfoTTip(kStartTip, 1);
  timers.Wait(1000);
  EXPECT_LT(At().x, 800);
  EXPECT_EQ(made, 1);
}

}  // namespace
}  // namespace orv::fake
