// OrvKey's entry: builds the ports and the keyboard window, runs start-up,
// then the message loop until the unload path destroys the keyboard window;
// everything built here is then taken down in order.
#include <windows.h>

#include <utility>

#include "app/frmKbd.h"
#include "win32/kbd_window.h"
#include "win32/strip_window.h"
#include "win32/system_ports.h"
#include "win32/thread_stack.h"
#include "win32/tip_window.h"
#include "win32/toolkit.h"
#include "utility/failure_log.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  using namespace orv;
  using namespace orv::win32;
  GiveBackUnusedStack();

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
  FrmTip tip(ports, kelp);
  TipWindow tip_window(tip, toolkit);
  StripWindow strip_window(kbd, toolkit);
  // The tip window is made once the keys have been painted (the window on
  // screen sooner), before any touch is taken: one made while a touch was
  // being taken lost that touch. A keyboard that starts hidden makes it
  // when start-up first needs it.
  FrmTip* made_tip = nullptr;
  bool tip_tried = false;
  auto make_tip = [&]() -> FrmTip* {
    if (!std::exchange(tip_tried, true) && tip_window.Create(window.hwnd())) made_tip = &tip;
    return made_tip;
  };
  kbd.SetTipWindowMaker(make_tip);
  // The strip, empty, is made once the keys are painted, as the tip is: its
  // five windows cost a tenth of the start, and it has words to show only
  // after a touch. One that cannot be made leaves the keyboard as it always
  // was.
  window.after_start_up = [&] {
    if (strip_window.Create(window.hwnd())) strip_window.Sync();
    kbd.SetTipWindow(make_tip());
  };
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
  // The handle, not the window: a load still running at the end finishes
  // after the window object is gone.
  toolkit.worker_finished = [keyboard = window.hwnd()] { PostWorkerFinished(keyboard); };

  // A start-up that fails half-way still leaves a keyboard to work with.
  ContainFailure(L"Start-up", [&] {
    kbd.BeginEvent();
    kbd.Form_Load();
  });
  window.FinishStartup();
  window.Sync();
  strip_window.Sync();
  tip_window.Sync();

  // The loop ends with the program, not only at WM_QUIT: a modal loop the
  // end came in (Wine's loop that drags a window) takes the quit message for
  // its own and does not post it again.
  MSG msg{};
  while (!toolkit.Ended() && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    // A keyboard event may end by arming the tip's countdown.
    ContainFailure(L"Bringing the tip in line", [&] { tip_window.Sync(); });
  }
  return toolkit.Ended() ? 0 : static_cast<int>(msg.wParam);
}
