// Window commands: z-order, opacity, shape and closing other windows.
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "utility/window_command.h"

#include "platform/owners.h"

namespace orv {

namespace {

constexpr std::int32_t kWsMaximizeBox = 0x10000;
constexpr std::int32_t kWsMaximize = 0x1000000;
constexpr std::int32_t kWsExLayered = 0x80000;
constexpr std::int32_t kWsExTransparent = 0x20;
constexpr unsigned kLwaAlpha = 2;
constexpr unsigned kMbOkCancelExclamation = 49;
constexpr int kIdCancel = 2;
constexpr unsigned kAnswerTimeoutMs = 500;

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

// One entry for every window effect the program offers, so callers name a
// number instead of knowing the calls behind it.
void WindowCommands::WindowCommand(Hwnd wnd, int command, const CommandParam& param) {
  const std::wstring separator = p_.kernel32.GetDecimalSeparator();
  auto& u = p_.user32;
  using enum WindowCommandId;
  if (command < static_cast<int>(Minimize) || command > static_cast<int>(NoClickThrough)) return;
  switch (static_cast<WindowCommandId>(command)) {
    case Minimize: u.ShowWindow(wnd, sw::kMinimize); break;
    case Maximize:
      if (!param.Present() || param.AsNumber(separator) == 0) {
        if (HasWindowStyle(wnd, kWsMaximizeBox)) u.ShowWindow(wnd, sw::kShowMaximized);
      } else {
        u.ShowWindow(wnd, sw::kShowMaximized);
      }
      break;
    case Restore: u.ShowWindow(wnd, sw::kRestore); break;
    case Close: {
      if (windows_.ReadWindowText(wnd, kAnswerTimeoutMs)) {
        u.SendMessageW(wnd, wm::kClose, 0, 0);
        break;
      }
      std::wstring path = GetWindowExePath(wnd);
      const std::wstring name = GetFileNamePart(path, false);
      const int answer =
          u.MessageBoxW(0, L"Приложение не отвечает. Завершить его процесс (" + name + L")?",
                        p_.toolkit.AppTitle(), kMbOkCancelExclamation);
      if (answer != kIdCancel) KillProcess(GetWindowProcessId(wnd));
      break;
    }
    case Show: u.ShowWindow(wnd, sw::kShow); break;
    case Hide: u.ShowWindow(wnd, sw::kHide); break;
    case Topmost: u.SetWindowPos(wnd, kHwndTopmost, 0, 0, 0, 0, kSwpNoSize | kSwpNoMove); break;
    case NotTopmost:
      u.SetWindowPos(wnd, kHwndNoTopmost, 0, 0, 0, 0, kSwpNoSize | kSwpNoMove);
      break;
    case Transparency: {
      if (GetOSFamily() != L"NT") break;
      const double alpha = std::nearbyint(255.0 - param.AsNumber(separator));
      if (alpha >= 0 && alpha <= 255) SetWindowAlpha(static_cast<std::uint8_t>(alpha), wnd);
      break;
    }
    case SetText: {
      const std::wstring text = param.AsText(separator);
      if (text.empty()) break;
      const auto first = text.find_first_not_of(L' ');
      const std::wstring trimmed =
          first == std::wstring::npos ? std::wstring()
                                      : text.substr(first, text.find_last_not_of(L' ') - first + 1);
      u.SetWindowTextW(wnd, trimmed);
      break;
    }
    case Enable: u.EnableWindow(wnd, true); break;
    case Disable: u.EnableWindow(wnd, false); break;
    case Activate:
      u.ShowWindow(wnd, HasWindowStyle(wnd, kWsMaximize) ? sw::kShowMaximized : sw::kRestore);
      u.SetForegroundWindow(wnd);
      break;
    case RoundCorners: {
      if (GetOSFamily() != L"NT") break;
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
    case ClickThrough:
      if (GetOSFamily() != L"NT") break;
      u.SetWindowLongW(wnd, kGwlExStyle, u.GetWindowLongW(wnd, kGwlExStyle) | kWsExTransparent);
      break;
    case NoClickThrough:
      if (GetOSFamily() != L"NT") break;
      u.SetWindowLongW(wnd, kGwlExStyle, u.GetWindowLongW(wnd, kGwlExStyle) & ~kWsExTransparent);
      break;
  }
}

// The window effects (layers, regions, click-through) need the NT family.
std::wstring WindowCommands::GetOSFamily() {
  switch (p_.kernel32.GetVersionPlatformId()) {
    case 1: return L"9X";
    case 2: return L"NT";
    default: return {};
  }
}

// Signed, as the style word is: the top bit alone does not count.
bool WindowCommands::HasWindowStyle(Hwnd wnd, std::int32_t mask) {
  return (p_.user32.GetWindowLongW(wnd, kGwlStyle) & mask) > 0;
}

// Layered windows exist on the NT family only; elsewhere the window stays opaque.
void WindowCommands::SetWindowAlpha(std::uint8_t alpha, Hwnd wnd) {
  if (GetOSFamily() != L"NT" || wnd == 0) return;
  auto& u = p_.user32;
  u.SetWindowLongW(wnd, kGwlExStyle, u.GetWindowLongW(wnd, kGwlExStyle) | kWsExLayered);
  u.SetLayeredWindowAttributes(wnd, 0, alpha, kLwaAlpha);
}

// Names the program behind a window for the end-process offer.
std::wstring WindowCommands::GetWindowExePath(Hwnd wnd) {
  const OwnedKernelHandle process = OwnHandle(
      p_.kernel32, p_.kernel32.OpenProcess(kProcessQueryReadVm, false, GetWindowProcessId(wnd)));
  return process ? p_.kernel32.GetProcessImagePath(process.get()) : std::wstring();
}

// 0 for a window that is gone.
std::uint32_t WindowCommands::GetWindowProcessId(Hwnd wnd) {
  std::uint32_t pid = 0;
  p_.user32.GetWindowThreadProcessId(wnd, &pid);
  return pid;
}

// 0 and -1 are never real processes: nothing is opened for them.
int WindowCommands::KillProcess(std::uint32_t process_id) {
  if (process_id == 0 || process_id == 0xFFFFFFFFu) return 1;
  const OwnedKernelHandle process =
      OwnHandle(p_.kernel32, p_.kernel32.OpenProcess(kProcessTerminate, true, process_id));
  return process && p_.kernel32.TerminateProcess(process.get(), 0) ? 0 : 1;
}

// A folder path ends in a backslash; stripping it first names the folder.
std::wstring WindowCommands::GetFileNamePart(std::wstring& path, bool strip_trailing) {
  if (strip_trailing && !path.empty() && path.back() == L'\\') path.pop_back();
  const auto slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void DragWindow(User32& user32, Hwnd wnd) {
  user32.ReleaseCapture();
  user32.SendMessageW(wnd, wm::kNcLButtonDown, kHtCaption, 0);
}

}  // namespace orv
