// The toolkit's services on Win32: identity, pictures, pumping, fonts.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <tuple>

#include "platform/toolkit.h"
#include "win32/unique_handle.h"

namespace orv::win32 {

// GDI fonts made once per look and kept for the life of the process.
class FontCache {
 public:
  HFONT Get(const Font& font);
  // Point sizes become pixels at this many dots per inch.
  void SetDpi(int dpi) { dpi_ = dpi; }

 private:
  int dpi_ = 96;
  using Key = std::tuple<std::wstring, long, bool, bool, bool, int>;
  std::map<Key, UniqueFont> fonts_;
};

class Win32Toolkit : public Toolkit {
 public:
  explicit Win32Toolkit(HINSTANCE instance);

  bool PrevInstance() override;
  std::wstring AppPath() override;
  std::wstring AppExeName() override;
  std::wstring AppTitle() override { return L"OrvKey"; }
  int Dpi() override { return dpi_; }
  // The window moved to a screen of another density (or first learnt its own).
  void SetDpi(int dpi);
  // The density a window stands at: per monitor where the system says so.
  static int WindowDpi(HWND hwnd);
  Picture LoadPicture(const std::wstring& path) override;
  Picture ResourcePicture(const std::wstring& name) override;
  Picture ScreenPicture(const std::wstring& name) override;
  Hbitmap PictureBitmap(Picture picture) override;
  std::span<const std::uint8_t> ResourceData(const std::wstring& name) override;
  void WorkerStarted() override;
  void WorkerFinished() override;
  void DoEvents() override;
  void WaitForEvents(std::uint32_t ms) override;
  Point MeasureText(const Font& font, const std::wstring& text) override;
  void End() override;

  // Brings the real windows in line with their models; run before pumping.
  std::function<void()> sync;
  // Wakes the keyboard window's thread for Form_WorkerFinished; called
  // from a worker's thread, so set before the first worker starts.
  std::function<void()> worker_finished;
  // Destroys the keyboard window, whose end ends the message loop.
  std::function<void()> destroy_main_window;
  // No further event reaches a model.
  bool Ended() const override { return ended_; }
  // The system's loop that drags a window by its background runs.
  void SetInMoveLoop(bool on) { in_move_loop_ = on; }
  HBITMAP Bitmap(Picture picture) const;
  FontCache& Fonts() { return fonts_; }
  HINSTANCE Instance() const { return instance_; }

 private:
  HINSTANCE instance_;
  UniqueKernelHandle instance_mutex_;
  std::map<Picture, UniqueBitmap> pictures_;
  std::intptr_t next_picture_ = 1;
  FontCache fonts_;
  // Text is measured here: asking for the screen's own DC each time is a
  // round trip to the window system.
  UniqueDc measuring_;
  static Point Measure(HDC dc, HFONT font, const std::wstring& text);
  int dpi_ = 96;
  bool ended_ = false;
  bool in_move_loop_ = false;
};

}  // namespace orv::win32
