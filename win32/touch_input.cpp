// Fingers and pens: the gesture settings and the pointer messages.
#include "win32/touch_input.h"

#include <windowsx.h>

#include "win32/system_library.h"

namespace orv::win32 {

namespace {

constexpr wchar_t kPenServiceProperty[] = L"MicrosoftTabletPenServiceProperty";
constexpr WORD kPointerCanceled = 0x8000;
enum : DWORD { kPtTouch = 2, kPtPen = 3 };
// The feedback kinds of SetWindowFeedbackSetting: the contact ring and
// every tap, press-and-hold and right-tap visual of finger and pen.
constexpr int kFeedbackKinds[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

using SetWindowFeedbackSettingFn = BOOL(WINAPI*)(HWND, int, DWORD, UINT32, const void*);
using GetPointerTypeFn = BOOL(WINAPI*)(UINT32, DWORD*);
// POINTER_INFO, which the headers declare only for Windows 8 and later.
struct PointerInfo {
  DWORD pointerType;
  UINT32 pointerId, frameId, pointerFlags;
  HANDLE sourceDevice;
  HWND hwndTarget;
  POINT ptPixelLocation, ptHimetricLocation, ptPixelLocationRaw, ptHimetricLocationRaw;
  DWORD dwTime;
  UINT32 historyCount;
  INT32 InputData;
  DWORD dwKeyStates;
  UINT64 PerformanceCount;
  DWORD ButtonChangeType;
};
static_assert(sizeof(PointerInfo) == (sizeof(void*) == 8 ? 96 : 88));
using GetPointerInfoFn = BOOL(WINAPI*)(UINT32, PointerInfo*);

}  // namespace

void TurnOffTouchGestures(HWND wnd) {
  // The pen and touch service reads the property; the window proc answers
  // its question; both, for the service asks either, by the version.
  SetPropW(wnd, kPenServiceProperty,
           reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(kNoTouchGestures)));
  static const auto set_feedback =
      SystemFunction<SetWindowFeedbackSettingFn>(L"user32.dll", "SetWindowFeedbackSetting");
  if (!set_feedback) return;
  const BOOL off = FALSE;
  for (int kind : kFeedbackKinds) set_feedback(wnd, kind, 0, sizeof(off), &off);
}

std::optional<LRESULT> GestureAnswer(HWND wnd, UINT msg) {
  if (msg == kWmTabletQuerySystemGestureStatus && GetPropW(wnd, kPenServiceProperty))
    return kNoTouchGestures;
  if (msg == WM_NCDESTROY) RemovePropW(wnd, kPenServiceProperty);
  return std::nullopt;
}

std::optional<PressEvent> PointerPressEvent(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kWmPointerDown && msg != kWmPointerUpdate && msg != kWmPointerUp &&
      msg != kWmPointerCaptureChanged)
    return std::nullopt;
  static const auto get_type = SystemFunction<GetPointerTypeFn>(L"user32.dll", "GetPointerType");
  const UINT32 id = LOWORD(wp);
  DWORD type = 0;
  if (!get_type || !get_type(id, &type) || (type != kPtTouch && type != kPtPen))
    return std::nullopt;
  PressEvent e;
  e.pointer = {type == kPtPen ? Pointer::Kind::kPen : Pointer::Kind::kTouch, id};
  e.time = static_cast<std::uint32_t>(GetMessageTime());
  if (msg == kWmPointerCaptureChanged) {
    // Another window took the pointer (the system cancelled the contact).
    e.kind = PressEvent::Kind::kCancel;
    return e;
  }
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};  // on the screen
  ScreenToClient(wnd, &pt);
  e.pt = {pt.x, pt.y};
  const bool canceled = (HIWORD(wp) & kPointerCanceled) != 0;
  e.kind = canceled                  ? PressEvent::Kind::kCancel
           : msg == kWmPointerDown   ? PressEvent::Kind::kDown
           : msg == kWmPointerUpdate ? PressEvent::Kind::kMove
                                     : PressEvent::Kind::kUp;
  return e;
}

std::optional<POINT> PointerOnScreen(UINT32 id) {
  static const auto get_info = SystemFunction<GetPointerInfoFn>(L"user32.dll", "GetPointerInfo");
  PointerInfo info{};
  if (!get_info || !get_info(id, &info)) return std::nullopt;
  return info.ptPixelLocation;
}

std::optional<std::pair<PressEvent::Kind, PressButton>> MouseButtonOf(UINT msg) {
  using Kind = PressEvent::Kind;
  switch (msg) {
    case WM_LBUTTONDOWN: return std::pair{Kind::kDown, PressButton::kLeft};
    case WM_RBUTTONDOWN: return std::pair{Kind::kDown, PressButton::kRight};
    case WM_MBUTTONDOWN: return std::pair{Kind::kDown, PressButton::kMiddle};
    case WM_LBUTTONUP: return std::pair{Kind::kUp, PressButton::kLeft};
    case WM_RBUTTONUP: return std::pair{Kind::kUp, PressButton::kRight};
    case WM_MBUTTONUP: return std::pair{Kind::kUp, PressButton::kMiddle};
    default: return std::nullopt;
  }
}

PressEvent MousePressEvent(PressEvent::Kind kind, LPARAM lp, PressButton button) {
  PressEvent e;
  e.kind = kind;
  e.pointer = kMousePointer;
  e.pt = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  e.time = static_cast<std::uint32_t>(GetMessageTime());
  e.button = button;
  return e;
}

}  // namespace orv::win32
