// Picture sizes from the files' headers.
#include "utility/picture_size.h"

#include <algorithm>
#include <string_view>

namespace orv {

namespace {

// A file's bytes read a window at a time: a header walk that skips from
// segment to segment reads only where it lands.
class Source {
 public:
  explicit Source(const ReadPictureBytes& read) : read_(read) {}

  // The byte at `at`; no value past the end of the file.
  std::optional<std::uint8_t> Byte(std::uint64_t at) {
    if (at < base_ || at >= base_ + window_.size()) {
      // A file too long for its walk is not read to its end.
      if (++reads_ > kMaxReads) return std::nullopt;
      base_ = at;
      window_ = read_(at, kWindow);
      if (window_.empty()) return std::nullopt;
    }
    return static_cast<std::uint8_t>(window_[static_cast<std::size_t>(at - base_)]);
  }
  // `n` bytes from `at`, big- or little-endian; no value past the end.
  std::optional<std::uint32_t> Number(std::uint64_t at, int n, bool big_endian) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) {
      const auto b = Byte(at + static_cast<std::uint64_t>(big_endian ? i : n - 1 - i));
      if (!b) return std::nullopt;
      v = (v << 8) | *b;
    }
    return v;
  }
  bool Starts(std::string_view signature) {
    for (std::size_t i = 0; i < signature.size(); ++i) {
      if (Byte(i) != static_cast<std::uint8_t>(signature[i])) return false;
    }
    return true;
  }

 private:
  static constexpr std::size_t kWindow = 4096;
  static constexpr int kMaxReads = 256;
  const ReadPictureBytes& read_;
  std::uint64_t base_ = 0;
  std::string window_;
  int reads_ = 0;
};

std::optional<PictureSize> Sized(std::uint64_t width, std::uint64_t height,
                                 std::uint32_t file_bytes_per_pixel) {
  if (width == 0 || height == 0 || width > UINT32_MAX || height > UINT32_MAX) return std::nullopt;
  return PictureSize{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                     std::max<std::uint32_t>(4, file_bytes_per_pixel)};
}

// Segments up to the first frame header (SOF0 to SOF15, less the three
// codes among them that are tables). A height of 0 is given later, among
// the pixels: no size here.
std::optional<PictureSize> JpegSize(Source& s) {
  std::uint64_t at = 2;
  for (int segment = 0; segment < 1024; ++segment) {
    if (s.Byte(at) != 0xFF) return std::nullopt;
    // Any number of fill bytes may stand before a marker's code.
    int fill = 0;
    while (s.Byte(at) == 0xFF) {
      if (++fill > 1024) return std::nullopt;
      ++at;
    }
    const auto code = s.Byte(at++);
    if (!code) return std::nullopt;
    if (*code == 0x01 || (*code >= 0xD0 && *code <= 0xD8)) continue;  // no length
    if (*code == 0xD9 || *code == 0xDA) return std::nullopt;  // pixels, or the end, come first
    const auto length = s.Number(at, 2, true);
    if (!length || *length < 2) return std::nullopt;
    if (*code >= 0xC0 && *code <= 0xCF && *code != 0xC4 && *code != 0xC8 && *code != 0xCC) {
      const auto precision = s.Byte(at + 2), components = s.Byte(at + 7);
      const auto height = s.Number(at + 3, 2, true), width = s.Number(at + 5, 2, true);
      if (*length < 8 || !precision || !components || !height || !width) return std::nullopt;
      return Sized(*width, *height, *components * (*precision > 8 ? 2u : 1u));
    }
    at += *length;
  }
  return std::nullopt;
}

// The header chunk comes first, as the format requires.
std::optional<PictureSize> PngSize(Source& s) {
  if (s.Byte(12) != 'I' || s.Byte(13) != 'H' || s.Byte(14) != 'D' || s.Byte(15) != 'R') {
    return std::nullopt;
  }
  const auto width = s.Number(16, 4, true), height = s.Number(20, 4, true);
  const auto depth = s.Byte(24), colour = s.Byte(25);
  if (!width || !height || !depth || !colour) return std::nullopt;
  std::uint32_t channels = 0;
  switch (*colour) {
    case 0: case 3: channels = 1; break;
    case 2: channels = 3; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: return std::nullopt;
  }
  return Sized(*width, *height, channels * (*depth > 8 ? 2u : 1u));
}

// The logical screen, grown to hold the first frame where that frame
// reaches beyond it: a decoder gives the first frame.
std::optional<PictureSize> GifSize(Source& s) {
  const auto width = s.Number(6, 2, false), height = s.Number(8, 2, false);
  const auto flags = s.Byte(10);
  if (!width || !height || !flags) return std::nullopt;
  std::uint64_t at = 13;
  if (*flags & 0x80) at += 3u << ((*flags & 7) + 1);  // the global colour table
  for (int block = 0; block < 1024; ++block) {
    const auto kind = s.Byte(at);
    if (kind == 0x2C) {
      const auto left = s.Number(at + 1, 2, false), top = s.Number(at + 3, 2, false);
      const auto w = s.Number(at + 5, 2, false), h = s.Number(at + 7, 2, false);
      if (!left || !top || !w || !h) return std::nullopt;
      return Sized(std::max<std::uint64_t>(*width, *left + *w),
                   std::max<std::uint64_t>(*height, *top + *h), 1);
    }
    if (kind != 0x21 || !s.Byte(at + 1)) return std::nullopt;  // no frame at all
    at += 2;
    // An extension's data, in blocks that each say their length.
    for (int sub = 0;; ++sub) {
      const auto n = s.Byte(at);
      if (!n || sub > 65536) return std::nullopt;
      at += 1 + *n;
      if (*n == 0) break;
    }
  }
  return std::nullopt;
}

// The two header forms in use: the old one with 16-bit sides, and every
// later one with 32-bit sides, the height negative for a top-down picture.
std::optional<PictureSize> BmpSize(Source& s) {
  const auto header = s.Number(14, 4, false);
  if (!header) return std::nullopt;
  std::optional<std::uint32_t> width, height, bits;
  if (*header == 12) {
    width = s.Number(18, 2, false);
    height = s.Number(20, 2, false);
    bits = s.Number(24, 2, false);
  } else if (*header >= 40) {
    width = s.Number(18, 4, false);
    height = s.Number(22, 4, false);
    bits = s.Number(28, 2, false);
    if (height && *height == 0x80000000u) return std::nullopt;
    if (height && (*height & 0x80000000u)) height = 0u - *height;
    if (width && (*width & 0x80000000u)) return std::nullopt;
  }
  if (!width || !height || !bits) return std::nullopt;
  return Sized(*width, *height, (*bits + 7) / 8);
}

}  // namespace

std::optional<PictureSize> PictureSizeOf(const ReadPictureBytes& read) {
  Source s(read);
  if (s.Starts("\xFF\xD8")) return JpegSize(s);
  if (s.Starts("\x89PNG\r\n\x1A\n")) return PngSize(s);
  if (s.Starts("GIF87a") || s.Starts("GIF89a")) return GifSize(s);
  if (s.Starts("BM")) return BmpSize(s);
  return std::nullopt;
}

bool FitsInMemory(const PictureSize& size) {
  return size.width > 0 && size.height > 0 && size.width <= kMaxPictureSide &&
         size.height <= kMaxPictureSide &&
         std::uint64_t{size.width} * size.height * std::max<std::uint32_t>(4, size.bytes_per_pixel) <=
             kMaxPictureBytes;
}

bool PictureMayBeDecoded(Kernel32& kernel32, const std::wstring& path) {
  const auto size = PictureSizeOf([&](std::uint64_t offset, std::size_t count) {
    std::string bytes;
    return kernel32.ReadFilePart(path, offset, count, bytes) ? bytes : std::string();
  });
  return size && FitsInMemory(*size);
}

}  // namespace orv
