// The window placement in the registry and its per-user fallback. The values of a first run and
// autostart are driven end to end under Wine.
#include "settings/registry.h"
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

const std::wstring kHklmKey = L"HKLM\\SOFTWARE\\ORVKEY\\FRMKBD";
const std::wstring kHkcuKey = L"HKCU\\SOFTWARE\\ORVKEY\\FRMKBD";

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

// A place off every screen (a monitor gone, a bad value) comes back wholly
// on the nearest work area; one on it stays where it was.
TEST_F(KbdTest, PlacementOffEveryScreenComesBackOnTheWorkArea) {
  desk.files[L"C:\\Program Files\\OrvKey\\OrvKey.ini"] = "";
  const std::pair<const wchar_t*, const wchar_t*> places[] = {
      {L"99999", L"-99999"}, {L"-1e300", L"1e300"}, {L"4500", L"1800"}};
  const Rect expected[] = {{168, 0, 800, 217}, {0, 353, 632, 570}, {300, 120, 932, 337}};
  for (std::size_t i = 0; i < std::size(places); ++i) {
    desk.registry[kHkcuKey] = {
        {L"WindowState", Sz(L"0")}, {L"Left", Sz(places[i].first)}, {L"Top", Sz(places[i].second)}};
    Load();
    EXPECT_EQ(
        (Rect{kbd->Left(), kbd->Top(), kbd->Left() + kbd->Width(), kbd->Top() + kbd->Height()}),
        expected[i]);
  }
}

}  // namespace
}  // namespace orv::fake
