// The registry routines, the window placement with its one text holder and
// its per-user fallback. Autostart is driven end to end under Wine.
#include "settings/registry.h"
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

const std::wstring kHklmKey = L"HKLM\\SOFTWARE\\ORVKEY\\FRMKBD";
const std::wstring kHkcuKey = L"HKCU\\SOFTWARE\\ORVKEY\\FRMKBD";

RegValue Sz(const std::wstring& text) {
  RegValue v{kRegSz, {}};
  for (wchar_t c : text) {
    v.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    v.data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  v.data.insert(v.data.end(), {0, 0});
  return v;
}

using RegistryTest = KbdTest;

TEST_F(RegistryTest, RoutinesReportByResultAndCloseEveryKey) {
  Advapi32& reg = desk;
  EXPECT_FALSE(WriteRegValue(reg, kHkeyCurrentUser, L"Software\\X", L"v", L"text"));
  EXPECT_TRUE(desk.registry.empty());  // writing never creates the key
  EXPECT_TRUE(CreateRegKey(reg, kHkeyCurrentUser, L"Software\\X\\", L"String"));
  EXPECT_FALSE(CreateRegKey(reg, kHkeyCurrentUser, L"Software\\X\\", L"String"));

  EXPECT_TRUE(WriteRegValue(reg, kHkeyCurrentUser, L"Software\\X", L"text", L"Да"));
  auto& values = desk.registry[L"HKCU\\SOFTWARE\\X"];
  // Values of other kinds, as someone else may have left them.
  values[L"short"] = RegValue{kRegDword, {0xFE, 0xFF, 0xFF, 0xFF}};
  values[L"bin"] = RegValue{kRegBinary, {0x01, 0xAB, 0x10}};
  values[L"multi"] = RegValue{7, {0x41, 0, 0, 0, 0, 0}};

  std::wstring holder = L"kept";
  auto read = [&](const wchar_t* name) {
    return ReadRegValue(reg, kHkeyCurrentUser, L"Software\\X", name, holder);
  };
  EXPECT_TRUE(read(L"short"));
  EXPECT_EQ(holder, L"-2");
  EXPECT_TRUE(read(L"bin"));
  EXPECT_TRUE(read(L"multi"));
  EXPECT_EQ(holder, L"01 AB 10 ");  // read, but nothing the holder can show
  EXPECT_FALSE(read(L"missing"));
  EXPECT_FALSE(ReadRegValue(reg, kHkeyCurrentUser, L"Software\\None", L"text", holder));
  EXPECT_EQ(holder, L"01 AB 10 ");
  EXPECT_EQ(desk.open_keys, 0);
}

// The values saved at the first run are checked end to end; here, how they
// are read back.
TEST_F(RegistryTest, PlacementIsRestoredThroughOneHolder) {
  Load();
  kbd->Move(40, 500, 632, 217);
  Unload();
  auto& saved = desk.registry[kHklmKey];
  EXPECT_EQ(desk.registry.count(kHkcuKey), 0u);

  // A fraction of a twip is dropped, the size is not applied, state 2 holds.
  saved[L"Left"] = Sz(L"1514.9");
  saved[L"Width"] = Sz(L"100");
  saved[L"WindowState"] = Sz(L"2");
  saved[L"Show"] = Sz(L"False");
  Load();
  EXPECT_EQ(kbd->Left(), 100);
  EXPECT_EQ(kbd->Top(), 500);
  EXPECT_EQ(kbd->Width(), 632);
  EXPECT_EQ(kbd->WindowState(), 2);
  EXPECT_TRUE(kbd->Visible());  // hidden by the placement, shown at the end of start-up

  // Missing values reuse the text of the value read before them.
  saved.erase(L"Left");
  saved.erase(L"Show");
  saved[L"WindowState"] = Sz(L"0");
  Form form;
  form.Move(5, 5, 10, 10);
  LoadFormPlacement(ports, form, L"frmKbd");
  EXPECT_EQ(form.Left(), 0);
  EXPECT_TRUE(form.Visible());  // "3255" reads as true

  saved[L"Show"] = Sz(L"maybe");
  form.SetVisible(false);
  LoadFormPlacement(ports, form, L"frmKbd");
  EXPECT_FALSE(form.Visible());

  desk.registry.clear();
  form.Move(5, 6, 10, 10);
  LoadFormPlacement(ports, form, L"frmKbd");
  EXPECT_EQ(form.Left(), 5);
  EXPECT_EQ(form.Top(), 6);
  EXPECT_TRUE(form.Visible());
}

TEST_F(RegistryTest, OrdinaryUserKeepsThePlacementUnderCurrentUser) {
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
  desk.files[L"C:\\Program Files\\OrvKey\\OrvKey.ini"] = "";
  Load();
  EXPECT_EQ(kbd->Left(), 20);
  kbd->Move(60, 30, 632, 217);
  Unload();
  EXPECT_EQ(desk.registry[kHklmKey][L"Left"], Sz(L"900"));
  EXPECT_EQ(desk.registry[kHkcuKey][L"Left"], Sz(L"900"));
}

}  // namespace
}  // namespace orv::fake
