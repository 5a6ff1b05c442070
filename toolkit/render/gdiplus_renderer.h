#pragma once
// The renderer on Windows: draws with GDI+ onto the pixels of a window's paint or a picture, text in
// the skins' fonts with the CJK faces behind them.

#include "toolkit/render/renderer.h"

namespace toolkit {
namespace win32 {
class Canvas;
}

class GdiplusRenderer final : public Renderer {
 public:
  explicit GdiplusRenderer(win32::Canvas& canvas) : canvas_(canvas) {}

  void Clear(bool transparent) override;
  void FillRect(const CRect& rect, uint32_t argb) override;
  void DrawBorder(const CRect& rect, uint32_t argb, int size) override;
  void DrawText(const CRect& rect, std::string_view text, const FontSpec& font, uint32_t color, unsigned format,
                bool markup) override;
  int TextHeight(std::string_view text, const FontSpec& font, int width, bool markup) override;
  int TextWidth(std::string_view text, const FontSpec& font) override;
  void FillPath(const Path& path, uint32_t argb, double alpha) override;
  void StrokePath(const Path& path, uint32_t argb, const StrokeStyle& style) override;
  void PushClip(const CRect& rect) override;
  void PopClip() override;

 protected:
  void Blit(const Image& image, const CRect& src, const CRect& dst, double alpha, bool tileX, bool tileY) override;

 private:
  win32::Canvas& canvas_;
};

}  // namespace toolkit
