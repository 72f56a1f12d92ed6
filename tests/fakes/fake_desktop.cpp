#include "fakes/fake_desktop.h"

#include <algorithm>
#include <cstring>
#include <cwctype>

namespace orv::fake {

namespace {

std::wstring RootName(Hkey root) {
  if (root == kHkeyLocalMachine) return L"HKLM";
  if (root == kHkeyCurrentUser) return L"HKCU";
  return {};
}

// Registry paths compare without case and without a trailing backslash.
std::wstring KeyPath(const std::wstring& root, const std::wstring& subkey) {
  std::wstring s = subkey;
  while (!s.empty() && s.back() == L'\\') s.pop_back();
  std::wstring path = root + L"\\" + s;
  for (auto& c : path) c = static_cast<wchar_t>(std::towupper(c));
  return path;
}

bool Contains(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// Code page 1251 above 0x7F, as the system maps it.
const wchar_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

}  // namespace

Desktop::Desktop() = default;

Hwnd Desktop::AddWindow(const std::wstring& cls, const std::wstring& text, Hwnd parent, Rect rect,
                        std::int32_t style) {
  const Hwnd h = next_hwnd_;
  next_hwnd_ += 4;
  Window w;
  w.cls = cls;
  w.text = text;
  w.parent = parent;
  w.rect = rect;
  w.style = style;
  windows_[h] = w;
  z_order_.push_back(h);
  return h;
}

void Desktop::Destroy(Hwnd wnd) {
  std::vector<Hwnd> doomed{wnd};
  for (std::size_t i = 0; i < doomed.size(); ++i) {
    for (const auto& [h, w] : windows_) {
      if (w.parent == doomed[i]) doomed.push_back(h);
    }
  }
  for (Hwnd h : doomed) {
    windows_.erase(h);
    z_order_.erase(std::remove(z_order_.begin(), z_order_.end(), h), z_order_.end());
  }
}

void Desktop::Press(Point at) {
  cursor = at;
  button_down = true;
}

void Desktop::Release() { button_down = false; }

// ---------------- User32

std::int16_t Desktop::GetAsyncKeyState(int vkey) {
  return (vkey == kVkLButton && button_down) ? kKeyDown : 0;
}

bool Desktop::GetCursorPos(Point& pt) {
  pt = cursor;
  return true;
}

bool Desktop::SetCursorPos(int x, int y) {
  cursor = {x, y};
  cursor_moves.push_back(cursor);
  return true;
}

// The deepest visible window under the point, later windows above earlier.
Hwnd Desktop::WindowFromPoint(Point pt) {
  Hwnd found = 0;
  for (auto it = z_order_.rbegin(); it != z_order_.rend(); ++it) {
    const Window& w = windows_.at(*it);
    if (w.parent == 0 && w.visible && Contains(w.rect, pt)) {
      found = *it;
      break;
    }
  }
  if (found == 0) return 0;
  for (bool descended = true; descended;) {
    descended = false;
    for (auto it = z_order_.rbegin(); it != z_order_.rend(); ++it) {
      const Window& w = windows_.at(*it);
      if (w.parent == found && w.visible && Contains(w.rect, pt)) {
        found = *it;
        descended = true;
        break;
      }
    }
  }
  return found;
}

Hwnd Desktop::GetParent(Hwnd wnd) { return Exists(wnd) ? W(wnd).parent : 0; }

bool Desktop::IsWindow(Hwnd wnd) { return Exists(wnd); }

std::wstring Desktop::GetClassNameW(Hwnd wnd, int max_chars) {
  if (!Exists(wnd) || max_chars <= 0) return {};
  return W(wnd).cls.substr(0, static_cast<std::size_t>(max_chars - 1));
}

bool Desktop::GetWindowRect(Hwnd wnd, Rect& rect) {
  if (wnd == GetDesktopWindow() && !Exists(wnd)) {
    rect = desktop_rect;
    return true;
  }
  if (!Exists(wnd)) return false;
  rect = W(wnd).rect;
  return true;
}

Hwnd Desktop::FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                            const wchar_t* window_name) {
  bool passed = child_after == 0;
  for (Hwnd h : z_order_) {
    const Window& w = windows_.at(h);
    if (w.parent != parent) continue;
    if (!passed) {
      passed = h == child_after;
      continue;
    }
    if (class_name && w.cls != class_name) continue;
    if (window_name && w.text != window_name) continue;
    return h;
  }
  return 0;
}

std::intptr_t Desktop::SendMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                    std::intptr_t lparam) {
  sent.push_back({wnd, msg, wparam});
  std::uintptr_t result = 0;
  if (Exists(wnd) && W(wnd).hung) {
    // A plain send waits as long as the window does not answer.
    now += 60000;
    return 0;
  }
  SendMessageTimeoutW(wnd, msg, wparam, lparam, 0, 0xFFFFFFFF, &result);
  return static_cast<std::intptr_t>(result);
}

bool Desktop::SendMessageTimeoutW(Hwnd wnd, unsigned msg, std::uintptr_t wparam,
                                  std::intptr_t lparam, unsigned flags, unsigned timeout_ms,
                                  std::uintptr_t* result) {
  if (!Exists(wnd)) return false;
  Window& w = W(wnd);
  if (w.hung) {
    now += (flags & kSmtoAbortIfHung) ? 0 : timeout_ms;
    return false;
  }
  std::uintptr_t r = 0;
  switch (msg) {
    case wm::kGetTextLength: r = w.text.size(); break;
    case wm::kGetText: {
      ++get_text_sends;
      if (on_get_text) on_get_text();
      auto* buf = reinterpret_cast<wchar_t*>(lparam);
      if (wparam == 0 || buf == nullptr) break;
      const std::size_t n = std::min<std::size_t>(wparam - 1, w.text.size());
      std::copy_n(w.text.data(), n, buf);
      buf[n] = L'\0';
      r = n;
      break;
    }
    case wm::kSetText:
      w.text = reinterpret_cast<const wchar_t*>(lparam);
      set_text_log.emplace_back(wnd, w.text);
      r = 1;
      break;
    case kEmGetPasswordChar: r = w.password_char; break;
    case wm::kClose: Destroy(wnd); break;
    default: break;
  }
  if (result) *result = r;
  return true;
}

bool Desktop::PostMessageW(Hwnd wnd, unsigned msg, std::uintptr_t wparam, std::intptr_t lparam) {
  return Exists(wnd);
}

void Desktop::keybd_event(std::uint8_t vk, std::uint8_t scan, unsigned flags,
                          std::uintptr_t extra) {
  input.push_back({InputEvent::Key, vk, flags, cursor, now});
}

void Desktop::mouse_event(unsigned flags, unsigned dx, unsigned dy, unsigned data,
                          std::uintptr_t extra) {
  input.push_back({InputEvent::Mouse, flags, 0, cursor, now});
}

bool Desktop::ReleaseCapture() { return true; }

bool Desktop::ShowWindow(Hwnd wnd, int cmd) {
  if (!Exists(wnd)) return false;
  W(wnd).show_cmd = cmd;
  W(wnd).visible = cmd != 0;
  return true;
}

bool Desktop::SetWindowPos(Hwnd wnd, Hwnd insert_after, int x, int y, int cx, int cy,
                           unsigned flags) {
  if (!Exists(wnd)) return false;
  Window& w = W(wnd);
  w.set_pos.emplace_back(insert_after, flags);
  if (insert_after == kHwndTopmost) w.ex_style |= 0x8;
  if (insert_after == kHwndNoTopmost) w.ex_style &= ~0x8;
  return true;
}

bool Desktop::MoveWindow(Hwnd wnd, int x, int y, int cx, int cy, bool repaint) {
  if (!Exists(wnd)) return false;
  W(wnd).rect = {x, y, x + cx, y + cy};
  moves.push_back({wnd, W(wnd).rect, now});
  return true;
}

bool Desktop::UpdateWindow(Hwnd wnd) { return Exists(wnd); }

bool Desktop::SetWindowTextW(Hwnd wnd, const std::wstring& text) {
  if (!Exists(wnd)) return false;
  W(wnd).text = text;
  return true;
}

bool Desktop::EnableWindow(Hwnd wnd, bool enable) {
  if (!Exists(wnd)) return false;
  W(wnd).enabled = enable;
  return true;
}

bool Desktop::SetForegroundWindow(Hwnd wnd) { return Exists(wnd); }

std::int32_t Desktop::GetWindowLongW(Hwnd wnd, int index) {
  if (!Exists(wnd)) return 0;
  return index == kGwlExStyle ? W(wnd).ex_style : index == kGwlStyle ? W(wnd).style : 0;
}

std::int32_t Desktop::SetWindowLongW(Hwnd wnd, int index, std::int32_t value) {
  if (!Exists(wnd)) return 0;
  std::int32_t& field = index == kGwlExStyle ? W(wnd).ex_style : W(wnd).style;
  const std::int32_t old = field;
  field = value;
  return old;
}

bool Desktop::SetLayeredWindowAttributes(Hwnd wnd, Color key, std::uint8_t alpha, unsigned flags) {
  if (!Exists(wnd)) return false;
  W(wnd).alpha = alpha;
  return true;
}

int Desktop::SetWindowRgn(Hwnd wnd, Hrgn rgn, bool redraw) {
  if (!Exists(wnd)) return 0;
  W(wnd).region = rgn;
  return 1;
}

Hwnd Desktop::GetDesktopWindow() { return 1; }
Hdc Desktop::GetDC(Hwnd wnd) { return next_handle_++; }
int Desktop::ReleaseDC(Hwnd wnd, Hdc dc) { return 1; }

std::uint32_t Desktop::GetWindowThreadProcessId(Hwnd wnd, std::uint32_t* process_id) {
  if (!Exists(wnd)) {
    if (process_id) *process_id = 0;
    return 0;
  }
  if (process_id) *process_id = W(wnd).pid;
  return 1;
}

bool Desktop::SystemParametersInfoWorkArea(Rect& wa) {
  wa = work_area;
  return true;
}

int Desktop::MessageBoxW(Hwnd owner, const std::wstring& text, const std::wstring& caption,
                         unsigned style) {
  message_boxes.push_back({text, caption, style});
  if (on_message_box) on_message_box(message_boxes.back());
  if (message_box_answers.empty()) return 1;
  const int answer = message_box_answers.front();
  message_box_answers.pop_front();
  return answer;
}

std::wstring Desktop::CharUpperW(const std::wstring& text) {
  std::wstring s = text;
  for (auto& c : s) {
    if (c >= L'a' && c <= L'z')
      c = static_cast<wchar_t>(c - 32);
    else if (c >= 0x0430 && c <= 0x044F)
      c = static_cast<wchar_t>(c - 0x20);
    else if (c >= 0x0450 && c <= 0x045F)
      c = static_cast<wchar_t>(c - 0x50);
  }
  return s;
}

// ---------------- Gdi32

int Desktop::EnumFontsW(Hdc dc, const std::function<int(const LogFont&)>& callback) {
  int last = 1;
  for (const auto& face : font_faces) {
    last = callback(LogFont{face, 0, 4});
    if (last == 0) break;
  }
  return last;
}

Hrgn Desktop::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
  round_rects.push_back({x1, y1, x2, y2, w, h});
  const Hrgn r = next_handle_++;
  regions[r] = {Rect{x1, y1, x2, y2}};
  ++region_ops;
  return r;
}

Hrgn Desktop::CreateRectRgn(int x1, int y1, int x2, int y2) {
  const Hrgn r = next_handle_++;
  regions[r] = {};
  if (x2 > x1 && y2 > y1) regions[r].push_back(Rect{x1, y1, x2, y2});
  ++region_ops;
  return r;
}

Hrgn Desktop::ExtCreateRegion(const std::vector<Rect>& rects) {
  const Hrgn r = next_handle_++;
  regions[r] = rects;
  ++region_ops;
  return r;
}

int Desktop::CombineRgn(Hrgn dest, Hrgn src1, Hrgn src2, int mode) {
  if (!regions.count(dest) || !regions.count(src1) || !regions.count(src2)) return 0;
  ++region_ops;
  std::vector<Rect> out = regions[src1];
  if (mode == kRgnOr) out.insert(out.end(), regions[src2].begin(), regions[src2].end());
  regions[dest] = out;
  return 2;
}

bool Desktop::DeleteObject(Hgdiobj obj) {
  if (regions.erase(obj)) return true;
  dib_bits.erase(obj);
  return bitmaps.erase(obj) != 0;
}

std::set<std::pair<int, int>> Desktop::RegionPixels(Hrgn region) const {
  std::set<std::pair<int, int>> covered;
  auto it = regions.find(region);
  if (it == regions.end()) return covered;
  for (const Rect& r : it->second) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) covered.emplace(x, y);
    }
  }
  return covered;
}

Hdc Desktop::CreateCompatibleDC(Hdc dc) { return next_handle_++; }
bool Desktop::DeleteDC(Hdc dc) { return dc_selected_.erase(dc), true; }

Hgdiobj Desktop::SelectObject(Hdc dc, Hgdiobj obj) {
  const Hgdiobj old = dc_selected_.count(dc) ? dc_selected_[dc] : 0x7;
  dc_selected_[dc] = obj;
  return old;
}

// Copies from a picture's pixels into a 24-bit bottom-up DIB section, the
// one transfer the shaping code makes; other pairs only report success.
bool Desktop::BitBlt(Hdc dest, int x, int y, int cx, int cy, Hdc src, int x1, int y1,
                     std::uint32_t rop) {
  auto from_dc = dc_selected_.find(src);
  auto to_dc = dc_selected_.find(dest);
  if (from_dc == dc_selected_.end() || to_dc == dc_selected_.end()) return true;
  auto from = bitmaps.find(from_dc->second);
  auto to = bitmaps.find(to_dc->second);
  auto memory = dib_bits.find(to_dc->second);
  if (from == bitmaps.end() || to == bitmaps.end() || memory == dib_bits.end()) return true;
  const Bitmap& s = from->second;
  const Bitmap& d = to->second;
  const std::size_t stride = (3 * static_cast<std::size_t>(d.width) + 3) & ~std::size_t{3};
  for (int row = 0; row < cy; ++row) {
    for (int col = 0; col < cx; ++col) {
      const int sx = x1 + col, sy = y1 + row, dx = x + col, dy = y + row;
      if (sx < 0 || sy < 0 || sx >= s.width || sy >= s.height) continue;
      if (dx < 0 || dy < 0 || dx >= d.width || dy >= d.height) continue;
      if (s.pixels.size() != static_cast<std::size_t>(s.width) * s.height) continue;
      const Color c = s.pixels[static_cast<std::size_t>(sy) * s.width + sx];
      std::uint8_t* p = memory->second.data() + (d.height - 1 - dy) * stride + 3 * dx;
      p[0] = static_cast<std::uint8_t>(c >> 16);
      p[1] = static_cast<std::uint8_t>(c >> 8);
      p[2] = static_cast<std::uint8_t>(c);
    }
  }
  return true;
}

Hbitmap Desktop::CreateDIBSection(Hdc dc, const BitmapInfoHeader& info, std::uint8_t** bits) {
  if (info.width <= 0 || info.height <= 0) return 0;
  const Hbitmap b = next_handle_++;
  bitmaps[b] = Bitmap{info.width, info.height, {}};
  const std::size_t stride = (3 * static_cast<std::size_t>(info.width) + 3) & ~std::size_t{3};
  // Filled with a byte no test picture uses, so stray reads show up.
  auto& memory = dib_bits[b];
  memory.assign(stride * static_cast<std::size_t>(info.height), 0xCD);
  if (bits) *bits = memory.data();
  return b;
}

bool Desktop::GetBitmapSize(Hbitmap bmp, std::int32_t& width, std::int32_t& height) {
  auto it = bitmaps.find(bmp);
  if (it == bitmaps.end()) return false;
  width = it->second.width;
  height = it->second.height;
  return true;
}

// ---------------- Kernel32

Handle Desktop::OpenProcess(std::uint32_t access, bool inherit, std::uint32_t pid) {
  if (pid == 0 || !process_paths.count(pid)) return 0;
  const Handle h = next_handle_++;
  open_processes[h] = pid;
  return h;
}

bool Desktop::TerminateProcess(Handle process, std::uint32_t exit_code) {
  auto it = open_processes.find(process);
  if (it == open_processes.end()) return false;
  terminated.insert(it->second);
  return true;
}

bool Desktop::CloseHandle(Handle h) { return open_processes.erase(h) != 0; }

std::wstring Desktop::GetProcessImagePath(Handle process) {
  auto it = open_processes.find(process);
  return it == open_processes.end() ? std::wstring() : process_paths[it->second];
}

bool Desktop::FileExists(const std::wstring& path) { return files.count(path) != 0; }

bool Desktop::ReadFileBytes(const std::wstring& path, std::string& bytes) {
  auto it = files.find(path);
  if (it == files.end() || unreadable_files.count(path)) return false;
  bytes = it->second;
  return true;
}

bool Desktop::WriteFileDurably(const std::wstring& path, const std::string& bytes) {
  if (fail_writes) return false;
  files[path] = bytes;
  return true;
}

bool Desktop::MoveFileReplace(const std::wstring& from, const std::wstring& to) {
  if (fail_writes || fail_moves || !files.count(from)) return false;
  files[to] = files[from];
  files.erase(from);
  return true;
}

bool Desktop::DeleteFileW(const std::wstring& path) { return files.erase(path) != 0; }

std::string Desktop::ToAnsi(const std::wstring& text, bool* lossless) {
  std::string out;
  bool ok = true;
  for (wchar_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    const wchar_t* hit = std::find(std::begin(kCp1251High), std::end(kCp1251High), c);
    if (hit != std::end(kCp1251High) && c != 0xFFFD) {
      out += static_cast<char>(0x80 + (hit - std::begin(kCp1251High)));
    } else {
      out += '?';
      ok = false;
    }
  }
  if (lossless) *lossless = ok;
  return out;
}

std::wstring Desktop::FromAnsi(const std::string& bytes) {
  std::wstring out;
  for (unsigned char b : bytes) out += b < 0x80 ? static_cast<wchar_t>(b) : kCp1251High[b - 0x80];
  return out;
}

// ---------------- Advapi32

long Desktop::RegCreateKeyExW(Hkey root, const std::wstring& subkey, const std::wstring& cls,
                              std::uint32_t options, std::uint32_t access, Hkey* result,
                              std::uint32_t* disposition) {
  const std::wstring root_name = RootName(root);
  if (root_name.empty()) return 6;
  if (read_only_roots.count(root_name)) return 5;  // access denied
  const std::wstring path = KeyPath(root_name, subkey);
  const bool is_new = registry.count(path) == 0;
  registry[path];
  const Hkey h = next_handle_++;
  keys_[h] = path;
  ++open_keys;
  if (result) *result = h;
  if (disposition) *disposition = is_new ? kRegCreatedNewKey : 2;
  return kErrorSuccess;
}

long Desktop::RegFlushKey(Hkey key) { return keys_.count(key) ? kErrorSuccess : 6; }

long Desktop::RegOpenKeyExW(Hkey root, const std::wstring& subkey, std::uint32_t access,
                            Hkey* result) {
  const std::wstring root_name = RootName(root);
  const std::wstring path = KeyPath(root_name, subkey);
  if (!registry.count(path)) return 2;
  if (access != kKeyRead && read_only_roots.count(root_name)) return 5;
  const Hkey h = next_handle_++;
  keys_[h] = path;
  ++open_keys;
  if (result) *result = h;
  return kErrorSuccess;
}

long Desktop::RegSetValueExW(Hkey key, const std::wstring& name, std::uint32_t type,
                             const std::vector<std::uint8_t>& data) {
  auto it = keys_.find(key);
  if (it == keys_.end()) return 6;
  registry[it->second][name] = RegValue{type, data};
  return kErrorSuccess;
}

long Desktop::RegQueryValueExW(Hkey key, const std::wstring& name, std::uint32_t* type,
                               std::vector<std::uint8_t>* data) {
  auto it = keys_.find(key);
  if (it == keys_.end()) return 6;
  auto& values = registry[it->second];
  auto v = values.find(name);
  if (v == values.end()) return 2;
  if (type) *type = v->second.type;
  if (data) *data = v->second.data;
  return kErrorSuccess;
}

long Desktop::RegCloseKey(Hkey key) {
  if (!keys_.erase(key)) return 6;
  --open_keys;
  return kErrorSuccess;
}

// ---------------- Shell32, Comdlg32

bool Desktop::Shell_NotifyIconW(std::uint32_t message, const NotifyIconData& data) {
  tray_calls.emplace_back(message, data);
  return true;
}

int Desktop::ChooseColorW(ChooseColorRecord& record) {
  color_dialogs.push_back(record);
  if (on_choose_color) on_choose_color(record);
  if (color_answers.empty()) return 0;
  auto answer = color_answers.front();
  color_answers.pop_front();
  if (!answer) return 0;
  record.result = *answer;
  return 1;
}

// ---------------- Toolkit

Picture Desktop::LoadPicture(const std::wstring& path) {
  auto it = files.find(path);
  if (it == files.end() || it->second.size() < 3 || it->second.compare(0, 3, "\xFF\xD8\xFF") != 0) {
    return 0;
  }
  const Picture p = next_handle_++;
  pictures[p] = path;
  return p;
}

Picture Desktop::ResourcePicture(const std::wstring& name) {
  auto& p = resource_pictures_[name];
  if (p == 0) {
    p = next_handle_++;
    pictures[p] = L"resource:" + name;
  }
  return p;
}

Hbitmap Desktop::PictureBitmap(Picture picture) { return bitmaps.count(picture) ? picture : 0; }

void Desktop::DoEvents() {
  ++do_events_calls;
  if (on_do_events) on_do_events();
}

Point Desktop::MeasureText(const Font& font, const std::wstring& text) {
  std::int32_t widest = 0, line = 0, lines = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
      widest = std::max(widest, line);
      line = 0;
      ++lines;
      ++i;
    } else {
      line += 10;
    }
  }
  return {std::max(widest, line), 20 * lines};
}

}  // namespace orv::fake
