// The application the end-to-end tests type into: a window of text fields that
// stands for the car PC's other programs. Tests find its fields by control id
// and flip its switches by posting messages to the top-level window.
//
//   e2e_target.exe [--pos X Y]
#include "target_ids.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace {

using namespace orv::e2e;

int g_enterCount = 0;

// Lays the fields out clear of where the keyboard appears (the screen's bottom).
void CreateControls(HWND main) {
  const DWORD single = WS_TABSTOP | ES_AUTOHSCROLL, multi = ES_MULTILINE | ES_AUTOVSCROLL;
  struct {
    const wchar_t *cls, *text;
    DWORD style;
    int x, y, w, h, id;
  } const children[] = {
      {L"Edit", L"", single, 10, 10, 260, 24, kEdit1},
      {L"Edit", L"", single, 10, 42, 260, 24, kEdit2},
      {L"Edit", L"", single, 10, 74, 260, 24, kEdit3},
      {L"ThunderRT6TextBox", L"", single, 10, 106, 260, 24, kThunder},
      {L"Edit", L"", WS_TABSTOP | WS_VSCROLL | multi | ES_WANTRETURN, 280, 10, 260, 120,
       kMultiLine},
      {L"Edit", L"", single | ES_PASSWORD, 10, 138, 260, 24, kPassword},
      {L"Button", L"Button", WS_TABSTOP | BS_PUSHBUTTON, 280, 138, 120, 26, kButton},
      {L"Button", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 420, 138, 120, 26, kDefault},
      {L"Static", L"enter=0", SS_LEFT, 10, 172, 260, 20, kEnterCount},
      {L"ThunderTextBox", L"", single, 280, 172, 125, 24, kOldThunder1},
      {L"ThunderTextBox", L"", single, 415, 172, 125, 24, kOldThunder2},
  };
  for (const auto& c : children) {
    HWND child = CreateWindowExW(
        c.style & WS_TABSTOP && c.id != kButton && c.id != kDefault ? WS_EX_CLIENTEDGE : 0, c.cls,
        c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h, main, HMENU(INT_PTR(c.id)),
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
}

// Counts Enter presses and answers the test driver's switches.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case DM_GETDEFID:  // IsDialogMessage asks this to learn which button Enter presses
      return MAKELRESULT(kDefault, DC_HASDEFID);
    case WM_COMMAND:
      if (LOWORD(wp) == kDefault)
        SetDlgItemTextW(wnd, kEnterCount, (L"enter=" + std::to_wstring(++g_enterCount)).c_str());
      return 0;
    case kMsgHang: Sleep(DWORD(wp)); return 0;
    case kMsgDestroyField: DestroyWindow(GetDlgItem(wnd, int(wp))); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const bool pos = argc == 4 && std::wstring(argv[1]) == L"--pos";
  const int x = pos ? _wtoi(argv[2]) : 10, y = pos ? _wtoi(argv[3]) : 10;

  // The VB text box classes, superclasses of EDIT as VB forms have them.
  WNDCLASSEXW wc{};
  for (const wchar_t* name : {L"ThunderRT6TextBox", L"ThunderTextBox"}) {
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, L"EDIT", &wc)) return 2;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc)) return 2;
  }
  wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = HBRUSH(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"OrvKeyTestTarget";
  if (!RegisterClassExW(&wc)) return 2;

  RECT frame{0, 0, 550, 200};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  HWND main =
      CreateWindowExW(0, wc.lpszClassName, kTargetTitle, style, x, y, frame.right - frame.left,
                      frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
  if (!main) return 3;
  CreateControls(main);
  ShowWindow(main, show);
  SetFocus(GetDlgItem(main, kEdit1));
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    // The dialog manager gives Enter its default-button meaning and Tab its order.
    if (IsDialogMessageW(main, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return int(m.wParam);
}
