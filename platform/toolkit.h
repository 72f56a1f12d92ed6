// Port over the user-interface toolkit's own services: the program's identity,
// pictures, message pumping, text measuring and ending the process.
#pragma once
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

  virtual int TwipsPerPixelX() = 0;
  virtual int TwipsPerPixelY() = 0;

  // Decodes a picture file; 0 when the file cannot be read or decoded.
  virtual Picture LoadPicture(const std::wstring& path) = 0;
  // A picture built into the program (background, icons, tip skin).
  virtual Picture ResourcePicture(const std::wstring& name) = 0;
  // The bitmap behind a picture, for reading its pixels; 0 when none.
  virtual Hbitmap PictureBitmap(Picture picture) = 0;

  // Lets pending window messages run (timers and input included). The shell
  // brings the real controls in line with their models first.
  virtual void DoEvents() = 0;
  // Size in pixels of a caption drawn in a font (lines split at CR LF).
  virtual Point MeasureText(const Font& font, const std::wstring& text) = 0;
  // Ends the process at once; no further events run.
  virtual void End() = 0;
};

}  // namespace orv
