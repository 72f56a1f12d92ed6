// The remembered texts and the filtered drop-down list.
#include "fakes/kbd_fixture.h"
#include "history/numeric.h"

namespace orv::fake {
namespace {

class HistoryTest : public KbdTest {
 protected:
  void SetUp() override { Load(); }
  std::vector<std::wstring> Shown() { return kbd->cmbText.Items(); }
};

TEST_F(HistoryTest, NewestFirstWithHolesForOlderCopies) {
  kbd->AddStringToHistory(L"a");
  kbd->AddStringToHistory(L"b");
  kbd->AddStringToHistory(L"A");
  EXPECT_EQ(kbd->HistoryItems, (std::vector<std::wstring>{L"A", L"b", L"", L""}));
  kbd->FillComboHistory();
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"A", L"b"}));

  // The same text again: a new newest entry, the old one a hole.
  kbd->AddStringToHistory(L"A");
  EXPECT_EQ(kbd->HistoryItems[0], L"A");
  EXPECT_EQ(kbd->HistoryItems[1], L"");
  kbd->FillComboHistory();
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"A", L"b"}));

  // Cyrillic copies differ only in case.
  kbd->AddStringToHistory(L"Москва");
  kbd->AddStringToHistory(L"МОСКВА");
  kbd->FillComboHistory();
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"МОСКВА", L"A", L"b"}));
}

TEST_F(HistoryTest, BlanksAndNumbersAreNotKept) {
  for (const wchar_t* text : {L"", L"   ", L"123", L" 42 ", L"1E3", L"-7"}) {
    kbd->AddStringToHistory(text);
  }
  EXPECT_EQ(kbd->HistoryItems, std::vector<std::wstring>{L""});
  kbd->AddStringToHistory(L"12ab");
  EXPECT_EQ(kbd->HistoryItems[0], L"12ab");

  EXPECT_TRUE(IsNumeric(L"-4,5", L","));
  EXPECT_FALSE(IsNumeric(L"-4,5x", L","));
  EXPECT_TRUE(IsNumeric(L"3.25", L"."));
  EXPECT_TRUE(IsNumeric(L"&HFF", L"."));
  EXPECT_FALSE(IsNumeric(L"1E", L"."));
  EXPECT_FALSE(IsNumeric(L".", L"."));
  EXPECT_FALSE(IsNumeric(L"Омск", L"."));
}

TEST_F(HistoryTest, ListNarrowsToEntriesContainingTheLine) {
  for (const wchar_t* city : {L"Omsk", L"Minsk", L"Moscow"}) kbd->AddStringToHistory(city);
  kbd->cmbText.SetText(L"sk");
  kbd->FillComboHistory();
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"Minsk", L"Omsk"}));
  EXPECT_EQ(kbd->cmbText.Text(), L"sk");

  kbd->cmbText.SetText(L"MO");
  kbd->FillComboHistory();
  EXPECT_EQ(Shown(), std::vector<std::wstring>{L"Moscow"});

  // A line of spaces counts as empty and becomes empty.
  kbd->cmbText.SetText(L"  ");
  kbd->FillComboHistory();
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"Moscow", L"Minsk", L"Omsk"}));
  EXPECT_EQ(kbd->cmbText.Text(), L"");
}

}  // namespace
}  // namespace orv::fake
