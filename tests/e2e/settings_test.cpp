// End-to-end tests of the settings file, the registry values and tray mode,
// and of what must never be lost: the placement, unreadable settings files,
// "Clr History" surviving a kill. (A picture too big to show is refused at
// start-up in windows_test.cpp.)
// orvkey.exe runs under Wine, touched like a finger, its files and registry
// read back. Started with --save-loop FOLDER, the program is instead the
// victim of the power-cut test: it saves two settings in turn until killed;
// with --save-stopped FOLDER it saves over a broken file and is killed just
// before the new file takes the old one's place.
#include "harness.h"

#include <shellapi.h>

#include <algorithm>
#include <random>
#include <thread>

#include "app/frmKbd.h"
#include "win32/system_ports.h"

namespace orv::e2e {
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The file a first run writes, as this test knows it; tips, tray and key
// colour as given. In text: the first layout, history lines after it.
std::wstring DefaultText(int tips = 1, int tray = 0, int colour = 255,
                         const std::wstring& layout = kDefaultLayouts[0]) {
  std::wstring text;
  for (const std::wstring& line : std::initializer_list<std::wstring>{
           L"[OrvCar Keyboard Settings File]", layout, kDefaultLayouts[1], kDefaultLayouts[2],
           kDefaultLayouts[3], L"[Font]", L"FontName=Tahoma", L"FontBold=1", L"FontItal=0",
           L"FontUnder=0", L"FontSize=15", L"FontColor=" + std::to_wstring(colour),
           L"DownColor=65280", L"[Settings]", L"Tips=" + std::to_wstring(tips), L"Caps=0",
           L"HideToTray=" + std::to_wstring(tray), L"[History]"})
    text += line + L"\r\n";
  return text;
}

// Each test starts without a stored placement, as on a new machine.
void ForgetPlacement() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    RegDeleteTreeW(root, L"Software\\OrvKey");
}

// The keyboard ends through its message loop, everything taken down in order.
Result Quit(Keyboard& keyboard) {
  PostMessageW(keyboard.window, WM_CLOSE, 0, 0);
  return keyboard.process.WaitForExit();
}

// Saves settings A and B once each and keeps copies of both, says it is
// ready, then saves them in turn for ever: whenever it is killed, OrvKey.ini
// must equal one of the copies.
int RunSaveLoop(const std::wstring& folder) {
  win32::SystemPorts sys(GetModuleHandleW(nullptr));
  SettingsFile file(sys.ports.kernel32);
  const std::wstring ini = folder + L"\\OrvKey.ini";
  file.SetPath(ini);
  SettingsValues values[2];
  values[0].layouts = values[1].layouts = kDefaultLayouts;
  // B is long, so that a kill often lands while it is being written.
  values[0].history = {L"A: короткая история"};
  for (int i = 0; i < 3000; ++i)
    values[1].history.push_back(L"B: длинная история, строка " + std::to_wstring(i));
  for (const wchar_t* ref : {L"\\A.ref", L"\\B.ref"}) {
    file.Write(values[ref[1] == L'B']);
    CopyFileW(ini.c_str(), (folder + ref).c_str(), FALSE);
  }
  CopyFileW(ini.c_str(), (folder + L"\\ready").c_str(), FALSE);
  for (int i = 0;; ++i) file.Write(values[i % 2]);
}

// This test program again, as one of the two savers below.
Process StartSelf(const std::wstring& args, const std::wstring& folder) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return StartProcess(self, args + L" \"" + folder + L"\"", folder);
}

// Saves through the real file system, but stops before the new file is
// moved over the old one, says so with a file and waits to be killed.
int RunSaveStopped(const std::wstring& folder) {
  struct Stopping : win32::SystemKernel32 {
    std::wstring said;
    bool MoveFileReplace(const std::wstring& from, const std::wstring& to) override {
      if (from.ends_with(L".tmp")) WriteFile(said, ""), Sleep(INFINITE);
      return SystemKernel32::MoveFileReplace(from, to);
    }
  } kernel32;
  kernel32.said = folder + L"\\stopped";
  SettingsFile file(kernel32);
  file.SetPath(folder + L"\\OrvKey.ini");
  file.Write(file.Read());
  return 1;
}

TEST(SettingsFile, KilledSaveLeavesTheOldOrTheNewSettingsNeverAMix) {
  TempFolder folder;
  std::mt19937 random(20240611);
  int saw_a = 0, saw_b = 0;
  for (int round = 0; round < 40; ++round) {
    DeleteFileW(folder.File(L"ready").c_str());
    Process saver = StartSelf(L"--save-loop", folder.path);
    ASSERT_TRUE(WaitFor(
        [&] {
          return GetFileAttributesW(folder.File(L"ready").c_str()) != INVALID_FILE_ATTRIBUTES ||
                 !saver.Running();
        },
        15000ms, "the saver to have written both settings"));
    ASSERT_TRUE(saver.Running());
    const auto a = ReadFile(folder.File(L"A.ref")), b = ReadFile(folder.File(L"B.ref"));
    // The kill moment is this test's input: anywhere in the next 60 ms.
    std::this_thread::sleep_for(Millis(random() % 60));
    saver = {};
    const auto now = ReadFile(folder.File(L"OrvKey.ini"));
    saw_a += now == a;
    saw_b += now == b;
    ASSERT_TRUE(now && (now == a || now == b)) << "round " << round << ": neither A nor B";
  }
  // Kills landed in both halves of the loop, not always at one point.
  EXPECT_GT(saw_a, 0);
  EXPECT_GT(saw_b, 0);
}

// A zeroed file is kept beside as OrvKey.ini.bad; a save killed just before
// its new file takes the place of the zeroes leaves them where they were.
// Autorun asks first, with the keyboard out of the way; OK writes the Run
// value, Cancel removes it; with no Run key to write to, nothing is stored
// and OrvKey.log says why. Quitting then writes the defaults in place of
// the zeroes, and the placement.
TEST(SettingsFile, ZeroedFileKeptBesideAutorunAsksAndQuitWritesDefaultsAndPlacement) {
  ForgetPlacement();
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"OrvKey");
  Keyboard keyboard;
  const std::wstring ini = keyboard.folder.File(L"OrvKey.ini");
  const std::string zeroed(4096, '\0');
  ASSERT_TRUE(WriteFile(ini, zeroed));
  {
    Process saver = StartSelf(L"--save-stopped", keyboard.folder.path);
    ASSERT_TRUE(WaitFor([&] { return ReadFile(keyboard.folder.File(L"stopped")).has_value(); },
                        15000ms, "the save to stop before its last step"));
  }  // killed
  EXPECT_EQ(ReadFile(ini), zeroed);
  EXPECT_EQ(ReadFile(ini + L".bad"), zeroed);
  ASSERT_TRUE(keyboard.Start());
  const RECT r = keyboard.rect();
  ASSERT_TRUE(keyboard.ToggleOptions(true));
  const HWND autorun = FindWindowExW(keyboard.window, nullptr, L"Button", L"Autorun");
  ASSERT_TRUE(autorun);
  const std::wstring quoted = L"\"" + keyboard.exe() + L"\"";
  const std::wstring log = keyboard.folder.File(L"OrvKey.log");
  for (const auto& [button, expected] :
       {std::pair{IDOK, quoted}, std::pair{IDCANCEL, std::wstring()},
        std::pair{IDOK, std::wstring(L"(missing)")}}) {
    if (expected == L"(missing)") {
      EXPECT_FALSE(ReadFile(log)) << "a clean run logs nothing";
      RegDeleteTreeW(HKEY_CURRENT_USER, kRunKey);
      RegDeleteKeyW(HKEY_CURRENT_USER, kRunKey);
    }
    Touch(Centre(WindowRect(autorun)));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (box = FindTopLevelWindow(keyboard.process.pid, L"OrvKey")) != nullptr; },
        10000ms, "the autostart question", DescribeTopLevelWindows));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(keyboard.window); }, 3000ms,
                        "the keyboard to hide while it asks"));
    Touch(Centre(WindowRect(GetDlgItem(box, button))));
    // The keyboard comes back once the tip that reports the answer has slid in.
    std::wstring seen;
    EXPECT_TRUE(WaitFor(
        [&] {
          seen = RegText(HKEY_CURRENT_USER, kRunKey, L"OrvKey");
          return seen == expected && IsWindowVisible(keyboard.window);
        },
        10000ms, "Run value " + Narrow(expected) + " and the keyboard back",
        [&] {
          return Narrow(seen) + (keyboard.process.Running() ? "" : ", the keyboard ended") +
                 ", log: " + ReadFile(log).value_or("none");
        }));
  }
  HKEY run = nullptr;
  RegCreateKeyW(HKEY_CURRENT_USER, kRunKey, &run), RegCloseKey(run);
  EXPECT_NE(ReadFile(log).value_or("").find("The autostart entry could not be written"),
            std::string::npos)
      << ReadFile(log).value_or("(no log)");
  ASSERT_TRUE(keyboard.ToggleOptions(false));
  ASSERT_TRUE(keyboard.WaitSettled());
  ASSERT_EQ(keyboard.rect().top, r.top);
  ASSERT_TRUE(Quit(keyboard));

  EXPECT_EQ(ReadFile(ini + L".bad"), zeroed);
  EXPECT_EQ(ReadFile(ini), Cp1251(DefaultText()));
  EXPECT_FALSE(ReadFile(ini + L".tmp"));
  std::wstring placement;
  for (auto name : {L"WindowState", L"Left", L"Top", L"Width", L"Height", L"Show"})
    placement += RegText(HKEY_LOCAL_MACHINE, kPlacementKey, name) + L" ";
  EXPECT_EQ(placement, L"0 " + std::to_wstring(r.left * 15) + L" " + std::to_wstring(r.top * 15) +
                           L" 9480 3255 True ");
}

// The icons in Wine's own notification area, in the order they were added.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  for (HWND h = tray ? GetWindow(tray, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
    if (IsWindowVisible(h)) icons.push_back(h);
  return icons;
}

TEST(SettingsFile, TrayModeHidesShowsOnTouchAndQuitsFromTheIcon) {
  ForgetPlacement();
  // Tips off: a tip's slide holds the capture tick for half a second, and a
  // touch in that time is not seen. Yellow keys, to see the file's colour.
  const std::string text = Cp1251(DefaultText(0, 1, 65535));
  TargetApp target;
  ASSERT_TRUE(target.Start(10, 80));
  Keyboard keyboard;
  ASSERT_TRUE(WriteFile(keyboard.folder.File(L"OrvKey.ini"), text));
  const std::vector<HWND> before = TrayIcons();
  Process& process = keyboard.process = StartProcess(keyboard.exe(), L"", keyboard.folder.path);

  // The icon appears and the keyboard stays hidden, waiting for a field.
  HWND icon = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND h : TrayIcons())
          if (std::find(before.begin(), before.end(), h) == before.end()) icon = h;
        return icon != nullptr;
      },
      15000ms, "the keyboard's tray icon", DescribeTopLevelWindows));
  const HWND wnd = keyboard.window = FindTopLevelWindow(process.pid, kKeyboardTitle, false);
  ASSERT_TRUE(wnd);
  EXPECT_FALSE(IsWindowVisible(wnd));
  auto visible = [&](bool shown, std::string_view what, HWND w = nullptr) {
    return WaitFor([&] { return (IsWindowVisible(w ? w : wnd) != 0) == shown; }, 5000ms, what);
  };
  // The word strip comes and goes with the keyboard. Started hidden, the
  // keyboard makes it at the end of start-up, after the tray icon.
  HWND strip = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] { return (strip = FindTopLevelWindow(process.pid, L"OrvKey Words", false)) != nullptr; },
      5000ms, "the word strip's window"));
  EXPECT_FALSE(IsWindowVisible(strip));
  target.TouchField(kEdit2);
  ASSERT_TRUE(visible(true, "the keyboard to show for the touched field"));
  EXPECT_TRUE(visible(true, "the strip", strip));
  EXPECT_EQ(WindowRect(strip).bottom, keyboard.rect().top);
  RECT key = KeyRect(0);
  OffsetRect(&key, keyboard.rect().left, keyboard.rect().top);
  EXPECT_TRUE(WaitFor([&] { return ScreenShot().Count(key, RGB(255, 255, 0)) > 0; }, 3000ms,
                      "a yellow caption on the first key"));
  const RECT t = WindowRect(target.window);
  Touch({t.right - 12, t.bottom - 12});  // the target's dialog, not a field
  ASSERT_TRUE(visible(false, "the keyboard to hide after a touch elsewhere"));
  EXPECT_TRUE(visible(false, "no strip", strip));

  const POINT on_icon = Centre(WindowRect(icon));
  Touch(on_icon);
  ASSERT_TRUE(visible(true, "the keyboard to show after a left press on the icon"));
  keyboard.TouchFunctionKey(kKeyClose);  // X hides in tray mode
  ASSERT_TRUE(visible(false, "X to hide the keyboard"));
  EXPECT_TRUE(process.Running());

  Touch(on_icon, true);
  ASSERT_TRUE(process.WaitForExit());
  EXPECT_EQ(ReadFile(keyboard.folder.File(L"OrvKey.ini")), text);
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kPlacementKey, L"Show"), L"False");
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(icon) || !IsWindowVisible(icon); }, 5000ms,
                      "the icon to go with the program"));
}

// Left at 300,120 it comes back there; maximised, maximised; minimised, at
// 300,120 and not minimised; off every monitor, or only partly on one (a
// 17-pixel sliver at the top left), wholly on the work area. Minimised at
// the end, it saves itself as it stood before. The placement is restored
// only when a settings file exists, an empty one will do.
TEST(Robustness, PlacementComesBackNormalMaximisedAndWhollyOnTheScreen) {
  for (const auto& [state, left, top] :
       {std::tuple{L"0", L"4500", L"1800"}, {L"0", L"99999", L"1800"}, {L"2", L"4500", L"1800"},
        {L"1", L"4500", L"1800"}, {L"0", L"-3000", L"-3000"}}) {
    ForgetPlacement();  // the user's copy wins over the machine's
    for (const auto& [name, text] :
         {std::pair{L"WindowState", state}, {L"Left", left}, {L"Top", top}})
      RegSetKeyValueW(HKEY_CURRENT_USER, kPlacementKey, name, REG_SZ, text,
                      DWORD((wcslen(text) + 1) * sizeof(wchar_t)));
    Keyboard keyboard;
    ASSERT_TRUE(WriteFile(keyboard.folder.File(L"OrvKey.ini"), ""));
    ASSERT_TRUE(keyboard.Start());
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(keyboard.window, MONITOR_DEFAULTTONEAREST), &info);
    RECT on{}, r = keyboard.rect();
    EXPECT_TRUE(IntersectRect(&on, &r, &info.rcWork) && EqualRect(&on, &r)) << Narrow(left);
    EXPECT_FALSE(IsIconic(keyboard.window));
    if (*state == L'2') {
      EXPECT_TRUE(WaitFor([&] { return IsZoomed(keyboard.window) != 0; }, 3000ms, "maximised"));
    } else if (*left == L'4') {
      EXPECT_EQ(std::pair(r.left, r.top), std::pair(300L, 120L));
    }
    // The word strip stands on the restored keyboard; a maximised one has none.
    const HWND strip = FindTopLevelWindow(keyboard.process.pid, L"OrvKey Words", false);
    if (*state == L'2') {
      EXPECT_FALSE(IsWindowVisible(strip));
    } else {
      EXPECT_TRUE(WaitFor(
          // Above the keys, or below them where the screen leaves no room above.
          [&] {
            const RECT w = WindowRect(strip);
            return w.left == r.left && (w.bottom == r.top || w.top == r.bottom);
          },
          3000ms, "the strip on the restored keyboard", [&] { return DescribeWindow(strip); }));
    }
    if (*state != L'1') continue;
    ShowWindow(keyboard.window, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(keyboard.window) != 0; }, 3000ms, "minimised"));
    ASSERT_TRUE(Quit(keyboard));
    std::wstring placement;
    for (auto name : {L"WindowState", L"Left", L"Top"})
      placement += RegText(HKEY_CURRENT_USER, kPlacementKey, name) + L" ";
    EXPECT_EQ(placement, L"0 4500 1800 ");
  }
}

// Closed the moment it shows, while its 100,000 remembered texts may still
// be being read, the keyboard writes every one of them back. "Clr History"
// writes the file at once: killed straight after, the keyboard starts again
// with no history. A file the keyboard cannot open is left as it was, not
// kept beside.
TEST(Robustness, HistoryKeptWhenClosedAtOnceClearedAfterAKillAndLockedFilesLeftAlone) {
  ForgetPlacement();
  Keyboard keyboard;
  const std::wstring ini = keyboard.folder.File(L"OrvKey.ini");
  const std::string text = Cp1251(DefaultText());
  std::string long_history = text;
  for (int i = 0; i < 100000; ++i) long_history += Cp1251(L"Улица " + std::to_wstring(i) + L"\r\n");
  ASSERT_TRUE(WriteFile(ini, long_history));
  ASSERT_TRUE(keyboard.Start(false));
  ASSERT_TRUE(Quit(keyboard));
  EXPECT_EQ(ReadFile(ini), long_history);

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

  HANDLE lock = CreateFileW(ini.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(Quit(keyboard));
  CloseHandle(lock);
  EXPECT_EQ(ReadFile(ini), text);
  EXPECT_FALSE(ReadFile(ini + L".bad"));
}

// With UTF-8 as the system's ANSI code page (Windows 10's option; under
// Wine, a Unicode-only locale, which the test command gives this suite):
// the settings file is written in it, without a byte-order mark, and a
// file in it is read and written back byte for byte; the placement too.
TEST(Utf8CodePage, SettingsAndPlacementRoundTrip) {
  ASSERT_EQ(GetACP(), 65001u) << "run this suite with a UTF-8 ANSI code page";
  ForgetPlacement();
  Keyboard keyboard;
  const std::wstring layout = L"ёйцукенгшщзхъфывапролджэячсмитьбю.,№234567890-=";
  const std::string utf8 = Narrow(DefaultText(1, 0, 255, layout) + L"Тверская, 1 — «Дом»\r\n");
  ASSERT_TRUE(WriteFile(keyboard.folder.File(L"OrvKey.ini"), utf8));
  ASSERT_TRUE(keyboard.Start());
  const RECT placed = keyboard.rect();
  ASSERT_TRUE(Quit(keyboard));
  EXPECT_EQ(ReadFile(keyboard.folder.File(L"OrvKey.ini")), utf8);

  ASSERT_TRUE(keyboard.Start());
  EXPECT_EQ(keyboard.rect().left, placed.left);
  EXPECT_EQ(keyboard.rect().top, placed.top);
  ASSERT_TRUE(Quit(keyboard));
  EXPECT_EQ(ReadFile(keyboard.folder.File(L"OrvKey.ini")), utf8);
}

}  // namespace
}  // namespace orv::e2e

int main(int argc, char** argv) {
  int wide_argc = 0;
  wchar_t** wide_argv = CommandLineToArgvW(GetCommandLineW(), &wide_argc);
  if (wide_argc == 3 && std::wstring_view(wide_argv[1]) == L"--save-loop")
    return orv::e2e::RunSaveLoop(wide_argv[2]);
  if (wide_argc == 3 && std::wstring_view(wide_argv[1]) == L"--save-stopped")
    return orv::e2e::RunSaveStopped(wide_argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
