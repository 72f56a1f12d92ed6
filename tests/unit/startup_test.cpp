// Start-up, shutdown, the data folder and path joining.
#include "app/window_routines.h"
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

const std::wstring kPathWarning = L"Ошибка при создании имени файла\r\nНажмите Ctrl+Break";

TEST(MakeFilePath, JoinsWithOneBackslash) {
  Desktop desk;
  Ports p = desk.ports();
  EXPECT_EQ(MakeFilePath(p, L"C:\\Apps", L"OrvKey.ini"), L"C:\\Apps\\OrvKey.ini");
  EXPECT_EQ(MakeFilePath(p, L"C:\\Apps\\", L"OrvKey.ini"), L"C:\\Apps\\OrvKey.ini");
  EXPECT_EQ(MakeFilePath(p, L"C:\\Apps\\\\", L"OrvKey.ini"), L"C:\\Apps\\OrvKey.ini");
  EXPECT_EQ(MakeFilePath(p, L"C:\\", L"OrvKey.ini"), L"C:\\OrvKey.ini");
  EXPECT_EQ(MakeFilePath(p, L"C:\\Apps", L"D:\\other\\x.ini"), L"D:\\other\\x.ini");
  EXPECT_TRUE(desk.message_boxes.empty());
}

TEST(MakeFilePath, FolderWithoutDriveWarnsAndStillJoins) {
  Desktop desk;
  Ports p = desk.ports();
  EXPECT_EQ(MakeFilePath(p, L"\\\\server\\share", L"OrvKey.ini"), L"\\server\\share\\OrvKey.ini");
  ASSERT_EQ(desk.message_boxes.size(), 1u);
  EXPECT_EQ(desk.message_boxes[0].text, kPathWarning);
  EXPECT_EQ(desk.message_boxes[0].caption, L"OrvKey");
  EXPECT_EQ(desk.message_boxes[0].style, 0u);
}

class StartupTest : public KbdTest {};

TEST_F(StartupTest, DataFolderFollowsTheProgramFolder) {
  desk.app_path = L"C:\\Apps";
  Load();
  EXPECT_EQ(kbd->DataFolder, L"C:\\Apps\\");

  Desktop root_desk;
  root_desk.app_path = L"E:\\";
  Ports p = root_desk.ports();
  KelpUltimate k(p);
  FrmKbd at_root(p, k);
  at_root.Form_Load();
  EXPECT_EQ(at_root.DataFolder, L"E:\\");

  Desktop dev_desk;
  dev_desk.app_path = kBuildFolder;
  Ports pd = dev_desk.ports();
  KelpUltimate kd(pd);
  FrmKbd dev(pd, kd);
  dev.Form_Load();
  EXPECT_EQ(dev.DataFolder, L"D:\\OrvCar\\");
}

TEST_F(StartupTest, FirstRunShowsDefaultsCollapsedAndTopmost) {
  Load();
  EXPECT_FALSE(desk.ended);
  EXPECT_TRUE(kbd->Visible());
  EXPECT_EQ(kbd->Height(), 217);
  EXPECT_EQ(kbd->Width(), 632);
  EXPECT_EQ(kbd->Caption(), L"OrvCar Keyboard");
  EXPECT_EQ(kbd->BackColor(), 0x00404040u);
  // Topmost without taking the focus.
  const auto& pos = desk.W(kbd->hWnd()).set_pos;
  ASSERT_FALSE(pos.empty());
  EXPECT_EQ(pos.back().first, kHwndTopmost);
  EXPECT_EQ(pos.back().second, kSwpNoSize | kSwpNoMove | kSwpNoActivate);

  // The defaults, spread from the template key to all keys.
  EXPECT_EQ(kbd->lblX[12].Caption(), L"й");
  for (const auto& key : kbd->lblX) {
    EXPECT_EQ(key.Font().name, L"Tahoma");
    EXPECT_EQ(key.Font().size, 15);
    EXPECT_TRUE(key.Font().bold);
    EXPECT_EQ(key.ForeColor(), 255u);
  }
  for (const auto& key : kbd->lblControl) EXPECT_EQ(key.ForeColor(), 255u);
  EXPECT_EQ(kbd->cmbText.ForeColor(), 255u);
  EXPECT_EQ(kbd->DownColor, 65280u);
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 1);
  EXPECT_EQ(kbd->chkFont[kChkBold].Value(), 1);
  EXPECT_EQ(kbd->chkFont[kChkColor1].BackColor(), 255u);
  EXPECT_EQ(kbd->chkFont[kChkColor2].BackColor(), 65280u);
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
  EXPECT_TRUE(desk.tray_calls.empty());

  // The lists were filled before the settings selected in them.
  EXPECT_EQ(kbd->cmbFont.Items(), desk.font_faces);
  ASSERT_EQ(kbd->cmbSize.ListCount(), 41);
  EXPECT_EQ(kbd->cmbSize.List(0), L"8");
  EXPECT_EQ(kbd->cmbSize.List(40), L"48");
  EXPECT_EQ(kbd->cmbSize.List(kbd->cmbSize.ListIndex()), L"15");
}

TEST_F(StartupTest, SecondInstanceEndsAtOnceAndTouchesNothing) {
  desk.prev_instance = true;
  Load();
  EXPECT_TRUE(desk.ended);
  EXPECT_TRUE(kbd->Ended());
  EXPECT_FALSE(kbd->Visible());
  EXPECT_TRUE(kbd->DataFolder.empty());
  EXPECT_TRUE(desk.files.empty());
  EXPECT_TRUE(desk.registry.empty());
  EXPECT_TRUE(desk.message_boxes.empty());
}

TEST_F(StartupTest, BackgroundPictureOnlyWhenItDecodes) {
  desk.app_path = L"C:\\Apps";
  desk.files[L"C:\\Apps\\OrvKey.jpg"] = "\xFF\xD8\xFF\xE0 jpeg";
  Load();
  ASSERT_NE(kbd->GetPicture(), 0);
  EXPECT_EQ(desk.pictures[kbd->GetPicture()], L"C:\\Apps\\OrvKey.jpg");

  Desktop bad;
  bad.app_path = L"C:\\Apps";
  bad.files[L"C:\\Apps\\OrvKey.jpg"] = "not a picture";
  Ports p = bad.ports();
  KelpUltimate k(p);
  FrmKbd corrupt(p, k);
  corrupt.Form_Load();
  EXPECT_EQ(corrupt.GetPicture(), 0);  // the designed background stays
  EXPECT_TRUE(corrupt.Visible());
}

TEST_F(StartupTest, UnloadRemovesTheTrayIconAndEnds) {
  Load();
  std::int16_t cancel = 0;
  kbd->Form_Unload(cancel);
  EXPECT_TRUE(desk.ended);
  ASSERT_EQ(desk.tray_calls.size(), 1u);
  EXPECT_EQ(desk.tray_calls[0].first, kNimDelete);
  EXPECT_EQ(desk.tray_calls[0].second.hwnd, kbd->picHook.hWnd());
  EXPECT_EQ(desk.tray_calls[0].second.id, 1u);
}

TEST_F(StartupTest, TrayCallbackActsOnlyWhileHidden) {
  Load();
  // Visible: presses on the icon do nothing.
  kbd->picHook_MouseMove(0, wm::kRButtonDown * 15, 0);
  EXPECT_FALSE(desk.ended);

  kbd->SetVisible(false);
  const auto before = desk.now;
  kbd->picHook_MouseMove(0, wm::kLButtonDown * 15, 0);
  EXPECT_TRUE(kbd->Visible());
  EXPECT_EQ(desk.now - before, 1000u);  // shown after one second

  kbd->SetVisible(false);
  kbd->picHook_MouseMove(0, wm::kMouseMove * 15, 0);
  EXPECT_FALSE(kbd->Visible());
  EXPECT_FALSE(desk.ended);
  kbd->picHook_MouseMove(0, wm::kRButtonDown * 15, 0);
  EXPECT_TRUE(desk.ended);
}

TEST_F(StartupTest, BackgroundPressStartsASystemMove) {
  Load();
  kbd->Form_MouseDown(2);  // any button
  ASSERT_FALSE(desk.sent.empty());
  EXPECT_EQ(desk.sent.back().wnd, kbd->hWnd());
  EXPECT_EQ(desk.sent.back().msg, wm::kNcLButtonDown);
  EXPECT_EQ(desk.sent.back().wparam, static_cast<std::uintptr_t>(kHtCaption));
}

}  // namespace
}  // namespace orv::fake
