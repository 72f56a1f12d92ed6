// ShapeWindowFromPicture against the per-run union it replaced, both on the
// real GDI, side by side in one run, on a 632 x 217 picture with dithered
// edges shaping a child window, as the tip's icon box is. First checks that
// the two regions are equal; prints the times and the ratio of the whole
// routine (REGIONS_RATIO=...), which bench/check_regions_ratio.sh holds to
// its floor. Exits 1 only when the regions differ.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "bench/dithered_picture.h"
#include "win32/adapters.h"
#include "win32/toolkit.h"
#include "win32/unique_handle.h"
#include "utility/KelpUltimate.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr orv::Picture kPicture = 1;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The toolkit with one picture of our own making.
class BenchToolkit : public orv::win32::Win32Toolkit {
 public:
  BenchToolkit(HINSTANCE instance, HBITMAP picture) : Win32Toolkit(instance), picture_(picture) {}
  orv::Hbitmap PictureBitmap(orv::Picture picture) override {
    return picture == kPicture ? reinterpret_cast<std::intptr_t>(picture_) : 0;
  }

 private:
  HBITMAP picture_;
};

HBITMAP MakeBitmap(const std::vector<orv::Color>& pixels) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = orv::bench::kPictureWidth;
  bi.bmiHeader.biHeight = -orv::bench::kPictureHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return nullptr;
  auto* out = static_cast<std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    const orv::Color c = pixels[i];  // 0x00BBGGRR to 0x00RRGGBB
    out[i] = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  }
  return bmp;
}

}  // namespace

int main() {
  using namespace orv;
  HBITMAP picture = MakeBitmap(bench::DitheredPicture());
  // The program shapes a picture box: a child window, as here.
  HWND form =
      CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"regions", WS_POPUP, 0, 0, bench::kPictureWidth,
                      bench::kPictureHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND window =
      CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, bench::kPictureWidth,
                      bench::kPictureHeight, form, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!picture || !window) {
    std::printf("cannot make the picture or the window\n");
    return 1;
  }
  win32::SystemUser32 user32;
  win32::SystemGdi32 gdi32;
  win32::SystemKernel32 kernel32;
  win32::SystemAdvapi32 advapi32;
  win32::SystemShell32 shell32;
  win32::SystemComdlg32 comdlg32;
  BenchToolkit toolkit(GetModuleHandleW(nullptr), picture);
  Ports ports{user32, gdi32, kernel32, advapi32, shell32, comdlg32, toolkit};
  KelpUltimate kelp(ports);
  const Hwnd wnd = win32::FromHwnd(window);

  const auto as_hrgn = [](const OwnedRegion& r) { return reinterpret_cast<HRGN>(r.get().value()); };
  std::vector<Rect> runs;
  bool equal = false;
  DWORD rects = 0;
  {
    const RegionBuilder pixels(ports, kPicture);
    runs = pixels.PixelRuns(bench::kTransparent);
    const OwnedRegion by_union = pixels.RegionByUnion(runs);
    const OwnedRegion one_step = pixels.RegionFromRuns(runs);
    equal = EqualRgn(as_hrgn(by_union), as_hrgn(one_step));
    rects = GetRegionData(as_hrgn(one_step), 0, nullptr);
  }
  std::printf("picture %dx%d, %zu runs, region data %lu bytes, regions equal: %s\n",
              bench::kPictureWidth, bench::kPictureHeight, runs.size(), rects,
              equal ? "yes" : "NO");
  if (!equal) return 1;

  // The old way: the same copy and scan, one union per run, then the window.
  auto shape_by_union = [&] {
    const RegionBuilder pixels(ports, kPicture);
    OwnedRegion region = pixels.RegionByUnion(pixels.PixelRuns(bench::kTransparent));
    if (user32.SetWindowRgn(wnd, region.get(), true) != 0) region.release();
  };
  auto shape_now = [&] {
    Color transparent = bench::kTransparent;
    kelp.ShapeWindowFromPicture(wnd, kPicture, transparent);
  };

  constexpr int kRounds = 7;
  std::vector<double> old_ms, new_ms;
  for (int i = 0; i < kRounds; ++i) {
    auto t = Clock::now();
    shape_by_union();
    old_ms.push_back(Ms(Clock::now() - t));
    t = Clock::now();
    shape_now();
    new_ms.push_back(Ms(Clock::now() - t));
  }
  // The region building alone, on the same run list, and for the record the
  // whole list in a single ExtCreateRegion call.
  std::vector<double> union_ms, build_ms, single_ms;
  const RegionBuilder pixels(ports, kPicture);
  for (int i = 0; i < kRounds; ++i) {
    auto t = Clock::now();
    pixels.RegionByUnion(runs);
    union_ms.push_back(Ms(Clock::now() - t));
    t = Clock::now();
    pixels.RegionFromRuns(runs);
    build_ms.push_back(Ms(Clock::now() - t));
    t = Clock::now();
    OwnRegion(gdi32, gdi32.ExtCreateRegion(runs));
    single_ms.push_back(Ms(Clock::now() - t));
  }
  const double old_median = Median(old_ms), new_median = Median(new_ms);
  std::printf("whole routine: per-run union %.3f ms, ShapeWindowFromPicture %.3f ms\n", old_median,
              new_median);
  std::printf(
      "region alone: per-run union %.3f ms, banded build %.3f ms, "
      "one ExtCreateRegion of the list %.3f ms (medians of %d rounds)\n",
      Median(union_ms), Median(build_ms), Median(single_ms), kRounds);
  std::printf("REGIONS_RATIO=%.1f\n", old_median / new_median);
  DestroyWindow(form);
  DeleteObject(picture);
  return 0;
}
