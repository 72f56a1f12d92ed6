// Start-up and OrvKey.ini: the data folder and path joining, the lines as
// written, the positional reader with its failure rules, the atomic replace,
// the encodings, the save at Enter and tray mode. The window itself (shape,
// topmost, background picture, single instance) is checked end to end.
#include "app/window_routines.h"
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

const std::wstring kIni = L"C:\\Program Files\\OrvKey\\OrvKey.ini";
const std::wstring kTemp = kIni + L".tmp";

std::wstring Lines(std::initializer_list<std::wstring> lines) {
  std::wstring text;
  for (const auto& l : lines) text += l + L"\r\n";
  return text;
}

// Functions, not constants: the default layouts are built in another file.
std::wstring DefaultFile() {
  return Lines({L"[OrvCar Keyboard Settings File]", kDefaultLayouts[0], kDefaultLayouts[1],
                kDefaultLayouts[2], kDefaultLayouts[3], L"[Font]", L"FontName=Tahoma",
                L"FontBold=1", L"FontItal=0", L"FontUnder=0", L"FontSize=15", L"FontColor=255",
                L"DownColor=65280", L"[Settings]", L"Tips=1", L"Caps=0", L"HideToTray=0",
                L"[History]"});
}

// Cyrillic layouts, another font, colours, options and a history with a
// blank line and a stray section line in it.
std::wstring HandWritten() {
  // clang-format off
  return Lines({L"[OrvCar Keyboard Settings File]",
                L"ёйцукенгшщзхъфывапролджэячсмитьбю.,1234567890-=",
                L"ЁЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ.,!\"№;%:?*()_+",
                kDefaultLayouts[2], kDefaultLayouts[3],
                L"[Font]", L"FontName=arial", L"FontBold=0", L"FontItal=1", L"FontUnder=2",
                L"FontSize=18", L"FontColor=16711680", L"DownColor=-1",
                L"[Settings]", L"Tips=0", L"Caps=1", L"HideToTray=0",
                L"[History]", L"Москва, Тверская 1", L"", L"Минск", L"[History]", L"Омск"});
  // clang-format on
}

class SettingsFileTest : public KbdTest {
 protected:
  std::string Ansi(const std::wstring& text) { return desk.ToAnsi(text, nullptr); }
};

// The first run's exact bytes are checked end to end; here, the size goes
// out through the number format and the point-only reader.
TEST_F(SettingsFileTest, FontSizeFollowsTheDecimalSeparator) {
  desk.decimal_separator = L",";
  Load();
  kbd->lblX[0].SetFontSize(14);  // the font system makes it 14.25
  kbd->SaveSettings();
  EXPECT_NE(desk.files[kIni].find("\r\nFontSize=14\r\n"), std::string::npos);
  desk.decimal_separator = L".";
  kbd->SaveSettings();
  EXPECT_NE(desk.files[kIni].find("\r\nFontSize=14.25\r\n"), std::string::npos);
}

TEST_F(SettingsFileTest, HandWrittenFileIsReadByPositionAndWrittenBackTheSame) {
  desk.files[kIni] = Ansi(HandWritten());
  Load();
  EXPECT_EQ(kbd->lblX[1].Caption(), L"й");
  EXPECT_EQ(kbd->lblX[46].Font(), (Font{L"Arial", 18, false, true, false, 204}));  // case ignored
  EXPECT_EQ(kbd->lblControl[kKeyEnter].ForeColor(), 16711680u);
  EXPECT_EQ(kbd->DownColor, 0xFFFFFFFFu);
  EXPECT_EQ(kbd->chkFont[kChkUnderline].Value(), 0);  // 2 is not a style
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 0);
  EXPECT_EQ(kbd->HistoryItems,
            (std::vector<std::wstring>{L"Москва, Тверская 1", L"Минск", L"Омск"}));
  EXPECT_EQ(kbd->cmbText.Items(), kbd->HistoryItems);

  kbd->SaveSettings();
  std::wstring expected = HandWritten();
  expected.replace(expected.find(L"=arial"), 6, L"=Arial");
  expected.replace(expected.find(L"FontUnder=2"), 11, L"FontUnder=0");
  expected.replace(expected.find(L"\r\n\r\n"), 4, L"\r\n");
  expected.erase(expected.rfind(L"[History]\r\n"), 11);
  EXPECT_EQ(desk.files[kIni], Ansi(expected));
}

TEST_F(SettingsFileTest, ShortBrokenAndHugeFilesNeverStopTheLoader) {
  // One line: every later read fails and the steps reuse that line.
  desk.files[kIni] = "FontBold=1";
  Load();
  EXPECT_EQ(kbd->txtLang[3].Text(), L"FontBold=1");
  EXPECT_EQ(kbd->DownColor, 1u);
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
  desk.tray_calls.clear();

  // Values that are no numbers, or numbers nothing can take.
  desk.files[kIni] =
      Ansi(Lines({L"h", L"a", L"b", L"c", L"d", L"[Font]", L"FontName=NoSuchFont", L"FontBold=yes",
                  L"FontItal", L"FontUnder=1e999", L"FontSize=1e308", L"FontColor=4294967296",
                  L"DownColor=red", L"[Settings]", L"Tips=1abc", L"Caps=7", L"HideToTray=7"}));
  Load();
  EXPECT_EQ(kbd->lblX[0].Font(), Font{});  // the designed key font
  EXPECT_EQ(kbd->DownColor, 0u);
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 1);  // the leading number
  EXPECT_EQ(kbd->HideToTray, 7);                 // taken, but only 1 is tray mode
  EXPECT_TRUE(kbd->Visible());
  EXPECT_TRUE(desk.tray_calls.empty());

  // Empty and unreadable files load with empty layouts (any bytes at all
  // are the fuzz target's).
  for (bool unreadable : {false, true}) {
    desk.files[kIni] = "";
    if (unreadable) desk.unreadable_files.insert(kIni);
    Load();
    EXPECT_EQ(kbd->txtLang[0].Text(), L"");
    EXPECT_FALSE(desk.ended);
  }
  desk.unreadable_files.clear();

  // One 10 MB line: the layouts keep 47 characters of it; as history it is
  // kept whole and written back whole.
  const std::string huge(10 << 20, 'x');
  desk.files[kIni] = huge;
  Load();
  EXPECT_EQ(kbd->txtLang[0].Text(), std::wstring(47, L'x'));
  desk.files[kIni] = Ansi(DefaultFile()) + huge + "\r\n";
  Load();
  ASSERT_EQ(kbd->HistoryItems.size(), 1u);
  EXPECT_EQ(kbd->HistoryItems[0].size(), huge.size());
  kbd->SaveSettings();
  EXPECT_EQ(desk.files[kIni].size(), Ansi(DefaultFile()).size() + huge.size() + 2);
}

TEST_F(SettingsFileTest, SaveFillsBlankLayoutsAndDropsBlankHistory) {
  Load();
  kbd->txtLang[0].SetText(L"   ");
  kbd->HistoryItems = {L"abc", L"   ", L"", L"def"};
  kbd->SaveSettings();
  EXPECT_EQ(kbd->txtLang[0].Text(), L"1234567890");
  EXPECT_EQ(kbd->lblX[0].Caption(), L"1");  // the keys follow the box
  const std::string& file = desk.files[kIni];
  EXPECT_NE(file.find("\r\n1234567890\r\n"), std::string::npos);
  EXPECT_TRUE(file.ends_with("[History]\r\nabc\r\ndef\r\n"));
}

TEST_F(SettingsFileTest, FailedSaveKeepsTheOldFileAndLeftoversNeverCount) {
  desk.files[kIni] = Ansi(HandWritten());
  desk.files[kTemp] = "[OrvCar Keyboard Settings File]\r\nhalf a fi";  // a killed save
  Load();
  EXPECT_EQ(kbd->HistoryItems.size(), 3u);
  kbd->HistoryItems = {L"new"};

  desk.fail_writes = true;
  kbd->SaveSettings();
  EXPECT_EQ(desk.files[kIni], Ansi(HandWritten()));
  desk.fail_writes = false;
  desk.fail_moves = true;
  kbd->SaveSettings();
  EXPECT_EQ(desk.files[kIni], Ansi(HandWritten()));
  EXPECT_EQ(desk.files.count(kTemp), 0u);
  desk.fail_moves = false;
  kbd->SaveSettings();
  EXPECT_TRUE(desk.files[kIni].ends_with("[History]\r\nnew\r\n"));
  EXPECT_EQ(desk.files.count(kTemp), 0u);
}

TEST_F(SettingsFileTest, TextOutsideTheCodePageIsKeptAsUtf8) {
  Load();
  const std::wstring layout = L"äöü日本" + std::wstring(42, L'q');
  kbd->txtLang[2].SetText(layout);
  kbd->HistoryItems = {L"Grüße aus Köln", L"Привет"};
  kbd->SaveSettings();
  const std::string& file = desk.files[kIni];
  ASSERT_TRUE(file.starts_with("\xEF\xBB\xBF[OrvCar Keyboard Settings File]\r\n"));
  EXPECT_NE(file.find("\r\n\xD0\x9F\xD1\x80"), std::string::npos);  // "Пр" in UTF-8

  // A second keyboard started on what the first one left.
  FrmKbd again(ports, kelp);
  again.Form_Load();
  EXPECT_EQ(again.txtLang[2].Text(), layout);
  EXPECT_EQ(again.txtLang[0].Text(), kDefaultLayouts[0]);
  EXPECT_EQ(again.HistoryItems, kbd->HistoryItems);

  // Once everything fits the code page again, the file is ANSI again.
  again.txtLang[2].SetText(kDefaultLayouts[2]);
  again.HistoryItems = {L"Привет"};
  again.SaveSettings();
  EXPECT_EQ(desk.files[kIni], Ansi(DefaultFile() + L"Привет\r\n"));
}

TEST_F(SettingsFileTest, EnterWritesTheRecordedTextAtOnce) {
  Load();
  const Hwnd form = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 300, 200});
  Touch(desk.AddWindow(L"Edit", L"", form, Rect{10, 10, 200, 30}));
  kbd->cmbText.SetText(L"Тверская 1");
  FKey(kKeyEnter);
  EXPECT_TRUE(desk.files[kIni].ends_with(Ansi(L"[History]\r\nТверская 1\r\n")));
}

// The touches that show and hide it, and the icon's presses, are driven
// end to end under Wine; here, what the icon ignores and what quitting keeps.
TEST_F(SettingsFileTest, TrayModeFromTheFile) {
  std::wstring text = DefaultFile();
  text.replace(text.find(L"HideToTray=0"), 12, L"HideToTray=1");
  desk.files[kIni] = Ansi(text);
  Load();
  EXPECT_FALSE(kbd->Visible());
  // Shown, the icon's presses do nothing.
  kbd->SetVisible(true);
  kbd->picHook_MouseMove(0, wm::kRButtonDown * 15, 0);
  EXPECT_FALSE(desk.ended);

  kbd->SetVisible(false);
  kbd->cmbText.SetText(L"последний текст");
  kbd->picHook_MouseMove(0, wm::kRButtonDown * 15, 0);
  EXPECT_TRUE(desk.ended);
  EXPECT_EQ(desk.files[kIni], Ansi(text + L"последний текст\r\n"));
}

// ---- Start-up

TEST(MakeFilePath, JoinsWithOneBackslashAndWarnsWithoutADrive) {
  Desktop desk;
  Ports p = desk.ports();
  EXPECT_EQ(MakeFilePath(p, L"C:\\Apps", L"OrvKey.ini"), L"C:\\Apps\\OrvKey.ini");
  EXPECT_EQ(MakeFilePath(p, L"C:\\Apps\\\\", L"OrvKey.ini"), L"C:\\Apps\\OrvKey.ini");
  EXPECT_EQ(MakeFilePath(p, L"C:\\Apps", L"D:\\other\\x.ini"), L"D:\\other\\x.ini");
  EXPECT_TRUE(desk.message_boxes.empty());

  EXPECT_EQ(MakeFilePath(p, L"\\\\server\\share", L"OrvKey.ini"), L"\\server\\share\\OrvKey.ini");
  ASSERT_EQ(desk.message_boxes.size(), 1u);
  EXPECT_EQ(desk.message_boxes[0], L"Ошибка при создании имени файла\r\nНажмите Ctrl+Break");
}

using StartupTest = KbdTest;

TEST_F(StartupTest, DataFolderFollowsTheProgramFolder) {
  for (auto [app_path, data_folder] :
       {std::pair<std::wstring, std::wstring>{L"C:\\Apps", L"C:\\Apps\\"},
        {L"E:\\", L"E:\\"},
        {kBuildFolder, L"D:\\OrvCar\\"}}) {
    desk.app_path = app_path;
    Load();
    EXPECT_EQ(kbd->DataFolder, data_folder);
  }
}

// The size list is filled before the settings select in it.
TEST_F(StartupTest, FirstRunSelectsTheDefaultsInFilledLists) {
  Load();
  EXPECT_EQ(kbd->cmbFont.Items(), desk.font_faces);
  ASSERT_EQ(kbd->cmbSize.ListCount(), 41);
  EXPECT_EQ(kbd->cmbSize.List(kbd->cmbSize.ListIndex()), L"15");
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
}

TEST_F(StartupTest, SecondInstanceEndsAtOnceAndTouchesNothing) {
  desk.prev_instance = true;
  Load();
  EXPECT_TRUE(desk.ended);
  EXPECT_FALSE(kbd->Visible());
  EXPECT_TRUE(desk.files.empty());
  EXPECT_TRUE(desk.registry.empty());
}

}  // namespace
}  // namespace orv::fake
