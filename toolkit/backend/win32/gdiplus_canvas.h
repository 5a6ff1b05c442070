#pragma once
// Drawing with GDI+ onto premultiplied ARGB pixels the caller owns: what the toolkit's renderer on
// Windows comes down to. Also decodes images and writes pictures as PNG.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/backend/win32/system_types.h"

namespace toolkit::win32 {

class Canvas {
 public:
  // Draws on width x height pixels (rows without padding), which outlive the canvas.
  Canvas(uint32_t* pixels, int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  void Clear(uint32_t argb);
  void FillRect(const Box& box, uint32_t argb);
  void DrawBorder(const Box& box, uint32_t argb, int size);
  // Source part src of an image of w x h premultiplied pixels into dst, with opacity alpha (0..1).
  void Blit(const uint32_t* pixels, int w, int h, const Box& src, const Box& dst, double alpha, bool tileX,
            bool tileY);
  void DrawString(std::string_view text, const FontChoice& font, uint32_t rgb, const Box& box,
                  const TextPlacement& placement);
  // Width and height the text takes, wrapped at wrapWidth (0: one line).
  Box Measure(std::string_view text, const FontChoice& font, int wrapWidth);
  void FillPath(const std::vector<PathStep>& steps, uint32_t argb);
  void StrokePath(const std::vector<PathStep>& steps, uint32_t argb, double width, const std::vector<double>& dash,
                  bool round);
  void PushClip(const Box& box);
  void PopClip();

 private:
  struct State;
  std::unique_ptr<State> state_;
  int width_;
  int height_;
};

// Decodes PNG, JPEG or BMP bytes into premultiplied pixels; false when undecodable or a side is
// larger than maxSide.
bool DecodePixels(std::string_view bytes, int maxSide, int& width, int& height, std::vector<uint32_t>& pixels);
// Writes width x height premultiplied pixels as a PNG file (UTF-8 path); false on failure.
bool WritePng(const uint32_t* pixels, int width, int height, const std::string& path);

}  // namespace toolkit::win32
