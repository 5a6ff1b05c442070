// Image decoding on Windows: GDI+ reads PNG, JPEG and BMP from memory.

#include <vector>

#include "toolkit/backend/win32/gdiplus_canvas.h"
#include "toolkit/render/image.h"

namespace toolkit {

std::unique_ptr<Image> DecodeImageBytes(std::string_view bytes) {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  if (!win32::DecodePixels(bytes, Image::kMaxSide, width, height, pixels)) return nullptr;
  auto image = std::make_unique<Image>(width, height);
  if (image->Width() == 0) return nullptr;
  std::copy(pixels.begin(), pixels.end(), image->Pixels());
  return image;
}

}  // namespace toolkit
