// The real candidate strip: a borderless, topmost window owned by the
// keyboard that never takes the focus, with one child window a word, whose
// window text is the word (screen readers and tests read it there). The
// strip paints the words; their windows paint nothing.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <tuple>

#include "app/frmKbd.h"
#include "win32/press_input.h"
#include "win32/toolkit.h"
#include "win32/unique_handle.h"
#include "win32/window_base.h"

namespace orv::win32 {

class StripWindow : public WindowBase<StripWindow> {
 public:
  StripWindow(FrmKbd& model, Win32Toolkit& toolkit);

  // Makes the strip, hidden, owned by the keyboard window.
  bool Create(HWND keyboard);
  // Docks the strip to the keyboard and brings the real windows in line.
  void Sync();

 private:
  // One word's window: it lies where the word is drawn and holds it as its
  // text; presses on it are the strip's.
  class WordBox : public WindowBase<WordBox> {
   public:
    explicit WordBox(StripWindow& strip) : strip_(strip) {}
    bool Create(HWND parent, HINSTANCE instance);
    // What the real window was last given: only what changed is pushed.
    std::uint64_t pushed_version = ~0ull;
    Rect pushed_bounds{0, 0, 0, 0};
    std::wstring pushed_caption;
    bool pushed_visible = false;

   private:
    friend class WindowBase<WordBox>;
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    StripWindow& strip_;
  };

  friend class WindowBase<StripWindow>;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void Dispatch(const std::function<void()>& event);
  LRESULT OnPaint();
  // Paints `update` of the strip (all of it without one) into `dc`.
  void Paint(HDC dc, const RECT* update);
  // The strip's background behind `r`.
  void FillBackground(HDC dc, const RECT& r);
  // What the strip is drawn from, kept while its size and the words' stay:
  // the strip without words, and a word's face without its caption.
  HBITMAP Backdrop(HDC like, const RECT& client);
  HBITMAP Face(HDC like, const Rect& bounds);
  UniqueBitmap backdrop_;
  POINT backdrop_size_{0, 0};
  std::map<std::tuple<int, int, int>, UniqueBitmap> faces_;
  // Presses anywhere on the strip, the words' included, go to the model as
  // press events, as the keyboard's do: a word is pressed like a key.
  bool Press(const PressEvent& e);
  // Brings the words' windows in line with their models, in one batch.
  void PushWords();

  FrmKbd& m_;
  Win32Toolkit& tk_;
  PressInput press_input_{m_.WordPresses(), [this](const PressEvent& e) { return Press(e); },
                          [this] { return m_.Ended(); }};
  std::array<std::unique_ptr<WordBox>, kStripWords> words_;
  std::uint64_t form_version_ = ~0ull;
  bool syncing_ = false;
  // New words wait for a moment after the key that brought them, so that
  // the key's own work (its write into the target) comes first and keys
  // touched meanwhile bring one push between them.
  bool words_due_ = false;
};

}  // namespace orv::win32
