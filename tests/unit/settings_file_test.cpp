// Start-up and OrvKey.ini: the positional reader with its failure rules, the
// writer, the atomic replace and the encodings. The first run's bytes, a
// hand-written file on the screen and a save killed at any moment are
// checked end to end.
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
  std::string& File() { return desk.files[kIni]; }
  bool FileHas(const std::wstring& text) { return File().find(Ansi(text)) != std::string::npos; }
};

TEST_F(SettingsFileTest, HandWrittenFileIsReadByPositionAndWrittenBackTheSame) {
  File() = Ansi(HandWritten());
  Load();
  EXPECT_EQ(kbd->lblX[46].Font(), (Font{L"Arial", 18, false, true, false, 204}));  // case ignored
  EXPECT_EQ(kbd->lblControl[kKeyEnter].ForeColor(), 16711680u);
  EXPECT_EQ(kbd->DownColor(), 0xFFFFFFFFu);
  EXPECT_EQ(History(), (std::vector<std::wstring>{L"Москва, Тверская 1", L"Минск", L"Омск"}));
  EXPECT_EQ(kbd->cmbText.Items(), History());

  kbd->SaveSettings();
  std::wstring expected = HandWritten();
  expected.replace(expected.find(L"=arial"), 6, L"=Arial");
  expected.replace(expected.find(L"FontUnder=2"), 11, L"FontUnder=0");  // 2 is not a style
  expected.replace(expected.find(L"\r\n\r\n"), 4, L"\r\n");
  expected.erase(expected.rfind(L"[History]\r\n"), 11);
  EXPECT_EQ(File(), Ansi(expected));

  // Under a decimal comma the size goes out through the number format and
  // comes back through the point-only reader.
  desk.decimal_separator = L",";
  kbd->lblX[0].SetFontSize(14);  // the font system makes it 14.25
  kbd->SaveSettings();
  EXPECT_TRUE(FileHas(L"\r\nFontSize=14\r\n"));
}

TEST_F(SettingsFileTest, ShortBrokenAndHugeFilesNeverStopTheLoader) {
  // One line: every later read fails and the steps reuse that line.
  File() = "FontBold=1";
  Load();
  EXPECT_EQ(kbd->txtLang[3].Text(), L"FontBold=1");
  EXPECT_EQ(kbd->DownColor(), 1u);
  EXPECT_EQ(History(), std::vector<std::wstring>{L""});

  // Values that are no numbers, or numbers nothing can take; a blank layout
  // and a blank history line are saved as the digits and as nothing.
  File() = Ansi(
      Lines({L"h", L"   ", L"b", L"c", L"d", L"[Font]", L"FontName=NoSuchFont", L"FontBold=yes",
             L"FontItal", L"FontUnder=1e999", L"FontSize=1e308", L"FontColor=4294967296",
             L"DownColor=red", L"[Settings]", L"Tips=1abc", L"Caps=7", L"HideToTray=7", L"   "}));
  Load();
  EXPECT_EQ(kbd->lblX[0].Font(), Font{});  // the designed key font
  EXPECT_EQ(kbd->DownColor(), 0u);
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 1);  // the leading number
  EXPECT_EQ(kbd->HideToTray(), 7);               // taken, but only 1 is tray mode
  EXPECT_TRUE(kbd->Visible());
  kbd->SaveSettings();
  EXPECT_EQ(kbd->lblX[0].Caption(), L"1");  // the keys follow the box
  EXPECT_TRUE(FileHas(L"]\r\n1234567890\r\nb\r\n"));
  EXPECT_TRUE(File().ends_with("HideToTray=0\r\n[History]\r\n"));

  desk.unreadable_files.insert(kIni);
  Load();
  EXPECT_EQ(kbd->txtLang[0].Text(), L"");
  desk.unreadable_files.clear();

  // One 10 MB line: the layouts keep 47 characters of it.
  File() = std::string(10 << 20, 'x');
  Load();
  EXPECT_EQ(kbd->txtLang[0].Text(), std::wstring(47, L'x'));
}

TEST_F(SettingsFileTest, FailedSaveKeepsTheOldFileAndLeftoversNeverCount) {
  File() = Ansi(HandWritten());
  desk.files[kTemp] = "[OrvCar Keyboard Settings File]\r\nhalf a fi";  // a killed save
  Load();
  EXPECT_EQ(History().size(), 3u);
  kbd->AddStringToHistory(L"new");
  desk.fail_writes = true;
  kbd->SaveSettings();
  EXPECT_EQ(File(), Ansi(HandWritten()));
  desk.fail_writes = false;
  desk.fail_moves = true;
  kbd->SaveSettings();
  EXPECT_EQ(File(), Ansi(HandWritten()));
  EXPECT_EQ(desk.files.count(kTemp), 0u);
  desk.fail_moves = false;
  kbd->SaveSettings();
  EXPECT_TRUE(FileHas(L"[History]\r\nnew\r\n"));
}

TEST_F(SettingsFileTest, TextOutsideTheCodePageIsKeptAsUtf8UntilItFitsAgain) {
  Load();
  const std::wstring layout = L"äöü日本" + std::wstring(42, L'q');
  kbd->txtLang[2].SetText(layout);
  kbd->SaveSettings();
  ASSERT_TRUE(File().starts_with("\xEF\xBB\xBF[OrvCar Keyboard Settings File]\r\n"));
  Load();
  EXPECT_EQ(kbd->txtLang[2].Text(), layout);
  kbd->txtLang[2].SetText(kDefaultLayouts[2]);
  kbd->SaveSettings();
  EXPECT_TRUE(File().starts_with("[OrvCar"));
}

// In a car the power goes at every ignition off: a text sent with Enter is
// written at once.
TEST_F(SettingsFileTest, EnterWritesTheRecordedTextAtOnce) {
  Load();
  const Hwnd form = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 300, 200});
  Touch(desk.AddWindow(L"Edit", L"", form, Rect{10, 10, 200, 30}));
  kbd->cmbText.SetText(L"Тверская 1");
  FKey(kKeyEnter);
  EXPECT_TRUE(FileHas(L"[History]\r\nТверская 1\r\n"));
}

TEST_F(KbdTest, DataFolderFollowsTheProgramFolder) {
  desk.app_path = kBuildFolder;
  Load();
  EXPECT_EQ(kbd->DataFolder(), L"D:\\OrvCar\\");
}

}  // namespace
}  // namespace orv::fake
