// Writing only the changed span must leave every field exactly as writing the
// whole line would: random edits from a fixed seed, the field checked against
// the line after every step, while the application changes the field too.
#include <random>

#include "harness.h"

namespace orv::e2e {
namespace {

// The fields of class Edit in the order Tab walks them.
constexpr int kTabOrder[] = {kEdit1, kEdit2, kEdit3, kMultiLine, kPassword};

using Incremental = Scene;

TEST_F(Incremental, FieldEndsWithTheWholeLineAfterEveryEdit) {
  std::wstring held[std::size(kTabOrder)] = {L"", L"второе", L"три", L"мульти", L"пароль"};
  for (size_t i = 1; i < std::size(kTabOrder); ++i) target.SetFieldText(kTabOrder[i], held[i]);

  ASSERT_TRUE(Capture(kEdit1, L"дом 5"));
  const std::wstring_view layout = kDefaultLayouts[0];
  const HWND own = FindWindowExW(keyboard.EditLine(), nullptr, L"Edit", nullptr);
  std::wstring line = L"дом 5";
  size_t caret = line.size(), field = 0;
  std::mt19937 random(14);
  auto pick = [&](size_t n) { return size_t(random() % n); };
  for (int step = 0; step < 60; ++step) {
    switch (pick(7)) {
      case 0:  // the application changes the field; the next key puts the line back
        target.SetFieldText(kTabOrder[field], L"чужое " + std::to_wstring(step));
        [[fallthrough]];
      case 1:
      case 2: {
        const size_t key = pick(22);
        keyboard.TouchKey(int(key));
        line.insert(caret++, 1, layout[key]);
        break;
      }
      case 3:
        keyboard.TouchFunctionKey(kKeyBack);
        if (caret > 0) line.erase(--caret, 1);
        break;
      case 4:
        keyboard.TouchFunctionKey(kKeyClr);
        line.clear(), caret = 0;
        break;
      case 5: {  // a tap inside the keyboard's own line moves the insertion point
        if (line.empty()) continue;
        caret = pick(line.size());
        const LRESULT pos = SendMessageW(own, EM_POSFROMCHAR, caret, 0);
        POINT tap{short(LOWORD(pos)) + 1, short(HIWORD(pos)) + 5};
        ClientToScreen(own, &tap);
        Touch(tap);
        // Where the tap really put it, once the line has taken the tap.
        LRESULT sel = -1;
        ASSERT_TRUE(WaitSteady([&] { return SendMessageW(own, EM_GETSEL, 0, 0); }, sel, "the tap"));
        caret = HIWORD(sel);
        break;
      }
      default:
        held[field] = line;
        field = (field + 1) % std::size(kTabOrder);
        keyboard.TouchFunctionKey(kKeyTab);
        line = held[field], caret = line.size();
        break;
    }
    const HWND at = target.Field(kTabOrder[field]);
    ASSERT_TRUE(
        WaitFor([&] { return WindowText(keyboard.EditLine()) == line && WindowText(at) == line; },
                3000ms, "step " + std::to_string(step) + ": field and line " + Narrow(line),
                [&] { return Narrow(WindowText(keyboard.EditLine()) + L" / " + WindowText(at)); }));
  }
}

}  // namespace
}  // namespace orv::e2e
