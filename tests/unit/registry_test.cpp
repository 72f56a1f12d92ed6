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

}  // namespace
}  // namespace orv::fake
