// The toolkit's services on Win32.
#include "win32/toolkit.h"

#include <objbase.h>
#include <wincodec.h>

#include <cmath>
#include <cstdint>
#include <utility>

#include "win32/adapters.h"
#include "win32/system_library.h"
#include "win32/thread_stack.h"
#include "utility/failure_log.h"
#include "utility/picture_size.h"

namespace orv::win32 {

namespace {

// Releases a COM interface pointer when the scope ends.
template <typename T>
struct ComPtr {
  T* p = nullptr;
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& o) noexcept : p(std::exchange(o.p, nullptr)) {}
  ComPtr& operator=(ComPtr&& o) noexcept {
    if (this != &o) {
      if (p) p->Release();
      p = std::exchange(o.p, nullptr);
    }
    return *this;
  }
  ~ComPtr() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

bool FitsInMemory(UINT w, UINT h) { return orv::FitsInMemory(PictureSize{w, h}); }

// Decodes any picture format the system's imaging codecs know into a
// 32-bit top-down DIB section; nullptr when the file does not decode.
// COM is started on the first picture, on the window's thread, where every
// picture is decoded.
HBITMAP DecodePicture(const std::wstring& path) {
  // No decoder sees a picture whose header does not say that it fits: one
  // that lies about its size can crash a decoder before it can be asked.
  SystemKernel32 files;
  if (!PictureMayBeDecoded(files, path)) return nullptr;
  static const auto create =
      SystemFunction<decltype(&::CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
  static const bool com_ready = [] {
    const auto init = SystemFunction<decltype(&::CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    return init && SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED));
  }();
  ComPtr<IWICImagingFactory> factory;
  if (!create || !com_ready ||
      FAILED(create(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                    reinterpret_cast<void**>(&factory)))) {
    return nullptr;
  }
  ComPtr<IWICBitmapDecoder> decoder;
  if (FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                WICDecodeMetadataCacheOnDemand, &decoder))) {
    return nullptr;
  }
  ComPtr<IWICBitmapFrameDecode> frame;
  if (FAILED(decoder->GetFrame(0, &frame))) return nullptr;
  // The decoder's own idea of the size must fit too.
  UINT w = 0, h = 0;
  if (FAILED(frame->GetSize(&w, &h)) || !FitsInMemory(w, h)) return nullptr;
  ComPtr<IWICFormatConverter> converter;
  if (FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom))) {
    return nullptr;
  }
  if (FAILED(converter->GetSize(&w, &h)) || !FitsInMemory(w, h)) return nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = static_cast<LONG>(w);
  bi.bmiHeader.biHeight = -static_cast<LONG>(h);
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bmp) return nullptr;
  if (FAILED(converter->CopyPixels(nullptr, w * 4, w * h * 4, static_cast<BYTE*>(bits)))) {
    return nullptr;
  }
  return bmp.release();
}

}  // namespace

HFONT FontCache::Get(const Font& font) {
  const long height = -std::lround(font.size * dpi_ / 72.0);
  Key key{font.name, height, font.bold, font.italic, font.underline, font.charset};
  auto& slot = fonts_[key];
  if (!slot) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = static_cast<BYTE>(font.charset);
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, font.name.c_str(), LF_FACESIZE);
    slot.reset(CreateFontIndirectW(&lf));
  }
  return slot.get();
}

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : instance_(instance) { SetDpi(WindowDpi(nullptr)); }

void Win32Toolkit::SetDpi(int dpi) {
  dpi_ = dpi > 0 ? dpi : 96;
  fonts_.SetDpi(dpi_);
}

// GetDpiForWindow is missing before Windows 10; the screen's logical density
// stands in there, and before any window exists.
int Win32Toolkit::WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto for_window = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (hwnd && for_window) {
    if (const UINT dpi = for_window(hwnd)) return static_cast<int>(dpi);
  }
  const WindowDc screen(nullptr);
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

// One keyboard per session: the first start owns a named mutex.
bool Win32Toolkit::PrevInstance() {
  instance_mutex_.reset(CreateMutexW(nullptr, FALSE, L"Local\\OrvKey.Keyboard.Instance"));
  return GetLastError() == ERROR_ALREADY_EXISTS;
}

std::wstring Win32Toolkit::AppPath() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  // A program on a network share may be named in the system's own forms:
  // "\\?\UNC\server\share" on Windows for a long path, "UNC\server\share"
  // under Wine. Either is given back as "\\server\share".
  for (std::wstring_view form : {L"\\\\?\\UNC\\", L"UNC\\"})
    if (path.starts_with(form)) path.replace(0, form.size(), L"\\\\");
  if (path.starts_with(L"\\\\?\\")) path.erase(0, 4);
  const auto slash = path.find_last_of(L'\\');
  if (slash == std::wstring::npos) return path;
  // A drive root keeps its backslash, as "C:\".
  return slash == 2 ? path.substr(0, 3) : path.substr(0, slash);
}

std::wstring Win32Toolkit::AppExeName() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name = path;
  if (auto slash = name.find_last_of(L'\\'); slash != std::wstring::npos) name.erase(0, slash + 1);
  if (auto dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.erase(dot);
  return name;
}

Picture Win32Toolkit::LoadPicture(const std::wstring& path) {
  HBITMAP bmp = DecodePicture(path);
  if (!bmp) return 0;
  const Picture id = next_picture_++;
  pictures_[id].reset(bmp);
  return id;
}

Picture Win32Toolkit::ResourcePicture(const std::wstring& name) {
  HBITMAP bmp = static_cast<HBITMAP>(
      LoadImageW(instance_, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bmp) return 0;
  const Picture id = next_picture_++;
  pictures_[id].reset(bmp);
  return id;
}

// Nearest-neighbour, never blended: a transparent colour stays exact.
Picture Win32Toolkit::ScreenPicture(const std::wstring& name) {
  const Picture designed = ResourcePicture(name);
  HBITMAP source = Bitmap(designed);
  if (!source || dpi_ == 96) return designed;
  BITMAP bm{};
  GetObjectW(source, sizeof(bm), &bm);
  const int w = ScaleFrom96(bm.bmWidth, dpi_), h = ScaleFrom96(std::abs(bm.bmHeight), dpi_);
  const WindowDc screen(nullptr);
  UniqueBitmap scaled(CreateCompatibleBitmap(screen.get(), w, h));
  if (!scaled) {
    LogFailure(L"CreateCompatibleBitmap (scaled picture) failed: error " +
               std::to_wstring(GetLastError()));
    return designed;
  }
  {
    UniqueDc from(CreateCompatibleDC(screen.get())), to(CreateCompatibleDC(screen.get()));
    const SelectedObject in(from.get(), source), out(to.get(), scaled.get());
    SetStretchBltMode(to.get(), COLORONCOLOR);
    StretchBlt(to.get(), 0, 0, w, h, from.get(), 0, 0, bm.bmWidth, std::abs(bm.bmHeight), SRCCOPY);
  }
  pictures_[designed] = std::move(scaled);
  return designed;
}

Hbitmap Win32Toolkit::PictureBitmap(Picture picture) { return FromNative(Bitmap(picture)); }

// A loaded resource stays mapped with the program's image: nothing to free.
void Win32Toolkit::WorkerStarted() { GiveBackUnusedStack(); }

void Win32Toolkit::WorkerFinished() {
  if (worker_finished) worker_finished();
}

std::span<const std::uint8_t> Win32Toolkit::ResourceData(const std::wstring& name) {
  HRSRC found = FindResourceW(instance_, name.c_str(), RT_RCDATA);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(instance_, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const std::uint8_t*>(bytes), SizeofResource(instance_, found)};
}

HBITMAP Win32Toolkit::Bitmap(Picture picture) const {
  auto it = pictures_.find(picture);
  return it == pictures_.end() ? nullptr : it->second.get();
}

// Once the program has ended nothing more is pumped, as no event reaches a
// model, and a wait is only a wait: the quit message in the queue would
// wake every one at once.
// Inside the system's loop that drags a window by its background, the
// input is that loop's: a lift taken by a pump nested in it (a tip sliding
// out while the keyboard is dragged) never reaches the loop, which would go
// on dragging after the finger has gone and take the next press for its own.
void Win32Toolkit::DoEvents() {
  if (ended_) return;
  if (sync) sync();
  const UINT no_input = in_move_loop_ ? PM_QS_POSTMESSAGE | PM_QS_PAINT | PM_QS_SENDMESSAGE : 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | no_input)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Win32Toolkit::WaitForEvents(std::uint32_t ms) {
  if (ended_) return Sleep(ms);
  if (sync) sync();
  const DWORD wake = in_move_loop_ ? QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_SENDMESSAGE
                                  : QS_ALLINPUT;
  MsgWaitForMultipleObjectsEx(0, nullptr, ms, wake, MWMO_INPUTAVAILABLE);
  DoEvents();
}

Point Win32Toolkit::MeasureText(const Font& font, const std::wstring& text) {
  if (!measuring_) measuring_.reset(CreateCompatibleDC(nullptr));
  if (!measuring_) {
    const WindowDc screen(nullptr);
    return Measure(screen.get(), fonts_.Get(font), text);
  }
  return Measure(measuring_.get(), fonts_.Get(font), text);
}

Point Win32Toolkit::Measure(HDC dc, HFONT font, const std::wstring& text) {
  const SelectedObject selected(dc, font);
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  return {r.right - r.left, r.bottom - r.top};
}

// The process is not ended here, inside a window procedure: the keyboard
// window is destroyed, the message loop ends once the event is done, and WinMain
// returns, taking down the hook's thread, the subclasses and the windows in
// order. Until then no event reaches a model.
void Win32Toolkit::End() {
  if (std::exchange(ended_, true)) return;
  if (destroy_main_window)
    destroy_main_window();
  else
    PostQuitMessage(0);
}

}  // namespace orv::win32
