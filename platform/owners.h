// Scoped owners of handles: each one gives its handle back to the system
// when it goes out of scope, so no path (an early return included) leaks a
// GDI object, a window or a kernel handle. One move-only template serves
// the core, whose closers go through the ports, and the Win32 shell, whose
// closers call the system (win32/unique_handle.h).
#pragma once
#include <type_traits>
#include <utility>

#include "platform/gdi32.h"
#include "platform/user32.h"

namespace orv {

// Move-only owner of one handle; `Close` knows the port that frees it.
template <class H, class Close>
class Owned {
 public:
  Owned(Close close, H handle) : close_(std::move(close)), handle_(handle) {}
  // A closer that needs nothing to know can be left out.
  Owned() requires std::is_default_constructible_v<Close>
  = default;
  explicit Owned(H handle) requires std::is_default_constructible_v<Close> : handle_(handle) {}
  ~Owned() { reset(); }
  Owned(Owned&& other) noexcept
      : close_(other.close_), handle_(std::exchange(other.handle_, H{})) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      close_ = other.close_;
      handle_ = std::exchange(other.handle_, H{});
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != H{}; }
  // Hands the handle on to a new owner (a window taking its region).
  H release() { return std::exchange(handle_, H{}); }
  // Gives the handle back, and takes `handle` in its place.
  void reset(H handle = H{}) {
    if (handle_ != H{}) close_(std::exchange(handle_, H{}));
    handle_ = handle;
  }

 private:
  Close close_{};
  H handle_{};
};

struct DeleteGdiObject {
  Gdi32* gdi;
  template <class H>
  void operator()(H h) const {
    gdi->DeleteObject(AsGdiObject(h));
  }
};
struct DeleteDc {
  Gdi32* gdi;
  void operator()(Hdc dc) const { gdi->DeleteDC(dc); }
};
struct ReleaseWindowDc {
  User32* user;
  Hwnd wnd;
  void operator()(Hdc dc) const { user->ReleaseDC(wnd, dc); }
};
// Puts back what a device context held before, when the selection ends.
struct Reselect {
  Gdi32* gdi;
  Hdc dc;
  void operator()(Hgdiobj previous) const { gdi->SelectObject(dc, previous); }
};

using OwnedRegion = Owned<Hrgn, DeleteGdiObject>;
using OwnedBitmap = Owned<Hbitmap, DeleteGdiObject>;
using OwnedDc = Owned<Hdc, DeleteDc>;
using OwnedWindowDc = Owned<Hdc, ReleaseWindowDc>;
using OwnedSelection = Owned<Hgdiobj, Reselect>;

inline OwnedRegion OwnRegion(Gdi32& gdi, Hrgn region) { return {DeleteGdiObject{&gdi}, region}; }
inline OwnedBitmap OwnBitmap(Gdi32& gdi, Hbitmap bitmap) { return {DeleteGdiObject{&gdi}, bitmap}; }
inline OwnedDc CreateCompatibleDc(Gdi32& gdi, Hdc like) {
  return {DeleteDc{&gdi}, gdi.CreateCompatibleDC(like)};
}
inline OwnedWindowDc GetWindowDc(User32& user, Hwnd wnd) {
  return {ReleaseWindowDc{&user, wnd}, user.GetDC(wnd)};
}
// Selects `object` into `dc` until the result goes out of scope.
inline OwnedSelection Select(Gdi32& gdi, Hdc dc, Hgdiobj object) {
  return {Reselect{&gdi, dc}, gdi.SelectObject(dc, object)};
}

}  // namespace orv
