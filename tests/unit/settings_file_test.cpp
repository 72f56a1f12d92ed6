// OrvKey.ini: the lines as written, the positional reader with its failure
// rules, the atomic replace, the encodings, the save at Enter and tray mode.
#include <random>

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
  void Unload() {
    std::int16_t cancel = 0;
    kbd->Form_Unload(cancel);
  }
  // A second keyboard started on what the first one left.
  std::unique_ptr<FrmKbd> Restart() {
    auto again = std::make_unique<FrmKbd>(ports, kelp);
    again->Form_Load();
    return again;
  }
};

TEST_F(SettingsFileTest, FirstRunWritesExactlyTheDefaultLinesAtomically) {
  Load();
  EXPECT_EQ(desk.files.count(kIni), 0u);  // created at the first save
  Unload();
  EXPECT_EQ(desk.files[kIni], Ansi(DefaultFile()));
  EXPECT_EQ(desk.files.count(kTemp), 0u);

  // The size goes out through the number format and the point-only reader.
  desk.files.erase(kIni);
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
  EXPECT_EQ(kbd->txtLang[0].Text().substr(0, 3), L"ёйц");
  EXPECT_EQ(kbd->lblX[1].Caption(), L"й");
  EXPECT_EQ(kbd->cmbFont.List(kbd->cmbFont.ListIndex()), L"Arial");  // case ignored
  for (const auto& key : kbd->lblX) {
    EXPECT_EQ(key.Font(), (Font{L"Arial", 18, false, true, false, 204}));
    EXPECT_EQ(key.ForeColor(), 16711680u);
  }
  EXPECT_EQ(kbd->lblControl[kKeyEnter].ForeColor(), 16711680u);
  EXPECT_EQ(kbd->cmbText.ForeColor(), 16711680u);
  EXPECT_EQ(kbd->DownColor, 0xFFFFFFFFu);
  EXPECT_EQ(kbd->chkFont[kChkColor2].BackColor(), 0xFFFFFFFFu);
  EXPECT_EQ(kbd->chkFont[kChkItalic].Value(), 1);
  EXPECT_EQ(kbd->chkFont[kChkUnderline].Value(), 0);  // 2 is not a style
  EXPECT_EQ(kbd->cmbSize.List(kbd->cmbSize.ListIndex()), L"18");
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 0);
  EXPECT_EQ(kbd->ShiftAsCaps, 1);
  EXPECT_EQ(kbd->HistoryItems,
            (std::vector<std::wstring>{L"Москва, Тверская 1", L"Минск", L"Омск"}));
  EXPECT_EQ(kbd->cmbText.Items(), kbd->HistoryItems);
  EXPECT_TRUE(kbd->Visible());

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
  EXPECT_EQ(kbd->lblX[0].Font(), (Font{L"Tahoma", 0.75, true, true, true, 204}));
  EXPECT_EQ(kbd->lblX[0].ForeColor(), 1u);
  EXPECT_EQ(kbd->DownColor, 1u);
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 1);
  EXPECT_EQ(kbd->HideToTray, 1);
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
  desk.tray_calls.clear();

  // Values that are no numbers, or numbers nothing can take.
  desk.files[kIni] =
      Ansi(Lines({L"h", L"a", L"b", L"c", L"d", L"[Font]", L"FontName=NoSuchFont", L"FontBold=yes",
                  L"FontItal", L"FontUnder=1e999", L"FontSize=1e308", L"FontColor=4294967296",
                  L"DownColor=red", L"[Settings]", L"Tips=1abc", L"Caps=7", L"HideToTray=7"}));
  Load();
  EXPECT_EQ(kbd->lblX[0].Font(), Font{});  // the designed key font
  EXPECT_EQ(kbd->cmbFont.ListIndex(), -1);
  EXPECT_EQ(kbd->lblX[0].ForeColor(), 0x000080FFu);
  EXPECT_EQ(kbd->DownColor, 0u);
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 1);  // the leading number
  EXPECT_EQ(kbd->chkFont[kChkShiftAsCaps].Value(), 0);
  EXPECT_EQ(kbd->HideToTray, 7);  // taken, but only 1 is tray mode
  EXPECT_EQ(kbd->chkFont[kChkHideToTray].Value(), 0);
  EXPECT_TRUE(kbd->Visible());
  EXPECT_TRUE(desk.tray_calls.empty());

  // Out of the 16-bit range: the option keeps its value.
  desk.files[kIni] = Ansi(Lines({L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"", L"",
                                 L"", L"Tips=40000", L"Caps=-2", L"HideToTray=99999"}));
  Load();
  EXPECT_EQ(kbd->chkFont[kChkTips].Value(), 0);
  EXPECT_EQ(kbd->HideToTray, 0);

  // Empty, unreadable and binary files load with empty layouts, no crash.
  for (int kind = 0; kind < 3; ++kind) {
    desk.files[kIni] = "";
    desk.unreadable_files.clear();
    if (kind == 1) desk.unreadable_files.insert(kIni);
    if (kind == 2) {
      std::mt19937 random(1251);
      for (int i = 0; i < 5000; ++i) desk.files[kIni] += static_cast<char>(random());
    }
    Load();
    EXPECT_LE(kbd->txtLang[0].Text().size(), 47u);
    if (kind < 2) {
      EXPECT_EQ(kbd->txtLang[0].Text(), L"");
    }
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

  auto again = Restart();
  EXPECT_EQ(again->txtLang[2].Text(), layout);
  EXPECT_EQ(again->txtLang[0].Text(), kDefaultLayouts[0]);
  EXPECT_EQ(again->HistoryItems, kbd->HistoryItems);

  // Once everything fits the code page again, the file is ANSI again.
  again->txtLang[2].SetText(kDefaultLayouts[2]);
  again->HistoryItems = {L"Привет"};
  again->SaveSettings();
  EXPECT_EQ(desk.files[kIni], Ansi(DefaultFile() + L"Привет\r\n"));
}

TEST_F(SettingsFileTest, EnterWritesTheRecordedTextAtOnce) {
  Load();
  const Hwnd form = desk.AddWindow(L"#32770", L"Target", 0, Rect{0, 0, 300, 200});
  const Hwnd field = desk.AddWindow(L"Edit", L"", form, Rect{10, 10, 200, 30});
  const Hwnd secret = desk.AddWindow(L"Edit", L"", form, Rect{10, 40, 200, 60});
  desk.W(secret).password_char = L'*';

  Touch(field);
  kbd->cmbText.SetText(L"42");
  FKey(kKeyEnter);
  EXPECT_EQ(desk.files.count(kIni), 0u);  // numbers are not remembered
  kbd->cmbText.SetText(L"Тверская 1");
  FKey(kKeyEnter);
  EXPECT_TRUE(desk.files[kIni].ends_with(Ansi(L"[History]\r\nТверская 1\r\n")));

  Touch(secret);
  kbd->cmbText.SetText(L"hunter2");
  FKey(kKeyEnter);
  EXPECT_EQ(desk.files[kIni].find("hunter2"), std::string::npos);
}

// The touches that show and hide it, and the icon's presses, are driven
// end to end under Wine; here, what the file starts and what quitting keeps.
TEST_F(SettingsFileTest, TrayModeFromTheFile) {
  std::wstring text = DefaultFile();
  text.replace(text.find(L"HideToTray=0"), 12, L"HideToTray=1");
  desk.files[kIni] = Ansi(text);
  Load();
  ASSERT_EQ(desk.tray_calls.size(), 1u);
  EXPECT_EQ(desk.tray_calls[0].first, kNimAdd);
  EXPECT_EQ(desk.tray_calls[0].second.tip, L"OrvKey");
  EXPECT_EQ(desk.tray_calls[0].second.hwnd, kbd->picHook.hWnd());
  EXPECT_FALSE(kbd->Visible());
  EXPECT_EQ(kbd->chkFont[kChkHideToTray].Value(), 1);

  kbd->cmbText.SetText(L"последний текст");
  kbd->picHook_MouseMove(0, wm::kRButtonDown * 15, 0);
  EXPECT_TRUE(desk.ended);
  EXPECT_EQ(desk.files[kIni], Ansi(text + L"последний текст\r\n"));
}

}  // namespace
}  // namespace orv::fake
