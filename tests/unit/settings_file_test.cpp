// Start-up and OrvKey.ini: the positional reader with its failure rules, the
// writer, the atomic replace and the encodings. The first run's bytes, a
// hand-written file on the screen and a save killed at any moment are
// checked end to end.
#include "fakes/kbd_fixture.h"

namespace orv::fake {
namespace {

const std::wstring kIni = L"C:\\Program Files\\OrvKey\\OrvKey.ini";
const std::wstring kTemp = kIni + L".tmp";
const std::wstring kBad = kIni + L".bad";

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
                L"ЁЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ.,!\"№;%:?*()_+", kDefaultLayouts[2], kDefaultLayouts[3],
                L"[Font]", L"FontName=arial", L"FontBold=0", L"FontItal=1", L"FontUnder=2",
                L"FontSize=18", L"FontColor=16711680", L"DownColor=-1", L"[Settings]", L"Tips=0",
                L"Caps=1", L"HideToTray=0", L"[History]", L"Москва, Тверская 1", L"", L"Минск",
                L"[History]", L"Омск"});
  // clang-format on
}

class SettingsFileTest : public TipKbdTest {
 protected:
  std::string Ansi(const std::wstring& text) { return desk.ToAnsi(text, nullptr); }
  std::string& File() { return desk.files[kIni]; }
};

TEST_F(SettingsFileTest, HandWrittenFileIsReadByPositionAndWrittenBackTheSameOrAsUtf8) {
  File() = Ansi(HandWritten());
  Load();
  EXPECT_EQ(kbd->lblX[46].Font(), (Font{L"Arial", 18, false, true, false, 204}));  // case ignored
  EXPECT_EQ(kbd->cmbFont.Items(), (std::vector<std::wstring>{L"Arial", L"Tahoma", L"Courier New"}));
  EXPECT_EQ(kbd->cmbText.Items(),
            (std::vector<std::wstring>{L"Москва, Тверская 1", L"Минск", L"Омск"}));

  kbd->SaveSettings();
  std::wstring expected = HandWritten();
  expected.replace(expected.find(L"=arial"), 6, L"=Arial");
  expected.replace(expected.find(L"FontUnder=2"), 11, L"FontUnder=0");  // 2 is not a style
  expected.replace(expected.find(L"\r\n\r\n"), 4, L"\r\n");
  expected.erase(expected.rfind(L"[History]\r\n"), 11);
  EXPECT_EQ(File(), Ansi(expected));

  // Text outside the code page turns the whole file into UTF-8.
  const std::wstring layout = L"äöü日本" + std::wstring(42, L'q');
  kbd->txtLang[2].SetText(layout);
  kbd->SaveSettings();
  ASSERT_TRUE(File().starts_with("\xEF\xBB\xBF[OrvCar Keyboard Settings File]\r\n"));
  Load();
  EXPECT_EQ(kbd->txtLang[2].Text(), layout);
}

// Empty, cut by zeroes, bad UTF-8, over the size cap, unreadable: the
// keyboard starts usable, and the first save keeps the file beside (in place
// of an older one) before it replaces it; later saves leave it. (A zeroed
// file is kept beside end to end.)
TEST_F(SettingsFileTest, FileNotReadAsAWholeIsKeptBesideBeforeItIsReplaced) {
  const std::string hand = Ansi(HandWritten());
  const std::string broken[] = {"",
                                hand.substr(0, 120) + '\0',
                                "\xEF\xBB\xBF[OrvCar]\r\n\xC3(",
                                hand,
                                hand};
  for (std::size_t i = 0; i < std::size(broken); ++i) {
    desk.files[kBad] = "an older one";
    File() = broken[i];
    desk.sizes.clear();
    if (i == 3) desk.sizes[kIni] = (std::uint64_t{64} << 20) + 1;
    if (i == 4) desk.unreadable_files.insert(kIni);
    Load();
    EXPECT_EQ(kbd->txtLang[3].Text(), kDefaultLayouts[3]) << i;
    EXPECT_TRUE(kbd->SaveSettings());
    // What a zeroed tail left of the text is read as far as it goes.
    if (i == 1) {
      EXPECT_EQ(kbd->txtLang[0].Text(), L"ёйцукенгшщзхъфывапролджэячсмитьбю.,1234567890-=");
    }
    kbd->SaveSettings();
    EXPECT_EQ(desk.files[kBad], broken[i]) << i;
    desk.unreadable_files.clear();
  }
}

// A failed save says so even with tips off (clearing the history saves at
// once), keeps the old file and is tried again at the next save. A text of
// several lines is never remembered.
TEST_F(SettingsFileTest, FailedSaveSaysSoKeepsTheOldFileAndIsTriedAgain) {
  File() = Ansi(HandWritten());
  desk.files[kTemp] = "[OrvCar Keyboard Settings File]\r\nhalf a fi";  // a killed save
  Load();
  kbd->AddStringToHistory(L"new");
  kbd->AddStringToHistory(L"две\r\nстроки");
  EXPECT_EQ(History().front(), L"new");
  desk.fail_writes = true;
  EXPECT_FALSE(kbd->SaveSettings());
  EXPECT_EQ(TipText(), L"Настройки не сохранены");
  EXPECT_EQ(File(), Ansi(HandWritten()));
  desk.fail_writes = false;
  desk.fail_moves = true;
  kbd->cmdHistory_Click(0);
  EXPECT_EQ(File(), Ansi(HandWritten()));
  EXPECT_EQ(desk.files.count(kTemp), 0u);
  desk.fail_moves = false;
  kbd->SaveSettings();
  EXPECT_TRUE(File().ends_with("[History]\r\n"));
}

// A pasted document is not remembered, from the line or from the file, and
// all texts together stay under their cap, the oldest forgotten first.
TEST_F(SettingsFileTest, LongTextsAreNotRememberedAndTheHistoryStaysBounded) {
  const std::wstring longest(kMaxHistoryTextLength, L'ж');
  File() = Ansi(HandWritten() + longest + L"ж\r\n" + longest + L"\r\n");
  for (int i = 0; i < 5000; ++i) File() += std::to_string(1000000 + i) + std::string(993, 'x') + "\r\n";
  Load();
  // The three short texts, the longest, and as many thousand-character lines as fit.
  const std::size_t fit = (kMaxHistoryChars - 18 - 5 - 4 - kMaxHistoryTextLength) / 1000;
  EXPECT_EQ(History()[3], longest);
  ASSERT_EQ(History().size(), 4 + fit);
  kbd->AddStringToHistory(longest + L"ж");
  kbd->AddStringToHistory(L"2" + longest.substr(1));
  EXPECT_EQ(History()[1], L"Москва, Тверская 1");
  EXPECT_EQ(History().back(), std::to_wstring(1000000 + fit - 2) + std::wstring(993, L'x'));
}

}  // namespace
}  // namespace orv::fake
