// One move-only owner for every handle kind the shell makes.
#pragma once
#include <windows.h>

#include <utility>

namespace orv::win32 {

template <typename H, typename Close, H kNone = H{}>
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H h) : h_(h) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, kNone)) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, kNone));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != kNone; }
  H release() { return std::exchange(h_, kNone); }
  void reset(H h = kNone) {
    if (h_ != kNone) Close{}(h_);
    h_ = h;
  }

 private:
  H h_ = kNone;
};

struct CloseGdiObject {
  void operator()(HGDIOBJ h) const { ::DeleteObject(h); }
};
struct CloseDc {
  void operator()(HDC h) const { ::DeleteDC(h); }
};
struct CloseKernelHandle {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct CloseWindow {
  void operator()(HWND h) const { ::DestroyWindow(h); }
};
struct CloseIcon {
  void operator()(HICON h) const { ::DestroyIcon(h); }
};

using UniqueFont = UniqueHandle<HFONT, CloseGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, CloseGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, CloseGdiObject>;
using UniqueDc = UniqueHandle<HDC, CloseDc>;
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseKernelHandle>;
using UniqueWindow = UniqueHandle<HWND, CloseWindow>;

inline HWND ToHwnd(orv::Hwnd h) { return reinterpret_cast<HWND>(h); }
inline orv::Hwnd FromHwnd(HWND h) { return reinterpret_cast<orv::Hwnd>(h); }

}  // namespace orv::win32
