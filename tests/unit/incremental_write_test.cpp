// The changed span turns the old text into the new one and never cuts a
// surrogate pair or a line break in two.
#include <gtest/gtest.h>

#include <random>

#include "field/incremental_write.h"

namespace orv {

TEST(IncrementalWrite, ChangeRebuildsTheNewTextWithoutSplittingUnits) {
  const std::wstring units[] = {L"a", L"b", L"\r\n", L"\xD83D\xDE00", L"\xD83D\xDE01"};
  std::mt19937 random(14);
  for (int round = 0; round < 2000; ++round) {
    std::wstring before, after;
    for (auto* s : {&before, &after})
      for (int n = int(random() % 6); n > 0; --n) *s += units[random() % std::size(units)];
    const TextChange c = ChangeBetween(before, after);
    std::wstring rebuilt = before;
    rebuilt.replace(c.start, c.old_end - c.start, c.inserted);
    ASSERT_EQ(rebuilt, after);
    for (std::size_t at : {c.start, c.old_end})
      EXPECT_FALSE(at > 0 && at < before.size() &&
                   (before[at - 1] == 0xD83D || (before[at - 1] == L'\r' && before[at] == L'\n')));
  }
}

}  // namespace orv
