#pragma once
// The renderer of both backends here: draws onto a cairo context, text through pango with the
// system's CJK fonts.

#include "toolkit/render/renderer.h"

typedef struct _cairo cairo_t;

namespace toolkit {

class CairoRenderer final : public Renderer {
 public:
  explicit CairoRenderer(cairo_t* cr) : cr_(cr) {}

  void FillRect(const CRect& rect, uint32_t argb) override;
  void DrawBorder(const CRect& rect, uint32_t argb, int size) override;
  bool DrawImage(const CRect& controlRect, std::string_view imageText, const ResourceSource& source, ImageCache& cache,
                 const HslShift* shift = nullptr) override;
  void DrawText(const CRect& rect, std::string_view text, const FontSpec& font, uint32_t color, unsigned format,
                bool markup) override;
  int TextHeight(std::string_view text, const FontSpec& font, int width, bool markup) override;
  int TextWidth(std::string_view text, const FontSpec& font) override;
  void PushClip(const CRect& rect) override;
  void PopClip() override;

  // For the controls that draw vector shapes (the chart) until the interface has such shapes.
  cairo_t* Context() const { return cr_; }

 private:
  cairo_t* cr_;
};

}  // namespace toolkit
