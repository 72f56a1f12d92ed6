// The ports over the real system libraries: one pass-through per method.
#include "win32/adapters.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "win32/system_library.h"
#include "win32/unique_handle.h"
#include "utility/failure_log.h"

namespace orv::win32 {

namespace {

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
Rect FromRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }
HKEY ToHkey(Hkey h) { return ToNative<HKEY>(h); }
HGDIOBJ ToGdi(Hgdiobj h) { return ToNative<HGDIOBJ>(h); }
HGDIOBJ ToGdi(Hbitmap h) { return ToNative<HGDIOBJ>(h); }
HDC ToHdc(Hdc h) { return ToNative<HDC>(h); }
HRGN ToHrgn(Hrgn h) { return ToNative<HRGN>(h); }
template <typename T>
std::intptr_t Out(T h) {
  return FromNative(h);
}

}  // namespace

// ---------------- user32

std::int16_t SystemUser32::GetAsyncKeyState(int vkey) {
  std::int16_t state = ::GetAsyncKeyState(vkey);
  if (vkey == VK_LBUTTON && left_pressed_.exchange(false)) {
    state = static_cast<std::int16_t>(state | 1);
  }
  return state;
}

std::uint32_t SystemUser32::GetMessageTime() {
  return static_cast<std::uint32_t>(::GetMessageTime());
}

bool SystemUser32::GetCursorPos(Point& pt) {
  POINT p{};
  if (!::GetCursorPos(&p)) return false;
  pt = {p.x, p.y};
  return true;
}

bool SystemUser32::SetCursorPos(int x, int y) { return ::SetCursorPos(x, y) != 0; }

Hwnd SystemUser32::WindowFromPoint(Point pt) {
  return FromHwnd(::WindowFromPoint(POINT{pt.x, pt.y}));
}

Hwnd SystemUser32::GetParent(Hwnd wnd) { return FromHwnd(::GetParent(ToHwnd(wnd))); }

bool SystemUser32::IsWindow(Hwnd wnd) { return wnd != 0 && ::IsWindow(ToHwnd(wnd)); }

std::wstring SystemUser32::GetClassNameW(Hwnd wnd, int max_chars) {
  std::vector<wchar_t> buf(static_cast<std::size_t>(max_chars > 0 ? max_chars : 1), L'\0');
  const int n = ::GetClassNameW(ToHwnd(wnd), buf.data(), max_chars);
  return n > 0 ? std::wstring(buf.data(), static_cast<std::size_t>(n)) : std::wstring();
}

bool SystemUser32::GetWindowRect(Hwnd wnd, Rect& rect) {
  RECT r{};
  if (!::GetWindowRect(ToHwnd(wnd), &r)) return false;
  rect = FromRect(r);
  return true;
}

Hwnd SystemUser32::FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                                 const wchar_t* window_name) {
  return FromHwnd(::FindWindowExW(ToHwnd(parent), ToHwnd(child_after), class_name, window_name));
}

std::intptr_t SystemUser32::SendMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                         std::intptr_t lparam) {
  return ::SendMessageW(ToHwnd(wnd), msg, wparam, lparam);
}

bool SystemUser32::SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                       std::intptr_t lparam, unsigned flags, unsigned timeout_ms,
                                       std::uintptr_t* result) {
  DWORD_PTR r = 0;
  const LRESULT ok = ::SendMessageTimeoutW(ToHwnd(wnd), msg, wparam, lparam, flags, timeout_ms, &r);
  if (result) *result = r;
  return ok != 0;
}

bool SystemUser32::PostMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                std::intptr_t lparam) {
  return ::PostMessageW(ToHwnd(wnd), msg, wparam, lparam) != 0;
}

void SystemUser32::keybd_event(std::uint8_t vk, std::uint8_t scan, unsigned flags,
                               std::uintptr_t extra) {
  ::keybd_event(vk, scan, flags, extra);
}

void SystemUser32::mouse_event(unsigned flags, unsigned dx, unsigned dy, unsigned data,
                               std::uintptr_t extra) {
  ::mouse_event(flags, dx, dy, data, extra);
}

bool SystemUser32::ReleaseCapture() { return ::ReleaseCapture() != 0; }

bool SystemUser32::ShowWindow(Hwnd wnd, int cmd) { return ::ShowWindow(ToHwnd(wnd), cmd) != 0; }

bool SystemUser32::SetWindowPos(Hwnd wnd, Hwnd insert_after, int x, int y, int cx, int cy,
                                unsigned flags) {
  return ::SetWindowPos(ToHwnd(wnd), ToHwnd(insert_after), x, y, cx, cy, flags) != 0;
}

bool SystemUser32::MoveWindow(Hwnd wnd, int x, int y, int cx, int cy, bool repaint) {
  return ::MoveWindow(ToHwnd(wnd), x, y, cx, cy, repaint) != 0;
}

bool SystemUser32::UpdateWindow(Hwnd wnd) { return ::UpdateWindow(ToHwnd(wnd)) != 0; }

bool SystemUser32::SetWindowTextW(Hwnd wnd, const std::wstring& text) {
  return ::SetWindowTextW(ToHwnd(wnd), text.c_str()) != 0;
}

bool SystemUser32::EnableWindow(Hwnd wnd, bool enable) {
  return ::EnableWindow(ToHwnd(wnd), enable) != 0;
}

bool SystemUser32::SetForegroundWindow(Hwnd wnd) { return ::SetForegroundWindow(ToHwnd(wnd)) != 0; }

std::int32_t SystemUser32::GetWindowLongW(Hwnd wnd, int index) {
  return ::GetWindowLongW(ToHwnd(wnd), index);
}

std::int32_t SystemUser32::SetWindowLongW(Hwnd wnd, int index, std::int32_t value) {
  return ::SetWindowLongW(ToHwnd(wnd), index, value);
}

bool SystemUser32::SetLayeredWindowAttributes(Hwnd wnd, Color key, std::uint8_t alpha,
                                              unsigned flags) {
  return ::SetLayeredWindowAttributes(ToHwnd(wnd), key, alpha, flags) != 0;
}

int SystemUser32::SetWindowRgn(Hwnd wnd, Hrgn rgn, bool redraw) {
  return ::SetWindowRgn(ToHwnd(wnd), ToHrgn(rgn), redraw);
}

Hwnd SystemUser32::GetDesktopWindow() { return FromHwnd(::GetDesktopWindow()); }

Hdc SystemUser32::GetDC(Hwnd wnd) { return Out(::GetDC(ToHwnd(wnd))); }

int SystemUser32::ReleaseDC(Hwnd wnd, Hdc dc) { return ::ReleaseDC(ToHwnd(wnd), ToHdc(dc)); }

std::uint32_t SystemUser32::GetWindowThreadProcessId(Hwnd wnd, std::uint32_t* process_id) {
  DWORD pid = 0;
  const DWORD tid = ::GetWindowThreadProcessId(ToHwnd(wnd), &pid);
  if (process_id) *process_id = pid;
  return tid;
}

bool SystemUser32::SystemParametersInfoWorkArea(Rect& work_area) {
  RECT r{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return false;
  work_area = FromRect(r);
  return true;
}

bool SystemUser32::MonitorWorkAreaFromRect(const Rect& r, Rect& work_area) {
  const RECT rc{r.left, r.top, r.right, r.bottom};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST), &info)) return false;
  work_area = FromRect(info.rcWork);
  return true;
}

int SystemUser32::MessageBoxW(Hwnd owner, const std::wstring& text, const std::wstring& caption,
                              unsigned style) {
  return ::MessageBoxW(ToHwnd(owner), text.c_str(), caption.c_str(), style);
}

std::wstring SystemUser32::CharUpperW(const std::wstring& text) {
  std::wstring s = text;
  if (!s.empty()) ::CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

std::wstring SystemUser32::RealGetWindowClassW(Hwnd wnd, int max_chars) {
  std::vector<wchar_t> buf(static_cast<std::size_t>(max_chars > 0 ? max_chars : 1), L'\0');
  const UINT n = ::RealGetWindowClassW(ToHwnd(wnd), buf.data(), static_cast<UINT>(buf.size()));
  return std::wstring(buf.data(), std::min<std::size_t>(n, buf.size() - 1));
}

bool SystemUser32::GetGUIThreadInfo(std::uint32_t thread_id, GuiThreadInfo& info) {
  GUITHREADINFO g{};
  g.cbSize = sizeof g;
  if (!::GetGUIThreadInfo(thread_id, &g)) return false;
  info = GuiThreadInfo{FromHwnd(g.hwndFocus), FromHwnd(g.hwndCaret)};
  return true;
}

unsigned SystemUser32::SendInput(const std::vector<KeyInput>& keys) {
  std::vector<INPUT> in(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i].vk;
    in[i].ki.wScan = keys[i].scan;
    in[i].ki.dwFlags = keys[i].flags;
  }
  if (in.empty()) return 0;
  return ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

std::uint32_t SystemUser32::GetLastError() { return ::GetLastError(); }

bool SystemUser32::IsWindowVisible(Hwnd wnd) { return ::IsWindowVisible(ToHwnd(wnd)) != 0; }

std::uintptr_t SystemUser32::GetKeyboardLayout(std::uint32_t thread_id) {
  return reinterpret_cast<std::uintptr_t>(::GetKeyboardLayout(thread_id));
}

std::int16_t SystemUser32::VkKeyScanExW(wchar_t ch, std::uintptr_t layout) {
  return ::VkKeyScanExW(ch, reinterpret_cast<HKL>(layout));
}

// ---------------- gdi32

namespace {
int CALLBACK EnumFontsProc(const LOGFONTW* lf, const TEXTMETRICW*, DWORD type, LPARAM data) {
  auto& callback = *reinterpret_cast<const std::function<int(const LogFont&)>*>(data);
  return callback(LogFont{lf->lfFaceName, lf->lfCharSet, type});
}
}  // namespace

int SystemGdi32::EnumFontsW(Hdc dc, const std::function<int(const LogFont&)>& callback) {
  return ::EnumFontsW(ToHdc(dc), nullptr, EnumFontsProc, reinterpret_cast<LPARAM>(&callback));
}

Hrgn SystemGdi32::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
  return Out(::CreateRoundRectRgn(x1, y1, x2, y2, w, h));
}

Hrgn SystemGdi32::CreateRectRgn(int x1, int y1, int x2, int y2) {
  return Out(::CreateRectRgn(x1, y1, x2, y2));
}

Hrgn SystemGdi32::ExtCreateRegion(const std::vector<Rect>& rects) {
  std::vector<std::uint8_t> buffer(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bounds{0, 0, 0, 0};
  auto* out = reinterpret_cast<RECT*>(data->Buffer);
  for (std::size_t i = 0; i < rects.size(); ++i) {
    out[i] = ToRect(rects[i]);
    if (i == 0) bounds = out[i];
    bounds.left = std::min(bounds.left, out[i].left);
    bounds.top = std::min(bounds.top, out[i].top);
    bounds.right = std::max(bounds.right, out[i].right);
    bounds.bottom = std::max(bounds.bottom, out[i].bottom);
  }
  data->rdh.rcBound = bounds;
  return Out(::ExtCreateRegion(nullptr, static_cast<DWORD>(buffer.size()), data));
}

int SystemGdi32::CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) {
  return ::CombineRgn(ToHrgn(dest), ToHrgn(src1), ToHrgn(src2), mode);
}

bool SystemGdi32::DeleteObject(Hgdiobj obj) { return ::DeleteObject(ToGdi(obj)) != 0; }

Hdc SystemGdi32::CreateCompatibleDC(Hdc dc) { return Out(::CreateCompatibleDC(ToHdc(dc))); }

bool SystemGdi32::DeleteDC(Hdc dc) { return ::DeleteDC(ToHdc(dc)) != 0; }

Hgdiobj SystemGdi32::SelectObject(Hdc dc, Hgdiobj obj) {
  return Out(::SelectObject(ToHdc(dc), ToGdi(obj)));
}

bool SystemGdi32::BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
                         std::uint32_t rop) {
  return ::BitBlt(ToHdc(dest), x, y, cx, cy, ToHdc(src), x1, y1, rop) != 0;
}

Hbitmap SystemGdi32::CreateDIBSection(Hdc dc, const BitmapInfoHeader& info, std::uint8_t** bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = info.width;
  bi.bmiHeader.biHeight = info.height;
  bi.bmiHeader.biPlanes = info.planes;
  bi.bmiHeader.biBitCount = info.bit_count;
  bi.bmiHeader.biCompression = info.compression;
  bi.bmiHeader.biSizeImage = info.size_image;
  void* p = nullptr;
  HBITMAP bmp = ::CreateDIBSection(ToHdc(dc), &bi, DIB_RGB_COLORS, &p, nullptr, 0);
  if (bits) *bits = static_cast<std::uint8_t*>(p);
  return Out(bmp);
}

bool SystemGdi32::GetBitmapSize(Hbitmap bmp, std::int32_t& width, std::int32_t& height) {
  BITMAP b{};
  if (::GetObjectW(ToGdi(bmp), sizeof(b), &b) != sizeof(b)) return false;
  width = b.bmWidth;
  height = b.bmHeight;
  return true;
}

// ---------------- kernel32

void SystemKernel32::Sleep(std::uint32_t ms) { ::Sleep(ms); }

std::uint32_t SystemKernel32::GetTickCount() { return ::GetTickCount(); }

namespace {
// A file opened to read, beside others reading it; none where it cannot be.
UniqueKernelHandle OpenToRead(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}
// Fills `bytes` from where the file stands, and keeps as many as it held.
bool ReadInto(HANDLE file, std::string& bytes) {
  DWORD got = 0;
  if (!bytes.empty() &&
      !::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) {
    return false;
  }
  bytes.resize(got);
  return true;
}
}  // namespace

bool SystemKernel32::FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SystemKernel32::ReadFileBytes(const std::wstring& path, std::string& bytes) {
  const UniqueKernelHandle file = OpenToRead(path);
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 31)) return false;
  bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
  return ReadInto(file.get(), bytes);
}

bool SystemKernel32::WriteFileDurably(const std::wstring& path, const std::string& bytes) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  DWORD written = 0;
  if (!bytes.empty() && (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &written, nullptr) ||
                         written != bytes.size())) {
    return false;
  }
  return ::FlushFileBuffers(file.get()) != 0;
}

bool SystemKernel32::MoveFileReplace(const std::wstring& from, const std::wstring& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool SystemKernel32::DeleteFileW(const std::wstring& path) {
  return ::DeleteFileW(path.c_str()) != 0;
}

bool SystemKernel32::AppendFileBytes(const std::wstring& path, const std::string& bytes) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    file.release();
    return false;
  }
  DWORD written = 0;
  return bytes.empty() || (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                       &written, nullptr) &&
                           written == bytes.size());
}

LocalTime SystemKernel32::GetLocalTime() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

bool SystemKernel32::CopyFileReplace(const std::wstring& from, const std::wstring& to) {
  return ::CopyFileW(from.c_str(), to.c_str(), FALSE) != 0;
}

bool SystemKernel32::ReadFilePart(const std::wstring& path, std::uint64_t offset, std::size_t count,
                                  std::string& bytes) {
  const UniqueKernelHandle file = OpenToRead(path);
  if (!file) return false;
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return false;
  bytes.assign(std::min<std::size_t>(count, 1u << 30), '\0');
  return ReadInto(file.get(), bytes);
}

bool SystemKernel32::GetFileSizeEx(const std::wstring& path, std::uint64_t& size) {
  const UniqueKernelHandle file = OpenToRead(path);
  if (!file) return false;
  LARGE_INTEGER n{};
  if (!::GetFileSizeEx(file.get(), &n)) return false;
  size = static_cast<std::uint64_t>(n.QuadPart);
  return true;
}

unsigned SystemKernel32::GetACP() { return code_page_ ? code_page_ : ::GetACP(); }

// A Unicode code page (UTF-8, the system's ANSI code page where Windows 10
// is told to use it) refuses the default-character arguments: the call
// would fail and the text be lost. There every character has its code, and
// only a broken surrogate pair is lossy, which the strict pass finds.
std::string SystemKernel32::ToAnsi(const std::wstring& text, bool* lossless) {
  if (lossless) *lossless = true;
  if (text.empty()) return {};
  const UINT cp = GetACP();
  const bool unicode = cp == CP_UTF8 || cp == CP_UTF7;
  const int length = static_cast<int>(text.size());
  BOOL used_default = FALSE;
  DWORD flags = cp == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0;
  auto convert = [&](char* out, int size) {
    return ::WideCharToMultiByte(cp, flags, text.data(), length, out, size, nullptr,
                                 unicode ? nullptr : &used_default);
  };
  int n = convert(nullptr, 0);
  if (n == 0 && flags != 0 && ::GetLastError() == ERROR_NO_UNICODE_TRANSLATION) {
    flags = 0;
    used_default = TRUE;
    n = convert(nullptr, 0);
  }
  std::string out(static_cast<std::size_t>(std::max(n, 0)), '\0');
  if (n == 0 || convert(out.data(), n) != n) {
    LogFailure(L"WideCharToMultiByte to code page " + std::to_wstring(cp) + L" failed: error " +
               std::to_wstring(::GetLastError()));
    if (lossless) *lossless = false;
    return {};
  }
  if (lossless) *lossless = !used_default;
  return out;
}

std::wstring SystemKernel32::FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return {};
  const UINT cp = GetACP();
  const int length = static_cast<int>(bytes.size());
  const int n = ::MultiByteToWideChar(cp, 0, bytes.data(), length, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(std::max(n, 0)), L'\0');
  if (n == 0 || ::MultiByteToWideChar(cp, 0, bytes.data(), length, out.data(), n) != n) {
    LogFailure(L"MultiByteToWideChar from code page " + std::to_wstring(cp) + L" failed: error " +
               std::to_wstring(::GetLastError()));
    return {};
  }
  return out;
}

std::wstring SystemKernel32::GetDecimalSeparator() {
  wchar_t buf[8] = {};
  if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buf, 8) <= 0) return L".";
  return buf;
}

bool SystemKernel32::CreateFolder(const std::wstring& path) {
  if (::CreateDirectoryW(path.c_str(), nullptr)) return true;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A name of this process's own, so that two programs probing the same
// folder at once do not take each other's probe for a refusal; the system
// deletes it when it is closed, even should this process die in between.
bool SystemKernel32::CanCreateFilesIn(const std::wstring& folder) {
  std::wstring probe = folder;
  if (!probe.empty() && probe.back() != L'\\') probe += L'\\';
  probe += L"OrvKey.probe." + std::to_wstring(::GetCurrentProcessId());
  HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}

// ---------------- advapi32

long SystemAdvapi32::RegCreateKeyExW(Hkey root, const std::wstring& subkey, const std::wstring& cls,
                                     std::uint32_t options, std::uint32_t access, Hkey* result,
                                     std::uint32_t* disposition) {
  HKEY key = nullptr;
  DWORD disp = 0;
  const LONG rc =
      ::RegCreateKeyExW(ToHkey(root), subkey.c_str(), 0, const_cast<wchar_t*>(cls.c_str()), options,
                        access, nullptr, &key, &disp);
  if (result) *result = Out(key);
  if (disposition) *disposition = disp;
  return rc;
}

long SystemAdvapi32::RegFlushKey(Hkey key) { return ::RegFlushKey(ToHkey(key)); }

long SystemAdvapi32::RegOpenKeyExW(Hkey root, const std::wstring& subkey, std::uint32_t access,
                                   Hkey* result) {
  HKEY key = nullptr;
  const LONG rc = ::RegOpenKeyExW(ToHkey(root), subkey.c_str(), 0, access, &key);
  if (result) *result = Out(key);
  return rc;
}

long SystemAdvapi32::RegSetValueExW(Hkey key, const std::wstring& name, std::uint32_t type,
                                    const std::vector<std::uint8_t>& data) {
  return ::RegSetValueExW(ToHkey(key), name.c_str(), 0, type, data.data(),
                          static_cast<DWORD>(data.size()));
}

long SystemAdvapi32::RegQueryValueExW(Hkey key, const std::wstring& name, std::uint32_t* type,
                                      std::vector<std::uint8_t>* data) {
  DWORD t = 0, size = 0;
  LONG rc = ::RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &t, nullptr, &size);
  if (rc != ERROR_SUCCESS) return rc;
  if (type) *type = t;
  if (!data) return rc;
  data->assign(size, 0);
  rc = ::RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &t, data->data(), &size);
  data->resize(size);
  return rc;
}

long SystemAdvapi32::RegCloseKey(Hkey key) { return ::RegCloseKey(ToHkey(key)); }

// ---------------- shell32, comdlg32: loaded when the tray, the colour dialog or a
// folder of the user's own (the program's folder is read-only) is first needed

bool SystemShell32::Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) {
  NOTIFYICONDATAW nid{};
  nid.cbSize = NOTIFYICONDATAW_V2_SIZE;
  nid.hWnd = ToHwnd(data.hwnd);
  nid.uID = data.id;
  nid.uFlags = data.flags;
  nid.uCallbackMessage = data.callback_message;
  nid.hIcon = ToNative<HICON>(data.icon);
  lstrcpynW(nid.szTip, data.tip.c_str(), ARRAYSIZE(nid.szTip));
  static const auto notify =
      SystemFunction<decltype(&::Shell_NotifyIconW)>(L"shell32.dll", "Shell_NotifyIconW");
  return notify && notify(message, &nid) != 0;
}

std::wstring SystemShell32::AppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  static const auto folder_path =
      SystemFunction<decltype(&::SHGetFolderPathW)>(L"shell32.dll", "SHGetFolderPathW");
  if (!folder_path || FAILED(folder_path(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, path))) {
    return {};
  }
  std::wstring folder = path;
  while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return folder;
}

int SystemComdlg32::ChooseColorW(ChooseColorRecord& record) {
  COLORREF custom[16];
  for (int i = 0; i < 16; ++i) custom[i] = record.custom_colors[static_cast<std::size_t>(i)];
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof(cc);
  cc.hwndOwner = ToHwnd(record.owner);
  cc.rgbResult = record.result;
  cc.lpCustColors = custom;
  cc.Flags = record.flags;
  static const auto choose =
      SystemFunction<decltype(&::ChooseColorW)>(L"comdlg32.dll", "ChooseColorW");
  const BOOL ok = choose && choose(&cc);
  record.result = cc.rgbResult;
  return ok ? 1 : 0;
}

}  // namespace orv::win32
