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
  // keeps it current.
  desk.read_only_roots.clear();
  desk.registry[kHklmKey][L"Left"] = Sz(L"1500");
  Load();
  EXPECT_EQ(kbd->Left(), 20);
  kbd->Move(60, 30, 632, 217);
  Unload();
  EXPECT_EQ(desk.registry[kHklmKey][L"Left"], Sz(L"900"));
  EXPECT_EQ(desk.registry[kHkcuKey][L"Left"], Sz(L"900"));

  EXPECT_EQ(desk.open_keys, 0);
}

// ---- The background picture's size, told by its header before any decoder
// sees it; the refused picture at start-up is shown end to end too.

std::string Be16(unsigned v) { return {char(v >> 8), char(v)}; }
std::string Le16(unsigned v) { return {char(v), char(v >> 8)}; }
std::string Be32(unsigned v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Le32(unsigned v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }
// A JPEG header: long application segments, fill bytes, a table, then a
// frame header of this code.
std::string Jpeg(unsigned width, unsigned height, unsigned code = 0xC0, unsigned components = 3) {
  std::string app(60000, 'e');
  std::string j = "\xFF\xD8";
  for (int i = 0; i < 2; ++i) j += "\xFF\xE1" + Be16(unsigned(app.size()) + 2) + app;
  j += "\xFF\xFF\xFF\xC4" + Be16(5) + "abc";
  return j + "\xFF" + char(code) + Be16(8 + 3 * components) + "\x08" + Be16(height) + Be16(width) +
         char(components) + std::string(3 * components, '\x11') + "\xFF\xDA";
}
std::string Png(unsigned width, unsigned height, char depth, char colour) {
  return std::string("\x89PNG\r\n\x1A\n") + Be32(13) + "IHDR" + Be32(width) + Be32(height) + depth +
         colour + std::string(7, '\0');
}
std::string Gif(unsigned screen, unsigned frame_left, unsigned frame_width) {
  return "GIF89a" + Le16(screen) + Le16(screen) + std::string("\x81\0\0", 3) + std::string(12, '\0') +
         "\x21\xF9\x04" + std::string(4, '\0') + '\0' + "\x2C" + Le16(frame_left) + Le16(0) +
         Le16(frame_width) + Le16(10) + '\0';
}
std::string Bmp(int width, int height, int bits) {
  return "BM" + std::string(12, '\0') + Le32(40) + Le32(unsigned(width)) + Le32(unsigned(height)) +
         Le16(1) + Le16(unsigned(bits)) + std::string(24, '\0');
}
std::optional<PictureSize> SizeOf(const std::string& file) {
  return PictureSizeOf([&](std::uint64_t at, std::size_t n) {
    return at < file.size() ? file.substr(at, n) : std::string();
  });
}
bool Fits(const std::string& file) {
  const auto size = SizeOf(file);
  return size && FitsInMemory(*size);
}

TEST_F(KbdTest, PictureSizesComeFromTheHeaderAndOnlyFittingOnesAreDecoded) {
  const auto size = SizeOf(Jpeg(632, 217, 0xC2));
  ASSERT_TRUE(size);
  EXPECT_EQ(std::pair(size->width, size->height), std::pair(632u, 217u));
  EXPECT_FALSE(Fits(Jpeg(40000, 40000)));
  EXPECT_FALSE(Fits(Jpeg(8193, 10)));
  EXPECT_FALSE(Fits(Jpeg(5000, 5000)));  // 100 MB once decoded
  EXPECT_FALSE(Fits(Jpeg(632, 0)));      // the height comes with the pixels
  const std::string cut = Jpeg(632, 217);
  EXPECT_FALSE(Fits(cut.substr(0, cut.size() - 14)));
  EXPECT_TRUE(Fits(Png(4096, 4096, 8, 6)));  // 64 MB exactly
  EXPECT_FALSE(Fits(Png(4096, 4096, 16, 6)));
  EXPECT_TRUE(Fits(Gif(100, 0, 100)));
  EXPECT_FALSE(Fits(Gif(100, 30000, 100)));  // a first frame beyond the screen
  EXPECT_TRUE(Fits(Bmp(632, -217, 24)));      // top-down
  EXPECT_FALSE(Fits(Bmp(632, INT32_MIN, 24)));
  EXPECT_FALSE(Fits("II*\0 a picture of another kind"));

  // At start-up: the designed background stays for a picture too big.
  const std::wstring jpg = L"C:\\Program Files\\OrvKey\\OrvKey.jpg";
  for (const bool fits : {true, false}) {
    desk.files[jpg] = Jpeg(fits ? 632 : 40000, fits ? 217 : 40000);
    Load();
    EXPECT_EQ(kbd->GetPicture() != 0, fits);
  }
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

}  // namespace
}  // namespace orv::fake
