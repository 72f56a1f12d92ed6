// The real keyboard window: paints the key labels over the background,
// hosts the real controls, and turns window messages into model events.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <vector>

#include "app/frmKbd.h"
#include "app/hook_watch.h"
#include "win32/press_hook.h"
#include "win32/press_input.h"
#include "win32/toolkit.h"
#include "win32/unique_handle.h"
#include "win32/window_base.h"

namespace orv::win32 {

class KbdWindow : public WindowBase<KbdWindow> {
 public:
  KbdWindow(FrmKbd& model, Win32Toolkit& toolkit);

  // Makes the window, hidden, and attaches its handle to the model; the
  // edit line, the hooks and the options panel's controls follow its first
  // paint (FinishStartup).
  bool Create();
  // Sets the hooks and runs `after_start_up`, once: called after the first
  // paint, or by the owner for a keyboard that starts hidden.
  void FinishStartup();
  std::function<void()> after_start_up;
  // Brings every real control in line with its model: once per event.
  void Sync();
  // Called for every left press anywhere on the screen (the press hook, or
  // raw input where the hook is refused), before the polling tick that
  // follows it.
  std::function<void()> on_left_press;
  // Called whenever the window has moved, changed size, shown or hidden,
  // for the windows docked to it.
  std::function<void()> on_placed;

 private:
  // Remembers what was last put into a real control, so that only real
  // changes are pushed and user edits are never echoed back.
  struct Pushed {
    std::uint64_t version = ~0ull;
    std::uint64_t list_version = ~0ull;
    std::wstring text;
    std::int32_t sel = -1;
    int value = -1;
    Rect bounds{-1, -1, -1, -1};
    HFONT font = nullptr;
    bool visible = false;
    wchar_t mask = 0;
  };

  friend class WindowBase<KbdWindow>;
  static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR self);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnChildMessage(HWND child, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id);

  // Runs one model event and then brings the real windows in line.
  void Dispatch(const std::function<void()>& event);
  void OnCommand(WORD id, WORD code, HWND control);
  void Paint(HDC dc);
  void DrawLabel(HDC dc, const Label& label);
  HBITMAP Background(HDC target);
  int DropHeight() const;
  // A colour swatch among the option boxes; false for any other item.
  bool DrawSwatch(const DRAWITEMSTRUCT& item);
  // The colours and brush a real control is drawn with (WM_CTLCOLOR*).
  HBRUSH ControlColors(UINT msg, HDC dc, HWND control);
  // A press event of the mouse or of a finger or pen, to the model; false
  // when the model leaves it to the system.
  bool Press(const PressEvent& e);
  HBRUSH BrushFor(Color c);

  HWND MakeChild(const wchar_t* cls, DWORD style, DWORD ex, const Control& c, Pushed& pushed,
                 int id, int extra_height = 0);
  void MakePanel();
  void MakeTextLine();
  bool TextLineDrawnWithKeys() const;
  void DrawEmptyTextLine(HDC dc);
  // Presses come as raw input, and the tick polls all the time: the
  // stand-in for a refused hook.
  void UseRawInput();

  void SyncForm();
  void SyncPanel();
  void SyncLabels();
  void SyncCombo(ComboBox& model, HWND real, Pushed& pushed, bool list_now);
  void SyncTextBox(TextBox& model, Pushed& pushed);
  void SyncPlacement(const Control& model, HWND real, Pushed& pushed);
  void FillRealList(const ComboBox& model, HWND real, Pushed& pushed);
  HWND EditOf(HWND combo) const;

  FrmKbd& m_;
  Win32Toolkit& tk_;
  PressInput press_input_{m_.Presses(), [this](const PressEvent& e) { return Press(e); },
                          [this] { return m_.Ended(); }};
  HWND combo_edit_ = nullptr;
  // The designed background as the program file holds it: painted from
  // there, its pixels stay the file's own pages. A bitmap of it is made only
  // to be scaled (or where the resource cannot be painted as it is).
  const BITMAPINFO* designed_info_ = nullptr;
  const void* designed_bits_ = nullptr;
  HBITMAP DesignedBitmap();
  HBITMAP designed_background_ = nullptr;
  bool designed_loaded_ = false;
  UniqueIcon icon_;
  std::vector<std::pair<Color, UniqueBrush>> brushes_;
  struct ScaledPicture {
    HBITMAP source = nullptr;
    int dpi = 0;
    UniqueBitmap bitmap;
  } scaled_;

  std::uint64_t form_version_ = ~0ull;
  std::wstring caption_;
  std::vector<std::uint64_t> label_versions_;
  Pushed text_line_, font_list_, size_list_;
  std::array<Pushed, kLayouts> layouts_;
  std::array<Pushed, std::tuple_size_v<decltype(FrmKbd::chkFont)>> options_;
  std::array<Pushed, 2> buttons_;
  std::uint64_t timer_version_ = ~0ull;
  std::uint64_t repeat_timer_version_ = ~0ull;
  std::uint64_t enter_timer_version_ = ~0ull;
  bool syncing_ = false;
  bool panel_made_ = false, first_paint_told_ = false, text_line_made_ = false;

  // The tray's messages come to this hidden child.
  class TrayReceiver : public WindowBase<TrayReceiver> {
   public:
    explicit TrayReceiver(KbdWindow& keyboard) : keyboard_(keyboard) {}
    bool Create(HWND parent, HINSTANCE instance);

   private:
    friend class WindowBase<TrayReceiver>;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    KbdWindow& keyboard_;
  };
  TrayReceiver tray_receiver_{*this};

  // The polling tick runs only while the left button is down, and for a
  // while after its release, for what the model does after the finger.
  // Without the hook it runs all the time, as its model says.
  void OnLeftButton(bool down);
  void AfterOutermostTick();
  void SyncPollTimer();
  void StartPoll();
  void StopPoll();
  void CheckHook();
  PressHook press_hook_;
  HookWatch hook_watch_;
  // A topmost keyboard stays above the windows other programs bring to the
  // front after it: with no window manager, or a careless one, a window
  // activated later can still end up over it.
  static void CALLBACK OnForeground(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object,
                                    LONG child, DWORD thread, DWORD time);
  void StayOnTop();
  HWINEVENTHOOK foreground_hook_ = nullptr;
  HWINEVENTHOOK focus_hook_ = nullptr;
  HWND front_ = nullptr;  // the window last brought to the front
  // Until the hook is set no press is reported, as with a hook.
  bool hooked_ = true;
  bool started_ = false;
  bool button_down_ = false;
  bool poll_running_ = false;
  DWORD linger_until_ = 0;
  bool press_unseen_ = false;
  int dispatch_depth_ = 0;

  // Broadcast when the notification area comes (back).
  UINT taskbar_created_ = 0;
};

// From any thread: the keyboard window's model gets Form_WorkerFinished on
// its own thread. A window already gone takes nothing.
void PostWorkerFinished(HWND keyboard);

}  // namespace orv::win32
