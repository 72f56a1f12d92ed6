// The size a picture file declares in its header, read before any decoder
// sees the file: a picture too big for a keyboard background is refused
// before its pixels can take any memory, or a decoder crash on a header
// that lies about them.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/kernel32.h"

namespace orv {

struct PictureSize {
  std::uint32_t width = 0, height = 0;
  // What one pixel takes in the file's own form, at least what it takes
  // once decoded for the screen (32 bits).
  std::uint32_t bytes_per_pixel = 4;
};

// The biggest picture decoded: 8192 pixels a side and 64 MB of pixels.
inline constexpr std::uint32_t kMaxPictureSide = 8192;
inline constexpr std::uint64_t kMaxPictureBytes = std::uint64_t{64} << 20;

// Up to `count` bytes of the file from `offset`: fewer at its end, none
// past it.
using ReadPictureBytes = std::function<std::string(std::uint64_t offset, std::size_t count)>;

// The size of a JPEG, PNG, GIF or BMP picture (the first frame of a GIF);
// no value for any other file, or one whose header is cut short, damaged,
// or leaves the size to be found among the pixels.
std::optional<PictureSize> PictureSizeOf(const ReadPictureBytes& read);

bool FitsInMemory(const PictureSize& size);

// Whether the picture file may be given to a decoder: it declares a size,
// and one that fits.
bool PictureMayBeDecoded(Kernel32& kernel32, const std::wstring& path);

}  // namespace orv
