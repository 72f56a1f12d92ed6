// Window commands: z-order, opacity, shape and closing other windows.
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "utility/window_command.h"

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
  switch (command) {
    case 0: u.ShowWindow(wnd, 6); break;
    case 1:
      if (!param.Present() || param.AsNumber(separator) == 0) {
        if (HasWindowStyle(wnd, kWsMaximizeBox)) u.ShowWindow(wnd, 3);
      } else {
        u.ShowWindow(wnd, 3);
      }
      break;
    case 2: u.ShowWindow(wnd, 9); break;
    case 3: {
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
    case 4: u.ShowWindow(wnd, 5); break;
    case 5: u.ShowWindow(wnd, 0); break;
    case 6: u.SetWindowPos(wnd, kHwndTopmost, 0, 0, 0, 0, kSwpNoSize | kSwpNoMove); break;
    case 7: u.SetWindowPos(wnd, kHwndNoTopmost, 0, 0, 0, 0, kSwpNoSize | kSwpNoMove); break;
    case 8: {
      if (GetOSFamily() != L"NT") break;
      const double alpha = std::nearbyint(255.0 - param.AsNumber(separator));
      if (alpha >= 0 && alpha <= 255) SetWindowAlpha(static_cast<std::uint8_t>(alpha), wnd);
      break;
    }
    case 9: {
      const std::wstring text = param.AsText(separator);
      if (text.empty()) break;
      const auto first = text.find_first_not_of(L' ');
      const std::wstring trimmed =
          first == std::wstring::npos ? std::wstring()
                                      : text.substr(first, text.find_last_not_of(L' ') - first + 1);
      u.SetWindowTextW(wnd, trimmed);
      break;
    }
    case 10: u.EnableWindow(wnd, true); break;
    case 11: u.EnableWindow(wnd, false); break;
    case 12:
      u.ShowWindow(wnd, HasWindowStyle(wnd, kWsMaximize) ? 3 : 9);
      u.SetForegroundWindow(wnd);
      break;
    case 13: {
      if (GetOSFamily() != L"NT") break;
      Rect r;
      if (!u.GetWindowRect(wnd, r)) r = Rect{};
      const double corner = param.AsNumber(separator);
      Hrgn region = 0;
      if (corner != 0) {
        // Out-of-range corners are a step that fails; the command goes on.
        const double e = std::nearbyint(corner);
        if (std::fabs(e) > 2147483647.0) break;
        const int ei = static_cast<int>(e);
        region = p_.gdi32.CreateRoundRectRgn(0, 0, r.width() - 1, r.height() - 1, ei, ei);
      } else {
        region = p_.gdi32.CreateRoundRectRgn(0, 0, r.width() + 1, r.height() + 1, 0, 0);
      }
      if (region != 0 && u.SetWindowRgn(wnd, region, true) == 0) p_.gdi32.DeleteObject(region);
      break;
    }
    case 14:
      if (GetOSFamily() != L"NT") break;
      u.SetWindowLongW(wnd, kGwlExStyle, u.GetWindowLongW(wnd, kGwlExStyle) | kWsExTransparent);
      break;
    case 15:
      if (GetOSFamily() != L"NT") break;
      u.SetWindowLongW(wnd, kGwlExStyle, u.GetWindowLongW(wnd, kGwlExStyle) & ~kWsExTransparent);
      break;
    default: break;
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
  const Handle process =
      p_.kernel32.OpenProcess(kProcessQueryReadVm, false, GetWindowProcessId(wnd));
  if (process == 0) return {};
  std::wstring path = p_.kernel32.GetProcessImagePath(process);
  p_.kernel32.CloseHandle(process);
  return path;
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
  const Handle process = p_.kernel32.OpenProcess(kProcessTerminate, true, process_id);
  const bool ended = process != 0 && p_.kernel32.TerminateProcess(process, 0);
  if (process != 0) p_.kernel32.CloseHandle(process);
  return ended ? 0 : 1;
}

// A folder path ends in a backslash; stripping it first names the folder.
std::wstring WindowCommands::GetFileNamePart(std::wstring& path, bool strip_trailing) {
  if (strip_trailing && !path.empty() && path.back() == L'\\') path.pop_back();
  const auto slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace orv
