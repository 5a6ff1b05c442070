#include "toolkit/render/image.h"

#include <filesystem>
#include <system_error>

#include "toolkit/skin/resource_source.h"

namespace toolkit {
namespace {

// Changes when the file is rewritten: its time and size; 0 for no file.
int64_t FileStamp(const std::string& path) {
  if (path.empty()) return 0;
  std::error_code error;
  std::filesystem::path p(reinterpret_cast<const char8_t*>(path.c_str()));
  auto time = std::filesystem::last_write_time(p, error);
  if (error) return 0;
  auto size = std::filesystem::file_size(p, error);
  if (error) return 0;
  return static_cast<int64_t>(time.time_since_epoch().count()) + static_cast<int64_t>(size);
}

}  // namespace

Image::Image(int width, int height) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<size_t>(width) * height, 0);
}

std::unique_ptr<Image> DecodeImage(std::string_view bytes, std::optional<uint32_t> mask) {
  if (bytes.size() < 8) return nullptr;
  std::unique_ptr<Image> image = DecodeImageBytes(bytes);
  if (!image || image->Width() == 0) return nullptr;
  if (mask) ApplyMask(*image, *mask);
  return image;
}

void ApplyMask(Image& image, uint32_t rgb) {
  for (int y = 0; y < image.Height(); ++y) {
    uint32_t* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      if ((row[x] >> 24) == 0xFF && (row[x] & 0x00FFFFFFu) == (rgb & 0x00FFFFFFu)) row[x] = 0;
    }
  }
}

std::unique_ptr<Image> ShiftedCopy(const Image& image, const HslShift& shift) {
  auto copy = std::make_unique<Image>(image.Width(), image.Height());
  for (int y = 0; y < image.Height(); ++y) {
    const uint32_t* in = image.Row(y);
    uint32_t* out = copy->Row(y);
    for (int x = 0; x < image.Width(); ++x) out[x] = ShiftPremultiplied(in[x], shift);
  }
  return copy;
}

const Image* ImageCache::Get(const ResourceSource& source, const std::string& file, std::optional<uint32_t> mask,
                             const HslShift* shift) {
  std::string key = NormalizePath(file) + (mask ? "#" + std::to_string(*mask) : std::string());
  int64_t stamp = FileStamp(source.DiskPath(file));
  auto it = images_.find(key);
  if (it == images_.end() || it->second.stamp != stamp) {
    auto bytes = source.Read(file);
    Entry entry;
    entry.stamp = stamp;
    if (bytes) entry.image = DecodeImage(*bytes, mask);
    // A failed read is remembered too, so a missing image costs one look-up per change, not per paint.
    it = images_.insert_or_assign(key, std::move(entry)).first;
  }
  const Image* image = it->second.image.get();
  if (!image || !shift || shift->IsIdentity()) return image;
  // Tinted copies are kept beside the image they come from and made again when it changes.
  std::string tinted = key + "|" + std::to_string(shift->hue) + "," + std::to_string(shift->saturation) + "," +
                       std::to_string(shift->lightness);
  auto t = images_.find(tinted);
  if (t != images_.end() && t->second.stamp == stamp && t->second.image) return t->second.image.get();
  Entry copy;
  copy.stamp = stamp;
  copy.image = ShiftedCopy(*image, *shift);
  return images_.insert_or_assign(tinted, std::move(copy)).first->second.image.get();
}

}  // namespace toolkit
