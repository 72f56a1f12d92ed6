// The application the reach tests type into: rich edits of riched20 and
// msftedit, a Windows Forms-style superclass of Edit, and a field of its own
// class that takes only WM_CHAR, shows a caret while focused and answers
// WM_GETTEXT with what it got (Enter as a line break).
#include <windows.h>

#include <string>

#include "reach_ids.h"

namespace {

using namespace orv::e2e;

LRESULT CALLBACK CharFieldProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  static std::wstring got;
  switch (msg) {
    case WM_LBUTTONDOWN: SetFocus(wnd); return 0;
    case WM_SETFOCUS: CreateCaret(wnd, nullptr, 2, 16), SetCaretPos(4, 4), ShowCaret(wnd); return 0;
    case WM_KILLFOCUS: DestroyCaret(); return 0;
    case WM_CHAR:
      if (wp == VK_BACK && !got.empty()) got.pop_back();
      if (wp != VK_BACK) got += wp == VK_RETURN ? L'\n' : wchar_t(wp);
      return 0;
    case WM_GETTEXTLENGTH: return LRESULT(got.size());
    case WM_GETTEXT:
      if (wp) lstrcpynW(reinterpret_cast<wchar_t*>(lp), got.c_str(), int(wp));
      return wp ? LRESULT(std::min<size_t>(got.size(), wp - 1)) : 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  if (!LoadLibraryW(L"riched20.dll") || !LoadLibraryW(L"msftedit.dll")) return 2;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(nullptr, L"Edit", &wc)) return 2;
  wc.hInstance = instance;
  wc.lpszClassName = kWinFormsEditClass;
  if (!RegisterClassExW(&wc)) return 2;
  wc.lpfnWndProc = CharFieldProc;
  wc.lpszClassName = L"ReachCharField";
  if (!RegisterClassExW(&wc)) return 2;
  // The test ends the program: the window that holds the fields does nothing.
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = L"ReachMain";
  if (!RegisterClassExW(&wc)) return 2;
  HWND main = CreateWindowExW(0, L"ReachMain", kReachTitle, WS_OVERLAPPED | WS_CAPTION, 10, 10, 420,
                              200, nullptr, nullptr, instance, nullptr);
  const wchar_t* classes[] = {L"RichEdit20W", L"RICHEDIT50W", kWinFormsEditClass,
                              L"ReachCharField"};
  for (int i = 0; i < 4; ++i)
    CreateWindowExW(WS_EX_CLIENTEDGE, classes[i], L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10,
                    10 + 36 * i, 380, 28, main, HMENU(INT_PTR(kRich20 + i)), instance, nullptr);
  ShowWindow(main, show);
  MSG m;
  while (GetMessageW(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return 0;
}
