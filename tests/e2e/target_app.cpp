// The application the end-to-end tests type into: a window of text fields that
// stands for the car PC's other programs. Tests find its fields by control id
// and flip its switches by posting messages to the top-level window.
//
//   e2e_target.exe [--pos X Y]
#include "target_ids.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <string>

namespace {

using namespace orv::e2e;

HWND g_main = nullptr;
int g_enterCount = 0;
WNDPROC g_editProc = nullptr;

// The VB6 text box class the keyboard must recognise; its behaviour is EDIT's.
LRESULT CALLBACK ThunderTextBoxProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(g_editProc, wnd, msg, wp, lp);
}

// Creates one child control with the program's font.
HWND AddChild(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h,
              int id) {
  const bool field = std::wcscmp(cls, L"Button") != 0 && std::wcscmp(cls, L"Static") != 0;
  HWND child = CreateWindowExW(
      field ? WS_EX_CLIENTEDGE : 0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, g_main,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
  return child;
}

// Shows the Enter count where another process can read it.
void ShowEnterCount() {
  SetDlgItemTextW(g_main, kEnterCount, (L"enter=" + std::to_wstring(g_enterCount)).c_str());
}

// Lays the fields out clear of where the keyboard appears (the screen's bottom).
void CreateControls() {
  const DWORD single = WS_TABSTOP | ES_AUTOHSCROLL;
  AddChild(L"Edit", L"", single, 10, 10, 260, 24, kEdit1);
  AddChild(L"Edit", L"", single, 10, 42, 260, 24, kEdit2);
  AddChild(L"Edit", L"", single, 10, 74, 260, 24, kEdit3);
  AddChild(kThunderClass, L"", single, 10, 106, 260, 24, kThunder);
  AddChild(L"Edit", L"", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
           280, 10, 260, 120, kMultiLine);
  AddChild(L"Edit", L"", single | ES_PASSWORD, 10, 138, 260, 24, kPassword);
  AddChild(L"Button", L"Button", WS_TABSTOP | BS_PUSHBUTTON, 280, 138, 120, 26, kButton);
  AddChild(L"Button", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 420, 138, 120, 26, kDefault);
  AddChild(L"Static", L"", SS_LEFT, 10, 172, 260, 20, kEnterCount);
  ShowEnterCount();
}

// True for the single-line fields whose Enter presses the default button.
bool CountsEnter(HWND focus) {
  if (!focus || GetParent(focus) != g_main) return false;
  const int id = GetDlgCtrlID(focus);
  return id == kEdit1 || id == kEdit2 || id == kEdit3 || id == kThunder;
}

// Counts Enter presses and answers the test driver's switches.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case DM_GETDEFID:
      // IsDialogMessage asks this to learn which button Enter presses.
      return MAKELRESULT(kDefault, DC_HASDEFID);
    case WM_COMMAND:
      if (LOWORD(wp) == kDefault && CountsEnter(GetFocus())) {
        ++g_enterCount;
        ShowEnterCount();
      }
      return 0;
    case kMsgHang: Sleep(static_cast<DWORD>(wp)); return 0;
    case kMsgDestroyField:
      if (HWND field = GetDlgItem(wnd, static_cast<int>(wp))) DestroyWindow(field);
      return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool pos = argv && argc == 4 && std::wcscmp(argv[1], L"--pos") == 0;
  const int x = pos ? _wtoi(argv[2]) : 10, y = pos ? _wtoi(argv[3]) : 10;
  LocalFree(argv);

  // "ThunderRT6TextBox" as a superclass of EDIT, the way VB6 forms have it.
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(nullptr, L"EDIT", &wc)) return 2;
  g_editProc = wc.lpfnWndProc;
  wc.lpfnWndProc = ThunderTextBoxProc;
  wc.hInstance = instance;
  wc.lpszClassName = kThunderClass;
  if (!RegisterClassExW(&wc)) return 2;

  wc = WNDCLASSEXW{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"OrvKeyTestTarget";
  if (!RegisterClassExW(&wc)) return 2;

  RECT frame{0, 0, 550, 200};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  g_main = CreateWindowExW(0, wc.lpszClassName, kTargetTitle, style, x, y, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!g_main) return 3;
  CreateControls();
  ShowWindow(g_main, show);
  UpdateWindow(g_main);
  SetFocus(GetDlgItem(g_main, kEdit1));

  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    // The dialog manager gives Enter its default-button meaning and Tab its order.
    if (IsDialogMessageW(g_main, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return static_cast<int>(m.wParam);
}
