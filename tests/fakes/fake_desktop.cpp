#include "fakes/fake_desktop.h"

#include <algorithm>
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

void Desktop::Destroy(Hwnd wnd) {
  std::vector<Hwnd> children;
  for (const auto& [h, w] : windows_)
    if (w.parent == wnd) children.push_back(h);
  for (Hwnd child : children) Destroy(child);
  windows_.erase(wnd);
  z_order_.erase(std::remove(z_order_.begin(), z_order_.end(), wnd), z_order_.end());
}

// ---------------- User32

// The deepest visible window under the point, later windows above earlier.
Hwnd Desktop::WindowFromPoint(Point pt) {
  Hwnd found = 0;  // the desktop, then each level down
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

Hwnd Desktop::FindWindowExW(Hwnd parent, Hwnd child_after, const wchar_t* class_name,
                            const wchar_t* window_name) {
  bool passed = child_after == 0;
  for (Hwnd h : z_order_) {
    const Window& w = windows_.at(h);
    if (w.parent != parent) continue;
    if (passed && (!class_name || w.cls == class_name) && (!window_name || w.text == window_name))
      return h;
    passed = passed || h == child_after;
  }
  return 0;
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

std::wstring Desktop::CharUpperW(const std::wstring& text) {
  std::wstring s = text;
  for (auto& c : s) {
    if ((c >= L'a' && c <= L'z') || (c >= 0x0430 && c <= 0x044F))
      c = static_cast<wchar_t>(c - 0x20);
    if (c >= 0x0450 && c <= 0x045F) c = static_cast<wchar_t>(c - 0x50);
  }
  return s;
}

// ---------------- Gdi32

std::set<std::pair<int, int>> Desktop::RegionPixels(Hrgn region) const {
  std::set<std::pair<int, int>> covered;
  if (!regions.count(region)) return covered;
  for (const Rect& r : regions.at(region))
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) covered.emplace(x, y);
  return covered;
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

// ---------------- Kernel32

std::string Desktop::ToAnsi(const std::wstring& text, bool* lossless) {
  std::string out;
  bool ok = true;
  for (wchar_t c : text) {
    const auto hit = std::find(std::begin(kCp1251High), std::end(kCp1251High), c) - kCp1251High;
    const bool mapped = c < 0x80 || (hit < 128 && c != 0xFFFD);
    out += c < 0x80 ? static_cast<char>(c) : mapped ? static_cast<char>(0x80 + hit) : '?';
    ok = ok && mapped;
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
  if (disposition) *disposition = registry.count(path) ? 2 : kRegCreatedNewKey;
  registry[path];
  if (result) *result = OpenKey(path);
  return kErrorSuccess;
}

long Desktop::RegOpenKeyExW(Hkey root, const std::wstring& subkey, std::uint32_t access,
                            Hkey* result) {
  const std::wstring root_name = RootName(root);
  const std::wstring path = KeyPath(root_name, subkey);
  if (!registry.count(path)) return 2;
  if (access != kKeyRead && read_only_roots.count(root_name)) return 5;
  if (result) *result = OpenKey(path);
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

// ---------------- Comdlg32, Toolkit

// Ten pixels a character, twenty a line; lines end with CR LF.
Point Desktop::MeasureText(const Font& font, const std::wstring& text) {
  std::size_t widest = 0, lines = 0;
  for (std::size_t start = 0, end = 0; end != std::wstring::npos; start = end + 2, ++lines) {
    end = text.find(L"\r\n", start);
    widest = std::max(widest, std::min(end, text.size()) - start);
  }
  return {static_cast<std::int32_t>(10 * widest), static_cast<std::int32_t>(20 * lines)};
}

}  // namespace orv::fake
