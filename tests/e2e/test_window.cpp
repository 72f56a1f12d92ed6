// End-to-end tests of the keyboard window itself: its shape, single instance,
// background picture, dragging, closing, and what the exe links against.
#include "harness.h"

#include <algorithm>
#include <array>
#include <random>

using namespace orv::e2e;

namespace {

// Two places on the keyboard with no key and no control, where only the
// background shows, from one capture so that they come from the same frame.
using Colours = std::array<COLORREF, 2>;
Colours BareColours(const Keyboard& keyboard) {
  const ScreenShot shot = ScreenShot::Capture();
  const POINT a = keyboard.ToScreen({20, 20}), b = keyboard.ToScreen({300, 205});
  return {shot.At(a.x, a.y), shot.At(b.x, b.y)};
}

std::string Describe(const Colours& c) {
  return DescribeColour(c[0]) + " and " + DescribeColour(c[1]);
}

// The background once it has been painted and stopped changing.
::testing::AssertionResult SteadyBackground(Keyboard& keyboard, Colours& colours) {
  if (auto settled = keyboard.WaitSettled(); !settled) return settled;
  return WaitSteady([&] { return BareColours(keyboard); }, colours, 300ms, 5000ms,
                    "the keyboard's background to be painted");
}

}  // namespace

TEST(KeyboardWindow, ShowsBorderlessTopmostWithoutFocusDragsAndCloses) {
  TargetApp target;
  ASSERT_TRUE(target.Start());
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == target.window(); }, 5000ms,
                      "the target to be the foreground window",
                      [] { return DescribeWindow(GetForegroundWindow()); }));

  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(keyboard.WaitSettled());
  const HWND wnd = keyboard.window();

  const RECT r = keyboard.rect();
  EXPECT_EQ(r.right - r.left, 632) << DescribeWindow(wnd);
  EXPECT_EQ(r.bottom - r.top, 217) << DescribeWindow(wnd);
  // WS_CAPTION includes WS_BORDER.
  EXPECT_EQ(GetWindowLongW(wnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0)
      << DescribeWindow(wnd);
  EXPECT_NE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << DescribeWindow(wnd);
  EXPECT_NE(GetForegroundWindow(), wnd) << "the keyboard took the focus from the target";

  // Dragging the bare background moves the window by the finger's offset,
  // in whichever direction keeps it on the 1024 x 768 screen.
  const POINT offset{r.left > 196 ? -100 : 100, r.top > 275 ? -120 : 120};
  const POINT from = keyboard.ToScreen({20, 30});
  const POINT wanted{r.left + offset.x, r.top + offset.y};
  RECT now{};
  auto at = [&] { return "(" + std::to_string(now.left) + "," + std::to_string(now.top) + ")"; };
  EXPECT_TRUE(Drag(
      from, {from.x + offset.x, from.y + offset.y},
      [&] {
        now = keyboard.rect();
        return now.left == wanted.x && now.top == wanted.y;
      },
      "the window to follow the finger", 3000ms, at));
  ASSERT_TRUE(keyboard.WaitSettled());
  now = keyboard.rect();
  EXPECT_TRUE(now.left == wanted.x && now.top == wanted.y) << "after the finger lifted: " << at();

  PostMessageW(wnd, WM_CLOSE, 0, 0);
  ASSERT_TRUE(keyboard.process().WaitForExit(5000ms));
  EXPECT_EQ(keyboard.process().ExitCode(), 0u);
}

TEST(KeyboardWindow, SecondStartFromSameFolderLeavesTheFirstRunning) {
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());

  Process second = StartProcess(keyboard.exe(), L"", keyboard.folder().path());
  ASSERT_TRUE(second);
  HWND shown = nullptr;
  EXPECT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(second.pid(), true)) shown = w;
        return !second.Running();
      },
      5000ms, "the second instance to exit", [&] { return DescribeTopLevelWindows(); }));
  EXPECT_EQ(shown, nullptr) << "the second instance showed a window: " << DescribeWindow(shown);

  EXPECT_TRUE(keyboard.process().Running());
  EXPECT_TRUE(IsWindowVisible(keyboard.window())) << DescribeTopLevelWindows();
}

TEST(KeyboardWindow, OrvKeyJpgReplacesTheBackgroundUnlessItIsNoPicture) {
  Colours designed{};
  {
    Keyboard keyboard;
    ASSERT_TRUE(keyboard.Start());
    ASSERT_TRUE(SteadyBackground(keyboard, designed));
  }
  ASSERT_FALSE(ColourNear(designed[0], kTestJpegColour))
      << "the designed background looks like the test picture: " << Describe(designed);

  {
    Keyboard keyboard;
    ASSERT_TRUE(keyboard.folder().CopyIn(TestJpeg(), L"OrvKey.jpg"));
    ASSERT_TRUE(keyboard.Start());
    ASSERT_TRUE(keyboard.WaitSettled());
    Colours seen{};
    EXPECT_TRUE(WaitFor(
        [&] {
          seen = BareColours(keyboard);
          return ColourNear(seen[0], kTestJpegColour) && ColourNear(seen[1], kTestJpegColour);
        },
        5000ms, "the picture's " + DescribeColour(kTestJpegColour) + " behind the keys",
        [&] { return Describe(seen); }));
  }

  {
    Keyboard keyboard;
    std::vector<std::uint8_t> junk(4096);
    std::mt19937 random(1251);
    for (auto& b : junk) b = static_cast<std::uint8_t>(random());
    ASSERT_TRUE(keyboard.folder().Write(L"OrvKey.jpg", junk));
    ASSERT_TRUE(keyboard.Start());
    Colours seen{};
    ASSERT_TRUE(SteadyBackground(keyboard, seen));
    EXPECT_EQ(seen, designed) << "with a broken OrvKey.jpg: " << Describe(seen)
                              << ", designed: " << Describe(designed);
    EXPECT_TRUE(keyboard.process().Running());
  }
}

// The DLL names in the import and delay-import tables of orvkey.exe, mapped
// as an image so that addresses inside it are offsets from its base.
TEST(KeyboardWindow, ImportsOnlyWindowsOwnDlls) {
  HANDLE file = CreateFileW(KeyboardExe().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY | SEC_IMAGE, 0, 0, nullptr);
  CloseHandle(file);
  ASSERT_NE(mapping, nullptr) << "not a PE image";
  const auto* base =
      static_cast<const std::uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
  CloseHandle(mapping);
  ASSERT_NE(base, nullptr);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY* dirs = nt->OptionalHeader.DataDirectory;
  std::vector<std::string> dlls;
  if (DWORD rva = dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress) {
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + rva); d->Name; ++d)
      dlls.emplace_back(reinterpret_cast<const char*>(base + d->Name));
  }
  if (DWORD rva = dirs[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress) {
    for (auto* d = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(base + rva); d->DllNameRVA;
         ++d)
      dlls.emplace_back(reinterpret_cast<const char*>(base + d->DllNameRVA));
  }
  UnmapViewOfFile(base);
  ASSERT_FALSE(dlls.empty()) << "no import table found";

  static const char* const kWindowsDlls[] = {
      "kernel32", "user32",  "gdi32",    "advapi32", "shell32", "comdlg32",
      "comctl32", "ole32",   "oleaut32", "psapi",    "msvcrt",  "ws2_32",
      "shlwapi",  "uxtheme", "msimg32",  "version",  "winmm"};
  for (std::string dll : dlls) {
    std::transform(dll.begin(), dll.end(), dll.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (dll.size() > 4 && dll.ends_with(".dll")) dll.resize(dll.size() - 4);
    const bool allowed = dll.starts_with("api-ms-win-") ||
                         std::any_of(std::begin(kWindowsDlls), std::end(kWindowsDlls),
                                     [&](const char* known) { return dll == known; });
    EXPECT_TRUE(allowed) << "orvkey.exe needs " << dll << ".dll, which Windows does not ship";
  }
}
