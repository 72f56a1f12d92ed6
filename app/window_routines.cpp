#include "app/window_routines.h"

#include <cmath>

namespace orv {

std::wstring MakeFilePath(Ports&, const std::wstring& folder, const std::wstring& file_name) {
  if (file_name.find(L':') != std::wstring::npos) return file_name;

  std::wstring path;
  if (folder.size() == 3 || (!folder.empty() && folder.back() == L'\\')) {
    path = folder + file_name;
  } else {
    path = folder + L"\\" + file_name;
  }
  // Collapse every doubled backslash, scanning once from the start; the pair
  // that opens a network path stays, or the file would land on the current
  // drive, away from the program, and be lost at every start.
  const bool network = path.starts_with(L"\\\\");
  std::wstring out = network ? L"\\" : L"";
  out.reserve(path.size());
  for (std::size_t i = network ? 1 : 0; i < path.size(); ++i) {
    if (path[i] == L'\\' && i + 1 < path.size() && path[i + 1] == L'\\') {
      out += L'\\';
      ++i;
    } else {
      out += path[i];
    }
  }
  return out;
}

std::wstring WritableDataFolder(Ports& p, const std::wstring& own) {
  if (p.kernel32.CanCreateFilesIn(own)) return own;
  const std::wstring app_data = p.shell32.AppDataFolder();
  if (app_data.empty()) return own;
  const std::wstring folder = MakeFilePath(p, app_data, L"OrvKey");
  if (!p.kernel32.CreateFolder(folder) || !p.kernel32.CanCreateFilesIn(folder)) return own;
  return folder + L"\\";
}

bool AddTrayIcon(Shell32& shell32, Hwnd wnd, Hicon icon, std::uint32_t callback_message,
                 const std::wstring& tip) {
  NotifyIconData nid;
  nid.hwnd = wnd;
  nid.id = 1;
  nid.flags = kNifMessage | kNifIcon | kNifTip;
  nid.callback_message = callback_message;
  nid.icon = icon;
  nid.tip = tip.substr(0, 63);
  return shell32.Shell_NotifyIconW(kNimAdd, nid);
}

void RemoveTrayIcon(Shell32& shell32, Hwnd wnd) {
  NotifyIconData nid;
  nid.hwnd = wnd;
  nid.id = 1;
  nid.flags = kNifMessage | kNifIcon | kNifTip;
  shell32.Shell_NotifyIconW(kNimDelete, nid);
}

std::int64_t RoundHalfEven(double v) {
  // The default floating-point rounding mode is to nearest, ties to even.
  return static_cast<std::int64_t>(std::nearbyint(v));
}

}  // namespace orv
