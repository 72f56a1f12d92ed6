// Where the settings live: beside the program where this user may write, in
// the user's own %APPDATA%\OrvKey\ where not (a program installed under
// Program Files). Settings left beside the program move along, the autostart
// command still names the program, and a save that cannot land anywhere
// says so. A folder that can be written, and the move out of one that
// cannot, are tested end to end with the setup.
#include "fakes/kbd_fixture.h"
#include "settings/registry.h"

namespace orv::fake {
namespace {

const std::wstring kProgram = L"C:\\Program Files\\OrvKey\\";
const std::wstring kRoaming = L"C:\\Users\\Driver\\AppData\\Roaming\\";
const std::wstring kOwn = kRoaming + L"OrvKey\\";
const std::wstring kLayoutA = std::wstring(47, L'a');
const std::wstring kLayoutB = std::wstring(47, L'b');
// A picture's header as far as its size, 632 x 217 pixels.
const std::string kJpeg("\xFF\xD8\xFF\xC0\x00\x0B\x08\x00\xD9\x02\x78\x01\x01\x11\x00", 15);

class DataFolderTest : public TipKbdTest {
 protected:
  void SetUp() override {
    TipKbdTest::SetUp();
    desk.registry[L"HKCU\\" + kRunKey];
  }
  std::wstring Autorun() {
    kbd->cmdHistory_Click(1);  // the fake's message box answers OK
    std::wstring command;
    ReadRegValue(desk, kHkeyCurrentUser, kRunKey, L"OrvKey", command);
    return command;
  }
};

// Once the settings have moved (the move itself is proven end to end), the
// user's folder is read from then on though the old file is still beside the
// program. The picture may be in either place, the user's first.
TEST_F(DataFolderTest, UnwritableProgramFolderMovesTheSettingsToTheUsersFolder) {
  Load();
  kbd->txtLang[0].SetText(kLayoutA);
  Unload();
  desk.files[kProgram + L"OrvKey.jpg"] = kJpeg + "beside";

  desk.read_only_folders.insert(kProgram);
  Load();
  EXPECT_NE(kbd->GetPicture(), Picture{});
  EXPECT_EQ(Autorun(), L"\"" + kProgram + L"orvkey.exe\"");
  kbd->txtLang[0].SetText(kLayoutB);
  Unload();

  Load();
  EXPECT_EQ(kbd->txtLang[0].Text(), kLayoutB);
  const Picture beside = kbd->GetPicture();
  desk.files[kOwn + L"OrvKey.jpg"] = kJpeg + "own";
  Load();
  EXPECT_NE(kbd->GetPicture(), beside);

  // A file that cannot be read is kept beside the new one, in the new place.
  desk.files[kOwn + L"OrvKey.ini"] = std::string(100, '\0');
  Load();
  EXPECT_TRUE(kbd->SaveSettings());
  EXPECT_EQ(desk.files[kOwn + L"OrvKey.ini.bad"], std::string(100, '\0'));
}

// No folder of the user's own to be had: the program's folder stays, and
// the save that fails there is reported, never lost in silence.
TEST_F(DataFolderTest, NoWritableFolderKeepsTheProgramFolderAndSaysSavesFail) {
  desk.read_only_folders = {kProgram, kRoaming};
  Load();
  EXPECT_EQ(kbd->DataFolder(), kProgram);
  EXPECT_FALSE(kbd->SaveSettings());
  EXPECT_EQ(TipText(), L"Настройки не сохранены");

  desk.read_only_folders = {kProgram};
  desk.app_data.clear();
  Load();
  EXPECT_EQ(kbd->DataFolder(), kProgram);
}

}  // namespace
}  // namespace orv::fake
