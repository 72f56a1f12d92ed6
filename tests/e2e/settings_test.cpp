// End-to-end tests of the settings file, the registry values and tray mode:
// orvkey.exe under Wine, touched like a finger, its files and registry read
// back. Started with --save-loop FOLDER, the program is instead the victim of
// the power-cut test: it saves two settings in turn until it is killed.
#include "harness.h"

#include <shellapi.h>

#include <algorithm>
#include <random>
#include <thread>

#include "app/frmKbd.h"
#include "platform/win32/system_ports.h"

using namespace orv::e2e;

namespace {

constexpr const wchar_t* kPlacementKey = L"Software\\OrvKey\\frmKbd";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// One byte a character, as code page 1251 has it.
std::vector<std::uint8_t> Cp1251(const std::wstring& text) {
  std::vector<std::uint8_t> out(text.size());
  WideCharToMultiByte(1251, 0, text.data(), static_cast<int>(text.size()),
                      reinterpret_cast<char*>(out.data()), static_cast<int>(out.size()), nullptr,
                      nullptr);
  return out;
}

std::wstring Lines(std::initializer_list<std::wstring> lines) {
  std::wstring text;
  for (const auto& l : lines) text += l + L"\r\n";
  return text;
}

// The file a first run writes, as this test knows it; tips and tray as given.
std::wstring DefaultFile(int tips = 1, int tray = 0) {
  // clang-format off
  return Lines({L"[OrvCar Keyboard Settings File]", std::wstring(kLayoutFirst),
                L"!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭ/ЯЧСМИТЬБЮ.,", std::wstring(kLayoutSecond),
                L"!@#$%^&*()_+QWERTYUIOP{}ASDFGHJKL:\"\\ZXCVBNM<>?/",
                L"[Font]", L"FontName=Tahoma", L"FontBold=1", L"FontItal=0", L"FontUnder=0",
                L"FontSize=15", L"FontColor=255", L"DownColor=65280",
                L"[Settings]", L"Tips=" + std::to_wstring(tips), L"Caps=0",
                L"HideToTray=" + std::to_wstring(tray), L"[History]"});
  // clang-format on
}

// A REG_SZ value, or "(missing)".
std::wstring RegText(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t text[1024];
  DWORD size = sizeof text;
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return L"(missing)";
  return text;
}

// Each test starts without a stored placement, as on a new machine.
void ForgetPlacement() {
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\OrvKey");
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\OrvKey");
}

// The child of `parent` of a class whose rectangle holds a point given in
// the parent's client coordinates; the options controls sit below the
// collapsed window, so they are found by place rather than by sight.
HWND ChildAt(HWND parent, POINT client, std::wstring_view cls) {
  POINT screen = client;
  ClientToScreen(parent, &screen);
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const RECT r = WindowRect(child);
    if (PtInRect(&r, screen) && _wcsicmp(ClassName(child).c_str(), std::wstring(cls).c_str()) == 0)
      return child;
  }
  return nullptr;
}

// Puts the keyboard near the top of the screen, so that the options panel
// that opens below it stays on the screen, and opens it.
::testing::AssertionResult OpenOptions(Keyboard& keyboard) {
  SetWindowPos(keyboard.window(), nullptr, keyboard.rect().left, 40, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (auto moved =
          WaitFor([&] { return keyboard.rect().top == 40; }, 3000ms, "the keyboard at the top");
      !moved)
    return moved;
  keyboard.TouchFunctionKey(FunctionKey::Menu);
  return WaitFor([&] { return keyboard.rect().bottom - keyboard.rect().top == 401; }, 3000ms,
                 "the options panel to open");
}

// The icons in Wine's own notification area (shown when no desktop panel
// offers one), in the order they were added.
std::vector<HWND> TrayIcons() {
  std::vector<HWND> icons;
  const HWND tray = FindWindowW(L"__winex11_standalone_tray", nullptr);
  for (HWND h = tray ? GetWindow(tray, GW_CHILD) : nullptr; h; h = GetWindow(h, GW_HWNDNEXT))
    if (IsWindowVisible(h)) icons.push_back(h);
  return icons;
}

// ---- The victim of the power-cut test ---------------------------------------

// Saves settings A and B once each and keeps copies of both, says it is
// ready, then saves them in turn for ever: whenever it is killed, OrvKey.ini
// must equal one of the copies.
int RunSaveLoop(const std::wstring& folder) {
  using namespace orv;
  win32::SystemPorts sys(GetModuleHandleW(nullptr));
  SettingsFile file(sys.ports.kernel32);
  file.SetPath(folder + L"\\OrvKey.ini");
  SettingsValues a, b;
  a.layouts = b.layouts = kDefaultLayouts;

  // B is long, so that a kill often lands while it is being written.
  a.history = {L"A: короткая история"};
  for (int i = 0; i < 3000; ++i) {
    b.history.push_back(L"B: длинная история, строка " + std::to_wstring(i));
  }
  auto save = [&](bool long_one) { file.Write(long_one ? b : a); };
  const std::wstring ini = folder + L"\\OrvKey.ini";
  save(false);
  CopyFileW(ini.c_str(), (folder + L"\\A.ref").c_str(), FALSE);
  save(true);
  CopyFileW(ini.c_str(), (folder + L"\\B.ref").c_str(), FALSE);
  CloseHandle(CreateFileW((folder + L"\\ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  for (bool long_one = false;; long_one = !long_one) save(long_one);
}

}  // namespace

TEST(SettingsFile, KilledSaveLeavesTheOldOrTheNewSettingsNeverAMix) {
  TempFolder folder;
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::mt19937 random(20240611);
  int saw_a = 0, saw_b = 0;
  for (int round = 0; round < 40; ++round) {
    DeleteFileW(folder.File(L"ready").c_str());
    Process saver = StartProcess(self, L"--save-loop \"" + folder.path() + L"\"", folder.path());
    ASSERT_TRUE(saver);
    ASSERT_TRUE(WaitFor([&] { return folder.Exists(L"ready") || !saver.Running(); }, 15000ms,
                        "the saver to have written both settings"));
    ASSERT_TRUE(saver.Running());
    const auto a = folder.Read(L"A.ref"), b = folder.Read(L"B.ref");
    ASSERT_TRUE(a && b);
    // The kill moment is this test's input: anywhere in the next 60 ms.
    std::this_thread::sleep_for(Millis(random() % 60));
    saver.Terminate();

    const auto now = folder.Read(L"OrvKey.ini");
    ASSERT_TRUE(now) << "no settings file after the kill in round " << round;
    saw_a += *now == *a;
    saw_b += *now == *b;
    ASSERT_TRUE(*now == *a || *now == *b)
        << "round " << round << ": a file of " << now->size() << " bytes, neither the " << a->size()
        << "-byte nor the " << b->size() << "-byte settings";
  }
  // Kills landed in both halves of the loop, not always at one point.
  EXPECT_GT(saw_a, 0);
  EXPECT_GT(saw_b, 0);
}

TEST(SettingsFile, FirstRunThenQuitWritesTheDefaultsAndThePlacement) {
  ForgetPlacement();
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(keyboard.WaitSettled());
  const RECT r = keyboard.rect();
  PostMessageW(keyboard.window(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(keyboard.process().WaitForExit(5000ms));

  const std::wstring expected = DefaultFile();
  const auto file = keyboard.folder().Read(L"OrvKey.ini");
  ASSERT_TRUE(file);
  EXPECT_EQ(*file, Cp1251(expected)) << Narrow(std::wstring(file->begin(), file->end()));
  EXPECT_FALSE(keyboard.folder().Exists(L"OrvKey.ini.tmp"));

  const std::pair<const wchar_t*, std::wstring> values[] = {{L"WindowState", L"0"},
                                                            {L"Left", std::to_wstring(r.left * 15)},
                                                            {L"Top", std::to_wstring(r.top * 15)},
                                                            {L"Width", L"9480"},
                                                            {L"Height", L"3255"},
                                                            {L"Show", L"True"}};
  for (const auto& [name, text] : values) {
    EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kPlacementKey, name), text) << Narrow(name);
  }
}

TEST(SettingsFile, HandWrittenFileIsShownAndTyped) {
  ForgetPlacement();
  const std::wstring layout = L"ёйцукенгшщзхъфывапролджэячсмитьбю.,1234567890-=";
  // clang-format off
  const std::wstring file = Lines({L"[OrvCar Keyboard Settings File]", layout,
      L"ЁЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ.,!\"№;%:?*()_+", std::wstring(kLayoutSecond),
      L"!@#$%^&*()_+QWERTYUIOP{}ASDFGHJKL:\"\\ZXCVBNM<>?/",
      L"[Font]", L"FontName=dejavu sans", L"FontBold=1", L"FontItal=0", L"FontUnder=0",
      L"FontSize=18", L"FontColor=65535", L"DownColor=16711680",
      L"[Settings]", L"Tips=0", L"Caps=1", L"HideToTray=0",
      L"[History]", L"Москва, Тверская 1", L"", L"Минск", L"[History]", L"Омск"});
  // clang-format on

  TargetApp target;
  ASSERT_TRUE(target.Start());
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.folder().Write(L"OrvKey.ini", Cp1251(file)));
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(keyboard.WaitSettled());
  const HWND wnd = keyboard.window();

  // The keys show the file's colour (yellow): look for it on the first key.
  const RECT key = KeyRect(0);
  bool yellow = false;
  ASSERT_TRUE(WaitFor(
      [&] {
        const ScreenShot shot = ScreenShot::Capture();
        const POINT origin = keyboard.ToScreen({0, 0});
        for (int y = key.top; y < key.bottom && !yellow; ++y)
          for (int x = key.left; x < key.right && !yellow; ++x)
            yellow = ColourNear(shot.At(origin.x + x, origin.y + y), RGB(255, 255, 0), 40);
        return yellow;
      },
      3000ms, "a yellow caption on the first key"));

  // The options: the font by its name in any case, Shift as Caps Lock.
  const HWND fonts = ChildAt(wnd, {150, 338}, L"ComboBox");
  const HWND caps = ChildAt(wnd, {180, 362}, L"Button");
  ASSERT_TRUE(fonts && caps);
  EXPECT_EQ(WindowText(fonts), L"DejaVu Sans");
  EXPECT_EQ(WindowText(caps), L"Shift works as Caps Lock");
  DWORD_PTR checked = 0;
  SendMessageTimeoutW(caps, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 1000, &checked);
  EXPECT_EQ(checked, static_cast<DWORD_PTR>(BST_CHECKED));

  // The keys type the file's first layout into the touched field. (The
  // history it lists is the model's, checked in the unit tests.)
  target.TouchField(kEdit1);
  ASSERT_TRUE(WaitForText(keyboard.EditLine(), L""));
  keyboard.Type(L"ёжик", layout);
  EXPECT_TRUE(WaitForText(target.Field(kEdit1), L"ёжик"));
}

TEST(SettingsFile, AutorunAnsweredOkThenCancel) {
  HKEY run = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &run, nullptr),
            ERROR_SUCCESS);
  RegDeleteValueW(run, L"OrvKey");
  RegCloseKey(run);

  Keyboard keyboard;
  ASSERT_TRUE(keyboard.Start());
  ASSERT_TRUE(keyboard.WaitSettled());
  ASSERT_TRUE(OpenOptions(keyboard));
  const HWND autorun = ChildAt(keyboard.window(), {584, 362}, L"Button");
  ASSERT_TRUE(autorun);
  ASSERT_EQ(WindowText(autorun), L"Autorun");

  const std::wstring quoted = L"\"" + keyboard.folder().path() + L"\\orvkey.exe\"";
  for (const auto& [button, expected] :
       {std::pair<int, std::wstring>{IDOK, quoted}, std::pair<int, std::wstring>{IDCANCEL, L""}}) {
    Touch(Centre(WindowRect(autorun)));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (box = FindTopLevelWindow(keyboard.process().pid(), L"OrvKey")) != nullptr; },
        10000ms, "the autostart question", [] { return DescribeTopLevelWindows(); }));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(keyboard.window()); }, 3000ms,
                        "the keyboard to hide while it asks"));
    Touch(Centre(WindowRect(GetDlgItem(box, button))));
    // The keyboard comes back once the tip that reports the answer has slid
    // in, which may wait for the slide out of the tip before it.
    std::wstring seen;
    EXPECT_TRUE(WaitFor(
        [&] {
          seen = RegText(HKEY_CURRENT_USER, kRunKey, L"OrvKey");
          return seen == expected && IsWindowVisible(keyboard.window());
        },
        10000ms, "Run value " + Narrow(expected) + " and the keyboard back",
        [&] { return Narrow(seen); }));
  }
}

TEST(SettingsFile, TrayModeHidesShowsOnTouchAndQuitsFromTheIcon) {
  ForgetPlacement();
  // Tips off: a tip's slide holds the capture tick for half a second, and a
  // touch in that time is not seen.
  const std::wstring text = DefaultFile(0, 1);
  TargetApp target;
  ASSERT_TRUE(target.Start(10, 80));
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.folder().Write(L"OrvKey.ini", Cp1251(text)));
  const std::vector<HWND> icons_before = TrayIcons();
  Process process = StartProcess(keyboard.exe(), L"", keyboard.folder().path());
  ASSERT_TRUE(process);

  // The icon appears and the keyboard stays hidden, waiting for a field.
  HWND icon = nullptr;
  ASSERT_TRUE(WaitFor(
      [&] {
        for (HWND h : TrayIcons())
          if (std::find(icons_before.begin(), icons_before.end(), h) == icons_before.end())
            icon = h;
        return icon != nullptr;
      },
      15000ms, "the keyboard's tray icon", [] { return DescribeTopLevelWindows(); }));
  // The keyboard's window, not shown in tray mode.
  HWND wnd = nullptr;
  for (HWND w : TopLevelWindows(process.pid(), false))
    if (WindowText(w) == kKeyboardTitle) wnd = w;
  ASSERT_TRUE(wnd);
  EXPECT_FALSE(IsWindowVisible(wnd));

  target.TouchField(kEdit2);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(wnd) != 0; }, 3000ms,
                      "the keyboard to show for the touched field"));
  const RECT t = WindowRect(target.window());
  Touch({t.right - 12, t.bottom - 12});  // the target's dialog, not a field
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(wnd); }, 3000ms,
                      "the keyboard to hide after a touch elsewhere"));

  const POINT on_icon = Centre(WindowRect(icon));
  const auto pressed = std::chrono::steady_clock::now();
  Touch(on_icon);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(wnd) != 0; }, 5000ms,
                      "the keyboard to show after a left press on the icon"));
  EXPECT_GE(std::chrono::steady_clock::now() - pressed, 900ms);

  const RECT k = WindowRect(wnd);
  const POINT close = FunctionKeyCentre(FunctionKey::Close);
  Touch({k.left + close.x, k.top + close.y});  // X hides in tray mode
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(wnd); }, 3000ms, "X to hide the keyboard"));
  EXPECT_TRUE(process.Running());

  Touch(on_icon, 60ms, true);  // the right button
  ASSERT_TRUE(process.WaitForExit(5000ms));
  const auto saved = keyboard.folder().Read(L"OrvKey.ini");
  ASSERT_TRUE(saved);
  EXPECT_EQ(*saved, Cp1251(text));
  EXPECT_EQ(RegText(HKEY_LOCAL_MACHINE, kPlacementKey, L"Show"), L"False");
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(icon) || !IsWindowVisible(icon); }, 5000ms,
                      "the icon to go with the program"));
}

int main(int argc, char** argv) {
  int wide_argc = 0;
  wchar_t** wide_argv = CommandLineToArgvW(GetCommandLineW(), &wide_argc);
  if (wide_argc == 3 && std::wstring_view(wide_argv[1]) == L"--save-loop")
    return RunSaveLoop(wide_argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
