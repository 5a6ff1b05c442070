#pragma once
// The renderer on Linux, for the GTK windows and the headless twin: draws onto a cairo context,
// text through pango with the system's CJK fonts.

#include "toolkit/render/renderer.h"

typedef struct _cairo cairo_t;

namespace toolkit {

class CairoRenderer final : public Renderer {
 public:
  explicit CairoRenderer(cairo_t* cr) : cr_(cr) {}

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
  cairo_t* cr_;
};

}  // namespace toolkit
