// End-to-end tests of what must never be lost: the placement restored from
// the registry, settings files that cannot be read, "Clr History" surviving
// a kill, and pictures too big or broken to show.
#include "harness.h"

#include <objbase.h>

#include "platform/win32/toolkit.h"

namespace orv::e2e {
namespace {

constexpr const wchar_t* kPlacementKey = L"Software\\OrvKey\\frmKbd";
const std::string kHeader = "[OrvCar Keyboard Settings File]\r\n";

void ForgetPlacement() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    RegDeleteTreeW(root, L"Software\\OrvKey");
}

// The placement values under both roots, as a save leaves them.
void StorePlacement(const std::wstring& state, const std::wstring& left, const std::wstring& top) {
  ForgetPlacement();
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    for (const auto& [name, text] : {std::pair{L"WindowState", state},
                                     {L"Left", left},
                                     {L"Top", top},
                                     {L"Show", std::wstring(L"True")}}) {
      RegSetKeyValueW(root, kPlacementKey, name, REG_SZ, text.c_str(),
                      DWORD((text.size() + 1) * sizeof(wchar_t)));
    }
  }
}

Result Quit(Keyboard& keyboard) {
  PostMessageW(keyboard.window, WM_CLOSE, 0, 0);
  return keyboard.process.WaitForExit();
}

// Left at 300,120 it comes back there; maximised, maximised; off every
// monitor, wholly on the work area. An empty settings file (placement is
// restored only when one exists) starts with the default keys.
TEST(Robustness, PlacementComesBackMaximisedOrOnTheScreen) {
  for (const auto& [state, left] : {std::pair{L"0", L"4500"}, {L"0", L"99999"}, {L"2", L"4500"}}) {
    StorePlacement(state, left, L"1800");
    Keyboard keyboard;
    ASSERT_TRUE(WriteFile(keyboard.folder.File(L"OrvKey.ini"), ""));
    ASSERT_TRUE(keyboard.Start());
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(keyboard.window, MONITOR_DEFAULTTONEAREST), &info);
    RECT on{}, r = keyboard.rect();
    EXPECT_TRUE(IntersectRect(&on, &r, &info.rcWork) && EqualRect(&on, &r));
    if (*state == L'2') {
      EXPECT_TRUE(WaitFor([&] { return IsZoomed(keyboard.window) != 0; }, 3000ms, "maximised"));
    } else if (*left == L'4') {
      EXPECT_EQ(r.left, 300);
      EXPECT_EQ(r.top, 120);
      ASSERT_TRUE(Quit(keyboard));
      EXPECT_TRUE(ReadFile(keyboard.folder.File(L"OrvKey.ini"))
                      ->starts_with(kHeader + Cp1251(kDefaultLayouts[0]) + "\r\n"));
    }
  }
}

// A zeroed file is kept beside as OrvKey.ini.bad and replaced by a usable
// one. "Clr History" writes the file at once: killed straight after, the
// keyboard starts again with no history. A file the keyboard cannot open is
// left as it was.
TEST(Robustness, ZeroedFileIsKeptBesideClearedHistoryStaysAndLockedFilesAreLeftAlone) {
  ForgetPlacement();
  const std::string zeroed(4096, '\0');
  Keyboard keyboard;
  const std::wstring ini = keyboard.folder.File(L"OrvKey.ini");
  ASSERT_TRUE(WriteFile(ini, zeroed));
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(Quit(keyboard));
  EXPECT_EQ(ReadFile(ini + L".bad"), zeroed);
  const std::string text = *ReadFile(ini);
  EXPECT_TRUE(text.starts_with(kHeader + Cp1251(kDefaultLayouts[0]) + "\r\n"));

  ASSERT_TRUE(WriteFile(ini, text + Cp1251(L"Москва, Тверская 1\r\n")));
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(keyboard.ToggleOptions(true));
  const HWND clear = FindWindowExW(keyboard.window, nullptr, L"Button", L"Clr History");
  ASSERT_TRUE(clear);
  Touch(Centre(WindowRect(clear)));
  EXPECT_TRUE(WaitFor([&] { return ReadFile(ini) == text; }, 5000ms, "no history in the file"));
  keyboard.process = {};  // killed, no shutdown
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(Quit(keyboard));
  EXPECT_EQ(ReadFile(ini), text);

  ASSERT_TRUE(WriteFile(ini, kHeader));
  HANDLE lock = CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(Quit(keyboard));
  CloseHandle(lock);
  EXPECT_EQ(ReadFile(ini), kHeader);
  EXPECT_EQ(ReadFile(ini + L".bad"), zeroed);
}

// A picture too big to decode, or no picture at all behind its header, is
// refused before its pixels take any memory; the real one still loads.
TEST(Robustness, HugeOrBrokenPicturesAreRefused) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  win32::Win32Toolkit toolkit(GetModuleHandleW(nullptr));
  TempFolder folder;
  std::string jpeg = *ReadFile(TestJpeg());
  ASSERT_NE(toolkit.LoadPicture(TestJpeg()), Picture(0));
  const auto sof = jpeg.find("\xFF\xC0");
  ASSERT_NE(sof, std::string::npos);
  jpeg.replace(sof + 5, 4, "\x23\x28\x23\x28");  // 9000 x 9000
  ASSERT_TRUE(WriteFile(folder.File(L"huge.jpg"), jpeg));
  EXPECT_EQ(toolkit.LoadPicture(folder.File(L"huge.jpg")), Picture(0));
  ASSERT_TRUE(WriteFile(folder.File(L"broken.jpg"), "\xFF\xD8\xFF\xE0 not a picture"));
  EXPECT_EQ(toolkit.LoadPicture(folder.File(L"broken.jpg")), Picture(0));
}

// Run from a network share (Wine keeps UNC shares under the prefix's
// dosdevices\unc): the keyboard starts without a box to answer, says so
// with its tip, and still keeps its settings there.
TEST(Robustness, NetworkDataFolderStartsWithoutAQuestion) {
  const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
  if (prefix == nullptr) GTEST_SKIP() << "needs Wine's UNC folder";
  const std::filesystem::path share = ToWindowsPath(prefix) + L"\\dosdevices\\unc\\car\\share";
  std::filesystem::create_directories(share);
  ASSERT_TRUE(CopyFileW(BuiltPath(u8"" ORV_E2E_KEYBOARD_EXE).c_str(),
                        (share / L"orvkey.exe").c_str(), FALSE));
  Process keyboard = StartProcess(L"\\\\car\\share\\orvkey.exe", L"", L"C:\\");
  HWND wnd = nullptr, tip = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (wnd = FindTopLevelWindow(keyboard.pid, kKeyboardTitle)); },
                      15000ms, "the keyboard window", DescribeTopLevelWindows));
  RECT wa{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &wa, 0);
  EXPECT_TRUE(WaitFor(
      [&] {
        tip = FindTopLevelWindow(keyboard.pid, L"OrvTask Information Window");
        return tip && WindowRect(tip).right <= wa.right;
      },
      5000ms, "the tip on screen", DescribeTopLevelWindows));
  for (HWND w : TopLevelWindows(keyboard.pid)) EXPECT_NE(ClassName(w), L"#32770");
  PostMessageW(wnd, WM_CLOSE, 0, 0);
  ASSERT_TRUE(keyboard.WaitForExit());
  EXPECT_TRUE(ReadFile((share / L"OrvKey.ini").wstring()));
  std::error_code ignored;
  std::filesystem::remove_all(share, ignored);
}

}  // namespace
}  // namespace orv::e2e
