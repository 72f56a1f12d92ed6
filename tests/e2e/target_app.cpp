// The application the end-to-end tests type into: a window of text fields that
// stands for the car PC's other programs. Tests find its fields by control id
// and flip its switches by posting messages to the top-level window.
//
//   e2e_target.exe [--pos X Y]
// Its right-hand column holds fields beyond the plain edit control: rich
// edits of riched20 and msftedit, a Windows Forms-style superclass of Edit,
// and a field of its own class that takes only WM_CHAR, shows a caret while
// focused and answers WM_GETTEXT with what it got (Enter as a line break).
// Below them: a formatted document in a multi-line rich edit, a field framed
// by a group box and one that a label reaches over, as real dialogs have
// them; and on request a window of its own that it brings over the keyboard.
#include "target_ids.h"

#include <windows.h>

#include <richedit.h>
#include <shellapi.h>

#include <string>
#include <string_view>
#include <tuple>

namespace {

using namespace orv::e2e;

int g_enterCount = 0;

// A busy field: its program comes round to WM_GETTEXT only after a while.
struct SlowText {
  HWND field = nullptr;
  WNDPROC proc = nullptr;
  bool on = false;
  int given = 0;
} g_slow;

LRESULT CALLBACK SlowTextProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_GETTEXT && g_slow.on) Sleep(kSlowTextMs), ++g_slow.given;
  return CallWindowProcW(g_slow.proc, wnd, msg, wp, lp);
}

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
      {L"RichEdit20W", L"", ES_AUTOHSCROLL, 550, 10, 380, 28, kRich20},
      {L"RICHEDIT50W", L"", ES_AUTOHSCROLL, 550, 46, 380, 28, kRich50},
      {kWinFormsEditClass, L"", ES_AUTOHSCROLL, 550, 82, 380, 28, kWinForms},
      {L"ReachCharField", L"", 0, 550, 118, 380, 28, kCharField},
      {L"RICHEDIT50W", L"", WS_VSCROLL | multi | ES_WANTRETURN, 550, 154, 380, 90, kRichDoc},
      // Created first, so above their fields, as a dialog template has them.
      {L"Button", L"Group", BS_GROUPBOX, 10, 200, 260, 62, kGroupBox},
      {L"Edit", L"", single, 22, 224, 236, 24, kGrouped},
      {L"Static", L"Label over the field", SS_LEFT, 280, 224, 200, 24, kLabel},
      {L"Edit", L"", single, 280, 224, 260, 24, kLabelled},
      {L"Static", L"", SS_LEFT, 550, 248, 380, 20, kFormatReport},
  };
  for (const auto& c : children) {
    HWND child =
        CreateWindowExW(wcscmp(c.cls, L"Button") && wcscmp(c.cls, L"Static") ? WS_EX_CLIENTEDGE : 0,
                        c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.w, c.h, main,
                        HMENU(INT_PTR(c.id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  }
  SendDlgItemMessageW(main, kPassword, EM_SETPASSWORDCHAR, kPasswordMask, 0);
  HWND doc = GetDlgItem(main, kRichDoc);
  SetWindowTextW(doc, kRichDocText);
  for (auto [from, to, effect] : {std::tuple{kBoldStart, kBoldEnd, CFE_BOLD},
                                  std::tuple{kUnderStart, kUnderEnd, CFE_UNDERLINE}}) {
    CHARFORMAT2W f{};
    f.cbSize = sizeof f;
    f.dwMask = effect == CFE_BOLD ? CFM_BOLD : CFM_UNDERLINE;
    f.dwEffects = effect;
    SendMessageW(doc, EM_SETSEL, from, to);
    SendMessageW(doc, EM_SETCHARFORMAT, SCF_SELECTION, LPARAM(&f));
  }
  SendMessageW(doc, EM_SETSEL, 0, 0);
}

// Each character's effects, read one at a time with the document's
// selection put back afterwards: "b" bold, "u" underlined, "x" both, "."
// neither; plain characters at the end are left out.
std::wstring DescribeFormat(HWND doc) {
  CHARRANGE kept{};
  SendMessageW(doc, EM_EXGETSEL, 0, LPARAM(&kept));
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const int n = int(SendMessageW(doc, EM_GETTEXTLENGTHEX, WPARAM(&length), 0));
  std::wstring out;
  for (int i = 0; i < n; ++i) {
    CHARFORMAT2W f{};
    f.cbSize = sizeof f;
    SendMessageW(doc, EM_SETSEL, i, i + 1);
    SendMessageW(doc, EM_GETCHARFORMAT, SCF_SELECTION, LPARAM(&f));
    out += L".bux"[(f.dwEffects & CFE_BOLD ? 1 : 0) + (f.dwEffects & CFE_UNDERLINE ? 2 : 0)];
  }
  SendMessageW(doc, EM_EXSETSEL, 0, LPARAM(&kept));
  return out.erase(out.find_last_not_of(L'.') + 1);
}

// A window of this program over the given place, brought to the front as a
// program's new window is.
void Cover(int x, int y) {
  static HWND cover = nullptr;
  if (!cover) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;  // which paints it in its class's colour
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = CreateSolidBrush(kCoverColour);
    wc.lpszClassName = L"OrvKeyTestCover";
    RegisterClassW(&wc);
    cover = CreateWindowExW(0, wc.lpszClassName, L"Cover", WS_POPUP, x, y, 300, 150, nullptr,
                            nullptr, wc.hInstance, nullptr);
  }
  if (x == 0 && y == 0) return void(ShowWindow(cover, SW_HIDE));
  SetWindowPos(cover, HWND_TOP, x, y, 300, 150, SWP_SHOWWINDOW);
  SetForegroundWindow(cover);
}

LRESULT CALLBACK CharFieldProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  static std::wstring got;
  switch (msg) {
    case WM_LBUTTONDOWN: SetFocus(wnd); return 0;
    case WM_SETFOCUS: CreateCaret(wnd, nullptr, 2, 16), SetCaretPos(4, 4), ShowCaret(wnd); return 0;
    case WM_KILLFOCUS: DestroyCaret(); return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTCHARS;  // Enter and Tab too
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

// A change of one character of a field by the application itself, the
// length kept, done each of the ways an application may.
void ChangeField(HWND field, FieldChange how, int at) {
  const int length = GetWindowTextLengthW(field);
  if (at < 0 || at >= length) return;
  std::wstring text(size_t(length) + 1, L'\0');
  GetWindowTextW(field, text.data(), length + 1);
  text.resize(size_t(length));
  text[size_t(at)] = text[size_t(at)] == L'ё' ? L'ъ' : L'ё';
  DWORD start = 0, end = 0;
  SendMessageW(field, EM_GETSEL, WPARAM(&start), LPARAM(&end));
  if (how == FieldChange::kWholeText || how == FieldChange::kWholeTextKeepCaret) {
    SetWindowTextW(field, text.c_str());
  } else {
    SendMessageW(field, EM_SETSEL, at, at + 1);
    const wchar_t one[] = {text[size_t(at)], L'\0'};
    SendMessageW(field, EM_REPLACESEL, TRUE, LPARAM(one));
  }
  if (how != FieldChange::kWholeText) SendMessageW(field, EM_SETSEL, start, end);
  if (how == FieldChange::kInPlaceQuietly) SendMessageW(field, EM_SETMODIFY, FALSE, 0);
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
    case kMsgCover: Cover(int(wp), int(lp)); return 0;
    case kMsgDescribeFormat:
      SetDlgItemTextW(wnd, kFormatReport, DescribeFormat(GetDlgItem(wnd, kRichDoc)).c_str());
      return 0;
    case kMsgChangeField:
      ChangeField(GetDlgItem(wnd, LOWORD(wp)), FieldChange(HIWORD(wp)), int(lp));
      return 0;
    case kMsgSlowText:
      if (lp == 2) return g_slow.given;
      if (!g_slow.field) {
        g_slow.field = GetDlgItem(wnd, int(wp));
        g_slow.proc = WNDPROC(SetWindowLongPtrW(g_slow.field, GWLP_WNDPROC, LONG_PTR(SlowTextProc)));
      }
      g_slow.on = lp != 0;
      return 0;
    case kMsgCatchUp:
      // Looking for input takes in what the window system holds.
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
      return 1;
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
  if (!LoadLibraryW(L"riched20.dll") || !LoadLibraryW(L"msftedit.dll")) return 2;

  // The VB text box classes and a Windows Forms one, superclasses of EDIT as
  // their programs have them, and the field that takes only characters.
  WNDCLASSEXW wc{};
  for (const wchar_t* name :
       {L"ThunderRT6TextBox", L"ThunderTextBox", kWinFormsEditClass, L"ReachCharField"}) {
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, L"EDIT", &wc)) return 2;
    wc.hInstance = instance;
    wc.lpszClassName = name;
    if (std::wstring_view(name) == L"ReachCharField") wc.lpfnWndProc = CharFieldProc;
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

  RECT frame{0, 0, 940, 272};
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
    // The dialog manager gives Enter its default-button meaning and Tab its
    // order; the character field takes every key itself.
    if (IsDialogMessageW(main, &m)) continue;
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
  return int(m.wParam);
}
