// A console program for the end-to-end tests: it reads key events as a
// terminal program does and shows in its console's title the characters of
// the keys that went down, each followed by "+" when it came as a virtual
// key of its own and "?" when as a bare Unicode character (VK_PACKET).
#include <windows.h>

#include <string>

int wmain() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  SetConsoleMode(in, 0);
  std::wstring got = L"keys:";
  SetConsoleTitleW(got.c_str());
  for (;;) {
    INPUT_RECORD r[16];
    DWORD n = 0;
    if (!ReadConsoleInputW(in, r, 16, &n)) return 1;
    for (DWORD i = 0; i < n; ++i) {
      const KEY_EVENT_RECORD& k = r[i].Event.KeyEvent;
      if (r[i].EventType != KEY_EVENT || !k.bKeyDown || k.uChar.UnicodeChar == 0) continue;
      got += k.uChar.UnicodeChar;
      got += k.wVirtualKeyCode == VK_PACKET || k.wVirtualKeyCode == 0 ? L'?' : L'+';
    }
    SetConsoleTitleW(got.c_str());
  }
}
