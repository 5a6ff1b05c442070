#pragma once
// Decoded skin images as plain pixels, so that the portable code and every renderer share them: each
// renderer wraps the same rows in its own image type when it draws.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/render/hsl.h"

namespace toolkit {

class ResourceSource;

// A decoded image: premultiplied ARGB pixels (alpha in the top byte), rows top to bottom without
// padding.
class Image {
 public:
  // Transparent; sides outside 1..kMaxSide make an empty image (Width() == 0).
  Image(int width, int height);
  static constexpr int kMaxSide = 8192;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return width_ * 4; }
  uint32_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * width_; }
  const uint32_t* Pixels() const { return pixels_.data(); }
  uint32_t* Pixels() { return pixels_.data(); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

// Decodes PNG, JPEG or BMP bytes with the platform's decoder; pixels of the mask colour become
// transparent. Null when undecodable or larger than Image::kMaxSide a side.
std::unique_ptr<Image> DecodeImage(std::string_view bytes, std::optional<uint32_t> mask);
// The platform's decoder alone: what DecodeImage gives before the mask. Null when undecodable.
std::unique_ptr<Image> DecodeImageBytes(std::string_view bytes);

// Clears the opaque pixels of colour rgb (0xRRGGBB).
void ApplyMask(Image& image, uint32_t rgb);
// A copy of image with every pixel shifted.
std::unique_ptr<Image> ShiftedCopy(const Image& image, const HslShift& shift);

// The images one window has loaded. Files read from the disk are loaded again when they change
// (a user's picture is rewritten while the window stands).
class ImageCache {
 public:
  // The image (tinted by shift when given), or null when it cannot be read or decoded.
  const Image* Get(const ResourceSource& source, const std::string& file, std::optional<uint32_t> mask,
                   const HslShift* shift = nullptr);
  void Clear() { images_.clear(); }

 private:
  struct Entry {
    std::unique_ptr<Image> image;
    int64_t stamp = 0;
  };
  std::map<std::string, Entry> images_;
};

}  // namespace toolkit
