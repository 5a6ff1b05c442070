#pragma once
// What the controls draw with: colours, skin images, text and a few shapes, in client coordinates.
// Renderer is the interface; each platform's renderer (cairo_renderer.h, gdiplus_renderer.h)
// implements it. Images are plain pixels (image.h), so no drawing library's type reaches the
// portable code.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/rect.h"
#include "toolkit/render/hsl.h"
#include "toolkit/render/image.h"
#include "toolkit/skin/image_spec.h"

namespace toolkit {

class ResourceSource;

struct FontSpec {
  std::string family = "Arial";
  int size = 12;  // pixels
  bool bold = false;
  bool underline = false;
  bool italic = false;
};

// Text placement flags.
enum TextFormat : unsigned {
  kTextLeft = 0x0,
  kTextCenter = 0x1,
  kTextRight = 0x2,
  kTextTop = 0x0,
  kTextVCenter = 0x4,
  kTextBottom = 0x8,
  kTextWordBreak = 0x10,
  kTextSingleLine = 0x20,
  kTextEndEllipsis = 0x8000,
};

// The families a text is drawn in, best first: the skin's own, then the CJK faces that keep Chinese
// readable where the named one is missing.
std::vector<std::string> FontFallbacks(const std::string& family);

// An outline of lines and circular arcs (angles in radians, clockwise on the screen from the
// positive x axis, as y grows downwards).
class Path {
 public:
  enum class Op { kMove, kLine, kArc, kClose };
  struct Step {
    Op op;
    double x = 0, y = 0;                         // point, or the arc's centre
    double radius = 0, from = 0, to = 0;         // arcs only
  };
  Path& MoveTo(double x, double y) { return Add({Op::kMove, x, y}); }
  Path& LineTo(double x, double y) { return Add({Op::kLine, x, y}); }
  // An arc from angle from to angle to (to > from), joined by a line to the point before it.
  Path& Arc(double cx, double cy, double radius, double from, double to) {
    return Add({Op::kArc, cx, cy, radius, from, to});
  }
  Path& Close() { return Add({Op::kClose}); }
  const std::vector<Step>& Steps() const { return steps_; }

 private:
  Path& Add(Step step) {
    steps_.push_back(step);
    return *this;
  }
  std::vector<Step> steps_;
};

// How a path's outline is drawn.
struct StrokeStyle {
  double width = 1;
  std::vector<double> dash;  // on, off, ... lengths; empty for a solid line
  bool round = false;        // round caps and joins instead of flat caps and mitred joins
};

class Renderer {
 public:
  virtual ~Renderer() = default;

  // Fills the whole target with white, or with nothing for a see-through window.
  virtual void Clear(bool transparent) = 0;
  // Colours with alpha 0 draw nothing.
  virtual void FillRect(const CRect& rect, uint32_t argb) = 0;
  virtual void DrawBorder(const CRect& rect, uint32_t argb, int size) = 0;
  // Draws an image text of the attribute language over controlRect, tinted by shift when given;
  // false when it names nothing drawable. The same for every renderer: source part, destination,
  // nine-slice corners and fade come down to Blit.
  bool DrawImage(const CRect& controlRect, std::string_view imageText, const ResourceSource& source,
                 ImageCache& cache, const HslShift* shift = nullptr);
  // The text in rect; colours in markup and the text colour ignore alpha, as the skins expect.
  virtual void DrawText(const CRect& rect, std::string_view text, const FontSpec& font, uint32_t color,
                        unsigned format, bool markup) = 0;
  // Height the text takes when wrapped to width.
  virtual int TextHeight(std::string_view text, const FontSpec& font, int width, bool markup) = 0;
  // Width of the text on one line, without markup.
  virtual int TextWidth(std::string_view text, const FontSpec& font) = 0;

  // Shapes, anti-aliased; the colour's alpha is multiplied by alpha.
  virtual void FillPath(const Path& path, uint32_t argb, double alpha = 1.0) = 0;
  virtual void StrokePath(const Path& path, uint32_t argb, const StrokeStyle& style) = 0;

  virtual void PushClip(const CRect& rect) = 0;
  virtual void PopClip() = 0;

 protected:
  // Draws source part src of image into dst: stretched, or repeated at its own size along a tiled
  // direction, with opacity alpha (0..1). Only src is sampled, so the pixels around a part of a
  // sprite sheet never bleed in.
  virtual void Blit(const Image& image, const CRect& src, const CRect& dst, double alpha, bool tileX,
                    bool tileY) = 0;
};

}  // namespace toolkit
