// Where the keyboard stands: its placement in the registry with the per-user
// fallback, and its size on screens of other densities. The values of a
// first run, autostart and 144 DPI are driven end to end under Wine.
#include "fakes/kbd_fixture.h"
#include "settings/registry.h"

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

// On screens of other densities the keys keep touching at every scale, and
// a move between densities loses nothing.
TEST_F(KbdTest, EveryDensityKeepsTheKeysTouchingAndAMoveBackRestoresTheDesign) {
  Load();
  std::vector<Rect> designed;
  for (const auto& key : kbd->lblX) designed.push_back(key.Bounds());
  FKey(kKeyOptions);
  ASSERT_EQ(kbd->Height(), 401);
  for (int dpi : {120, 144, 192, 96}) {
    desk.dpi = dpi;
    kbd->FollowDpi(Rect{40, 50, 0, 0});
    EXPECT_EQ(kbd->Left() + kbd->Top(), 90);  // where the system asked
    EXPECT_EQ(kbd->Height(), (401 * dpi + 48) / 96) << "the panel stays open at " << dpi;
    // 7.5 twips a pixel at 192 DPI: neighbours in a row overlap by one
    // design step, never by a gap.
    for (std::size_t i = 1; i < kbd->lblX.size(); ++i) {
      const Rect a = kbd->lblX[i - 1].Bounds(), b = kbd->lblX[i].Bounds();
      if (a.top != b.top) continue;
      EXPECT_GE(a.right, b.left) << "keys " << i - 1 << ", " << i << " at " << dpi;
    }
  }
  for (std::size_t i = 0; i < designed.size(); ++i) EXPECT_EQ(kbd->lblX[i].Bounds(), designed[i]);
}

}  // namespace
}  // namespace orv::fake
