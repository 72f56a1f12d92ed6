// OrvKey's entry: builds the ports and the keyboard window, runs start-up,
// then the message loop until the unload path destroys the keyboard window;
// everything built here is then taken down in order.
#include <windows.h>

#include <commctrl.h>

#include "app/frmKbd.h"
#include "platform/win32/kbd_window.h"
#include "platform/win32/strip_window.h"
#include "platform/win32/system_ports.h"
#include "platform/win32/tip_window.h"
#include "platform/win32/toolkit.h"
#include "utility/failure_log.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace orv;
  using namespace orv::win32;

  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  SystemPorts sys(instance);
  Ports& ports = sys.ports;
  Win32Toolkit& toolkit = sys.toolkit;
  KelpUltimate kelp(ports);

  FrmKbd kbd(ports, kelp);
  // Designed position: centred at the bottom of the work area.
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  kbd.Move(work.left + (work.right - work.left - kbd.Width()) / 2, work.bottom - kbd.Height() - 8,
           kbd.Width(), kbd.Height());

  KbdWindow window(kbd, toolkit);
  // The tip window exists before start-up touches it; it loads on that touch.
  FrmTip tip(ports, kelp);
  TipWindow tip_window(tip, toolkit);
  StripWindow strip_window(kbd, toolkit);
  toolkit.sync = [&window, &strip_window, &tip_window] {
    window.Sync();
    strip_window.Sync();
    tip_window.Sync();
  };
  toolkit.destroy_main_window = [&window] { window.Destroy(); };
  window.on_left_press = [&sys] { sys.user32.NoteLeftButtonPressed(); };
  // The strip follows the keyboard wherever it goes, dragged or restored.
  window.on_placed = [&strip_window] { strip_window.Sync(); };
  if (!window.Create()) return 1;
  // A strip that cannot be made leaves the keyboard as it always was.
  strip_window.Create(window.hwnd());
  if (tip_window.Create()) kbd.SetTipWindow(&tip);

  // A start-up that fails half-way still leaves a keyboard to work with.
  ContainFailure(L"Start-up", [&] {
    kbd.BeginEvent();
    kbd.Form_Load();
  });
  window.Sync();
  strip_window.Sync();
  tip_window.Sync();

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // A keyboard event may end by arming the tip's countdown.
    ContainFailure(L"Bringing the tip in line", [&] { tip_window.Sync(); });
  }
  return static_cast<int>(msg.wParam);
}
