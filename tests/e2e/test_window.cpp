// End-to-end tests of the keyboard window itself: its shape, single instance,
// background picture, dragging, closing, and what the exe links against.
#include "harness.h"

#include <algorithm>
#include <cstring>
#include <random>

using namespace orv::e2e;

namespace {

// Places on the keyboard with no key and no control: only background shows there.
constexpr POINT kBareSpots[] = {{20, 20}, {300, 205}};

struct Colours {
  COLORREF at[2];
  bool operator==(const Colours& o) const { return std::equal(at, at + 2, o.at); }
};

// For failure messages.
std::string Describe(const Colours& c) {
  return DescribeColour(c.at[0]) + " and " + DescribeColour(c.at[1]);
}

// One capture for both spots, so they come from the same frame.
Colours BareColours(const Keyboard& keyboard) {
  const ScreenShot shot = ScreenShot::Capture();
  Colours c{};
  for (int i = 0; i < 2; ++i) {
    const POINT p = keyboard.ToScreen(kBareSpots[i]);
    c.at[i] = shot.At(p.x, p.y);
  }
  return c;
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
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(r.right - r.left, kKeyboardWidth) << DescribeWindow(wnd);
  EXPECT_EQ(r.bottom - r.top, kKeyboardHeight) << DescribeWindow(wnd);
  EXPECT_EQ(client.right, kKeyboardWidth);
  EXPECT_EQ(client.bottom, kKeyboardHeight);
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, 0) << DescribeWindow(wnd);  // WS_CAPTION includes WS_BORDER
  EXPECT_EQ(style & WS_THICKFRAME, 0) << DescribeWindow(wnd);
  EXPECT_EQ(style & WS_BORDER, 0) << DescribeWindow(wnd);
  EXPECT_NE(GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0) << DescribeWindow(wnd);
  EXPECT_EQ(GetParent(wnd), nullptr);
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

  Process second = keyboard.StartAnother();
  ASSERT_TRUE(second);
  std::vector<HWND> shown;
  EXPECT_TRUE(WaitFor(
      [&] {
        for (HWND w : TopLevelWindows(second.pid(), true))
          if (std::find(shown.begin(), shown.end(), w) == shown.end()) shown.push_back(w);
        return !second.Running();
      },
      5000ms, "the second instance to exit", [&] { return DescribeTopLevelWindows(); }));
  EXPECT_TRUE(shown.empty()) << "the second instance showed a window: "
                             << DescribeWindow(shown.front());

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
  ASSERT_FALSE(ColourNear(designed.at[0], kTestJpegColour))
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
          return ColourNear(seen.at[0], kTestJpegColour) && ColourNear(seen.at[1], kTestJpegColour);
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

namespace {

// The DLL names in the import and delay-import tables of a PE image.
std::vector<std::string> ImportedDlls(const std::vector<std::uint8_t>& image, std::string& error) {
  auto fits = [&](size_t offset, size_t size) {
    return offset <= image.size() && size <= image.size() - offset;
  };
  auto read = [&](size_t offset, auto& out) {
    if (!fits(offset, sizeof out)) return false;
    std::memcpy(&out, image.data() + offset, sizeof out);
    return true;
  };

  IMAGE_DOS_HEADER dos{};
  DWORD signature = 0;
  IMAGE_FILE_HEADER file{};
  WORD magic = 0;
  const size_t nt = read(0, dos) && dos.e_magic == IMAGE_DOS_SIGNATURE ? dos.e_lfanew : 0;
  if (!nt || !read(nt, signature) || signature != IMAGE_NT_SIGNATURE || !read(nt + 4, file) ||
      !read(nt + 4 + sizeof file, magic)) {
    error = "not a PE image";
    return {};
  }
  const size_t optional = nt + 4 + sizeof file;
  size_t directories = 0;
  if (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
    directories = optional + offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory);
  else if (magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC)
    directories = optional + offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
  else {
    error = "unknown optional header";
    return {};
  }
  const size_t sections = optional + file.SizeOfOptionalHeader;

  auto toOffset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < file.NumberOfSections; ++i) {
      IMAGE_SECTION_HEADER s{};
      if (!read(sections + i * sizeof s, s)) return 0;
      const DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return 0;
  };
  auto name = [&](DWORD rva) {
    std::string text;
    for (size_t at = toOffset(rva); at && at < image.size() && image[at]; ++at)
      text += static_cast<char>(image[at]);
    return text;
  };

  std::vector<std::string> dlls;
  IMAGE_DATA_DIRECTORY imports{}, delayed{};
  read(directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof imports, imports);
  read(directories + IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT * sizeof delayed, delayed);
  if (size_t at = imports.VirtualAddress ? toOffset(imports.VirtualAddress) : 0) {
    for (IMAGE_IMPORT_DESCRIPTOR d{}; read(at, d) && d.Name; at += sizeof d)
      dlls.push_back(name(d.Name));
  }
  if (size_t at = delayed.VirtualAddress ? toOffset(delayed.VirtualAddress) : 0) {
    struct DelayDescriptor {
      DWORD attributes, dllName, rest[6];
    };
    for (DelayDescriptor d{}; read(at, d) && d.dllName; at += sizeof d)
      dlls.push_back(name(d.dllName));
  }
  return dlls;
}

}  // namespace

TEST(KeyboardWindow, ImportsOnlyWindowsOwnDlls) {
  TempFolder folder;
  ASSERT_TRUE(folder.CopyIn(KeyboardExe(), L"orvkey.exe"));
  const auto image = folder.Read(L"orvkey.exe");
  ASSERT_TRUE(image);
  std::string error;
  const std::vector<std::string> dlls = ImportedDlls(*image, error);
  ASSERT_TRUE(error.empty()) << error;
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
