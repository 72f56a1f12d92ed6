// Window commands: z-order, opacity, shape and click-through.
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "utility/window_command.h"

#include "platform/owners.h"

namespace orv {

namespace {

constexpr std::int32_t kWsExLayered = 0x80000;
constexpr std::int32_t kWsExTransparent = 0x20;
constexpr unsigned kLwaAlpha = 2;

}  // namespace

// A number prints as the system prints it, so "2.5" becomes "2,5" under a decimal comma.
std::wstring CommandParam::AsText(const std::wstring& decimal_separator) const {
  if (const auto* text = std::get_if<std::wstring>(&value_)) return *text;
  const auto* number = std::get_if<double>(&value_);
  if (number == nullptr) return {};
  wchar_t buffer[64];
  std::swprintf(buffer, 64, L"%.15G", *number);
  std::wstring out = buffer;
  if (auto point = out.find(L'.'); point != std::wstring::npos && !decimal_separator.empty()) {
    out.replace(point, 1, decimal_separator);
  }
  return out;
}

// Numbers take the road through text, as the command's callers expect.
double CommandParam::AsNumber(const std::wstring& decimal_separator) const {
  return LeadingNumber(AsText(decimal_separator));
}

// Only the z-order changes; without activation the focus stays in the target.
void WindowCommands::SetTopmost(const Form& form, bool activate) {
  const unsigned flags =
      activate ? (kSwpNoSize | kSwpNoMove) : (kSwpNoSize | kSwpNoMove | kSwpNoActivate);
  p_.user32.SetWindowPos(form.hWnd(), kHwndTopmost, 0, 0, form.Width(), form.Height(), flags);
}

// One entry for the window effects the program uses, so callers name a
// number instead of knowing the calls behind it. The keyboard runs on the NT
// family only (Windows 7 on), which has them all.
void WindowCommands::WindowCommand(Hwnd wnd, int command, const CommandParam& param) {
  const std::wstring separator = p_.kernel32.GetDecimalSeparator();
  auto& u = p_.user32;
  switch (command) {
    case static_cast<int>(WindowCommandId::Transparency): {
      const double alpha = std::nearbyint(255.0 - param.AsNumber(separator));
      if (alpha >= 0 && alpha <= 255) SetWindowAlpha(static_cast<std::uint8_t>(alpha), wnd);
      break;
    }
    case static_cast<int>(WindowCommandId::RoundCorners): {
      Rect r;
      if (!u.GetWindowRect(wnd, r)) r = Rect{};
      const double corner = param.AsNumber(separator);
      OwnedRegion region = OwnRegion(p_.gdi32, 0);
      if (corner != 0) {
        // Out-of-range corners are a step that fails; the command goes on.
        const double e = std::nearbyint(corner);
        if (std::fabs(e) > 2147483647.0) break;
        const int ei = static_cast<int>(e);
        region = OwnRegion(
            p_.gdi32, p_.gdi32.CreateRoundRectRgn(0, 0, r.width() - 1, r.height() - 1, ei, ei));
      } else {
        region = OwnRegion(p_.gdi32,
                           p_.gdi32.CreateRoundRectRgn(0, 0, r.width() + 1, r.height() + 1, 0, 0));
      }
      // A region the window takes is the window's.
      if (region && u.SetWindowRgn(wnd, region.get(), true) != 0) region.release();
      break;
    }
    case static_cast<int>(WindowCommandId::ClickThrough):
      u.SetWindowLongW(wnd, kGwlExStyle, u.GetWindowLongW(wnd, kGwlExStyle) | kWsExTransparent);
      break;
    default: break;
  }
}

void WindowCommands::SetWindowAlpha(std::uint8_t alpha, Hwnd wnd) {
  if (wnd == 0) return;
  auto& u = p_.user32;
  u.SetWindowLongW(wnd, kGwlExStyle, u.GetWindowLongW(wnd, kGwlExStyle) | kWsExLayered);
  u.SetLayeredWindowAttributes(wnd, 0, alpha, kLwaAlpha);
}

void DragWindow(User32& user32, Hwnd wnd) {
  user32.ReleaseCapture();
  user32.SendMessageW(wnd, wm::kNcLButtonDown, kHtCaption, 0);
}

}  // namespace orv
