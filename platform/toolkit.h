// Port over the user-interface toolkit's own services: the program's identity,
// pictures, message pumping, text measuring and ending the process.
#pragma once
#include <cstdint>
#include <span>
#include <string>

#include "platform/types.h"

namespace orv {

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // True when another instance of this program is already running.
  virtual bool PrevInstance() = 0;
  // The program's folder (no trailing backslash except at a drive root),
  // its file name without extension, and its title.
  virtual std::wstring AppPath() = 0;
  virtual std::wstring AppExeName() = 0;
  virtual std::wstring AppTitle() = 0;

  // Dots per inch of the screen the keyboard stands on: 96 at 100 %.
  virtual int Dpi() = 0;
  // The design is in twips, 1440 to the inch, and the registry keeps twips:
  // 15 to a pixel at 96 DPI, 7.5 at 192, so the factor is no whole number.
  double TwipsPerPixelX() { return 1440.0 / Dpi(); }
  double TwipsPerPixelY() { return 1440.0 / Dpi(); }

  // Decodes a picture file; 0 when the file cannot be read or decoded.
  virtual Picture LoadPicture(const std::wstring& path) = 0;
  // A picture built into the program (background, icons, tip skin).
  virtual Picture ResourcePicture(const std::wstring& name) = 0;
  // A built-in picture enlarged to the screen's density pixel for pixel, so
  // that an outline cut from its colours fits it as drawn.
  virtual Picture ScreenPicture(const std::wstring& name) { return ResourcePicture(name); }
  // The bytes of data built into the program (RCDATA), valid for the whole
  // run and readable from any thread; empty when there is none by that name.
  virtual std::span<const std::uint8_t> ResourceData(const std::wstring& name) { return {}; }
  // Called first on each thread the program starts for work beside the
  // window's (a load), before the work.
  virtual void WorkerStarted() {}
  // Called last on such a thread, once its result is all but handed over,
  // from that thread: the window's thread gets Form_WorkerFinished soon
  // after, even while no touch wakes it.
  virtual void WorkerFinished() {}
  // The bitmap behind a picture, for reading its pixels; 0 when none.
  virtual Hbitmap PictureBitmap(Picture picture) = 0;

  // Lets pending window messages run (timers and input included). The shell
  // brings the real controls in line with their models first.
  virtual void DoEvents() = 0;
  // Sleeps until a window message arrives or `ms` milliseconds have passed,
  // whichever comes first, then lets pending messages run as DoEvents does.
  virtual void WaitForEvents(std::uint32_t ms) = 0;
  // Size in pixels of a caption drawn in a font (lines split at CR LF).
  virtual Point MeasureText(const Font& font, const std::wstring& text) = 0;
  // Ends the program: no further event reaches a model, and the process
  // ends once the handler that called it has returned.
  virtual void End() = 0;
  // True once End has run: what is still under way (a slide) stops short.
  virtual bool Ended() const { return false; }
};

// value * num / den rounded half away from zero, as MulDiv does.
constexpr int ScaleRounded(int value, int num, int den) {
  const std::int64_t p = std::int64_t{value} * num;
  const std::int64_t half = den / 2;
  return static_cast<int>(p >= 0 ? (p + half) / den : -((-p + half) / den));
}

// A designed length in twips on a screen of this many dots per inch.
constexpr int TwipsToPixels(int twips, int dpi) { return ScaleRounded(twips, dpi, 1440); }

// A designed rectangle on the screen: its edges are converted, not its
// size, so that neighbouring keys keep touching at every scale.
constexpr Rect DesignToScreen(int left, int top, int width, int height, int dpi) {
  return Rect{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(left + width, dpi),
              TwipsToPixels(top + height, dpi)};
}

// A length in pixels at 96 DPI on a screen of this many dots per inch.
constexpr int ScaleFrom96(int pixels, int dpi) { return ScaleRounded(pixels, dpi, 96); }

}  // namespace orv
