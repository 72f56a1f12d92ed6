// The window command routine and the small routines it is built from.
#include <gtest/gtest.h>

#include "fakes/fake_desktop.h"
#include "utility/KelpUltimate.h"

namespace orv::fake {
namespace {

class WindowCommandTest : public ::testing::Test {
 protected:
  Desktop desk;
  Ports ports{desk.ports()};
  KelpUltimate kelp{ports};
  Hwnd wnd = desk.AddWindow(L"App", L"Old", 0, Rect{10, 20, 210, 120});
};

TEST_F(WindowCommandTest, ShowStatesZOrderCaptionAndEnabling) {
  const std::vector<std::pair<int, int>> show{{0, 6}, {2, 9}, {4, 5}, {5, 0}};
  for (auto [command, show_cmd] : show) {
    kelp.WindowCommand(wnd, command);
    EXPECT_EQ(desk.W(wnd).show_cmd, show_cmd) << "command " << command;
  }

  // Maximise needs a maximise box unless the caller insists.
  desk.W(wnd).show_cmd = -1;
  kelp.WindowCommand(wnd, 1);
  kelp.WindowCommand(wnd, 1, L"0");
  EXPECT_EQ(desk.W(wnd).show_cmd, -1);
  kelp.WindowCommand(wnd, 1, 1);
  EXPECT_EQ(desk.W(wnd).show_cmd, 3);
  desk.W(wnd).show_cmd = -1;
  desk.W(wnd).style = 0x10000;
  kelp.WindowCommand(wnd, 1);
  EXPECT_EQ(desk.W(wnd).show_cmd, 3);

  // Bring to front keeps a maximised window maximised.
  kelp.WindowCommand(wnd, 12);
  EXPECT_EQ(desk.W(wnd).show_cmd, 9);
  desk.W(wnd).style = 0x1000000;
  kelp.WindowCommand(wnd, 12);
  EXPECT_EQ(desk.W(wnd).show_cmd, 3);

  kelp.WindowCommand(wnd, 6);
  kelp.WindowCommand(wnd, 7);
  ASSERT_EQ(desk.W(wnd).set_pos.size(), 2u);
  EXPECT_EQ(desk.W(wnd).set_pos[0], std::make_pair(kHwndTopmost, 3u));
  EXPECT_EQ(desk.W(wnd).set_pos[1], std::make_pair(kHwndNoTopmost, 3u));

  kelp.WindowCommand(wnd, 9, L"  Title  ");
  EXPECT_EQ(desk.W(wnd).text, L"Title");
  kelp.WindowCommand(wnd, 9, L"");
  kelp.WindowCommand(wnd, 9);
  EXPECT_EQ(desk.W(wnd).text, L"Title");

  kelp.WindowCommand(wnd, 11);
  EXPECT_FALSE(desk.W(wnd).enabled);
  kelp.WindowCommand(wnd, 10);
  EXPECT_TRUE(desk.W(wnd).enabled);

  // Numbers outside 0..15 do nothing at all.
  const Window before = desk.W(wnd);
  kelp.WindowCommand(wnd, 16);
  kelp.WindowCommand(wnd, -1);
  EXPECT_EQ(desk.W(wnd).show_cmd, before.show_cmd);
  EXPECT_EQ(desk.W(wnd).set_pos.size(), before.set_pos.size());
  EXPECT_EQ(desk.W(wnd).text, before.text);
}

TEST_F(WindowCommandTest, OpacityCornersAndClickThroughOnTheNtFamilyOnly) {
  kelp.WindowCommand(wnd, 8, 32);
  EXPECT_EQ(desk.W(wnd).alpha, 223);
  EXPECT_TRUE(desk.W(wnd).ex_style & 0x80000);
  kelp.WindowCommand(wnd, 8, L"0");
  EXPECT_EQ(desk.W(wnd).alpha, 255);
  kelp.WindowCommand(wnd, 8, 300);
  kelp.WindowCommand(wnd, 8, -1);
  EXPECT_EQ(desk.W(wnd).alpha, 255);
  kelp.WindowCommand(wnd, 8, L"100.5");  // 154.5 rounds to the even 154
  EXPECT_EQ(desk.W(wnd).alpha, 154);

  kelp.WindowCommand(wnd, 13, 5);
  kelp.WindowCommand(wnd, 13, 0);
  ASSERT_EQ(desk.round_rects.size(), 2u);
  EXPECT_EQ(desk.round_rects[0], (std::array<int, 6>{0, 0, 199, 99, 5, 5}));
  EXPECT_EQ(desk.round_rects[1], (std::array<int, 6>{0, 0, 201, 101, 0, 0}));
  EXPECT_NE(desk.W(wnd).region, 0);
  EXPECT_EQ(desk.regions.size(), 2u);  // both taken by the window, none deleted

  kelp.WindowCommand(wnd, 14);
  EXPECT_EQ(desk.W(wnd).ex_style & 0x20, 0x20);
  kelp.WindowCommand(wnd, 15);
  EXPECT_EQ(desk.W(wnd).ex_style & 0x20, 0);

  desk.platform_id = 1;
  EXPECT_EQ(kelp.GetOSFamily(), L"9X");
  const Hwnd other = desk.AddWindow(L"App", L"", 0, Rect{0, 0, 50, 50});
  for (int command : {8, 13, 14, 15}) kelp.WindowCommand(other, command, 5);
  EXPECT_EQ(desk.W(other).ex_style, 0);
  EXPECT_EQ(desk.W(other).alpha, -1);
  EXPECT_EQ(desk.W(other).region, 0);
  desk.platform_id = 3;
  EXPECT_EQ(kelp.GetOSFamily(), L"");
}

TEST_F(WindowCommandTest, ClosesAnAnsweringWindowAndOffersToEndAHungOne) {
  kelp.WindowCommand(wnd, 3);
  EXPECT_FALSE(desk.Exists(wnd));
  EXPECT_TRUE(desk.message_boxes.empty());

  const Hwnd hung = desk.AddWindow(L"App", L"", 0, Rect{0, 0, 50, 50});
  desk.W(hung).hung = true;
  desk.W(hung).pid = 77;
  desk.process_paths[77] = L"C:\\Windows\\calc.exe";
  desk.message_box_answers = {2, 1};
  kelp.WindowCommand(hung, 3);
  EXPECT_TRUE(desk.terminated.empty());
  kelp.WindowCommand(hung, 3);
  EXPECT_EQ(desk.terminated, std::set<std::uint32_t>{77});
  ASSERT_EQ(desk.message_boxes.size(), 2u);
  EXPECT_EQ(desk.message_boxes[1].text,
            L"Приложение не отвечает. Завершить его процесс (calc.exe)?");
  EXPECT_EQ(desk.message_boxes[1].caption, L"OrvKey");
  EXPECT_EQ(desk.message_boxes[1].style, 49u);
  EXPECT_TRUE(desk.open_processes.empty());

  // A process whose path cannot be read still gets the offer.
  desk.W(hung).pid = 78;
  kelp.WindowCommand(hung, 3);
  EXPECT_EQ(desk.message_boxes.back().text, L"Приложение не отвечает. Завершить его процесс ()?");
}

TEST(WindowRoutines, FileNamesProcessesAndTheNumberReader) {
  std::wstring path = L"C:\\dir\\";
  EXPECT_EQ(KelpUltimate::GetFileNamePart(path, false), L"");
  EXPECT_EQ(path, L"C:\\dir\\");
  EXPECT_EQ(KelpUltimate::GetFileNamePart(path, true), L"dir");
  EXPECT_EQ(path, L"C:\\dir");
  std::wstring bare = L"calc.exe";
  EXPECT_EQ(KelpUltimate::GetFileNamePart(bare, true), L"calc.exe");

  Desktop desk;
  Ports ports = desk.ports();
  KelpUltimate kelp(ports);
  desk.process_paths[5] = L"C:\\x.exe";
  EXPECT_EQ(kelp.KillProcess(0), 1);
  EXPECT_EQ(kelp.KillProcess(0xFFFFFFFF), 1);
  EXPECT_EQ(kelp.KillProcess(6), 1);
  EXPECT_TRUE(desk.terminated.empty());
  EXPECT_EQ(kelp.KillProcess(5), 0);
  EXPECT_TRUE(desk.terminated.count(5));

  EXPECT_EQ(LeadingNumber(L"32"), 32);
  EXPECT_EQ(LeadingNumber(L"12abc"), 12);
  EXPECT_EQ(LeadingNumber(L""), 0);
  EXPECT_EQ(LeadingNumber(L"abc"), 0);
  EXPECT_EQ(LeadingNumber(L" -1.5e2x"), -150);
  EXPECT_EQ(LeadingNumber(L"7e"), 7);
  EXPECT_EQ(LeadingNumber(L".5"), 0.5);
  EXPECT_EQ(LeadingNumber(L"-"), 0);
  // A number goes through its printed form, so a decimal comma ends it.
  EXPECT_EQ(CommandParam(2.5).AsNumber(L","), 2);
  EXPECT_EQ(CommandParam(2.5).AsNumber(L"."), 2.5);
  EXPECT_FALSE(CommandParam().Present());
}

}  // namespace
}  // namespace orv::fake
