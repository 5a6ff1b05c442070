#pragma once
// What the controls draw with: colours, skin images and text, in client coordinates. Renderer is the
// interface; CairoRenderer (cairo_renderer.h) draws onto a cairo context for both backends here, and
// another renderer implements the same calls. Decoded images are kept as cairo image surfaces.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/core/rect.h"
#include "toolkit/render/hsl.h"
#include "toolkit/skin/image_spec.h"

typedef struct _cairo_surface cairo_surface_t;

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

// A decoded image, premultiplied ARGB.
class Image {
 public:
  // Takes the surface over.
  explicit Image(cairo_surface_t* surface);
  cairo_surface_t* Surface() const { return surface_.get(); }
  int Width() const;
  int Height() const;

 private:
  struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const;
  };
  std::unique_ptr<cairo_surface_t, SurfaceRelease> surface_;
};

// Decodes PNG or JPEG bytes; pixels of the mask colour become transparent. Null when undecodable.
std::unique_ptr<Image> DecodeImage(std::string_view bytes, std::optional<uint32_t> mask);

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

class Renderer {
 public:
  virtual ~Renderer() = default;

  // Colours with alpha 0 draw nothing.
  virtual void FillRect(const CRect& rect, uint32_t argb) = 0;
  virtual void DrawBorder(const CRect& rect, uint32_t argb, int size) = 0;
  // Draws an image text of the attribute language over controlRect, tinted by shift when given;
  // false when it names nothing drawable.
  virtual bool DrawImage(const CRect& controlRect, std::string_view imageText, const ResourceSource& source,
                         ImageCache& cache, const HslShift* shift = nullptr) = 0;
  // The text in rect; colours in markup and the text colour ignore alpha, as the skins expect.
  virtual void DrawText(const CRect& rect, std::string_view text, const FontSpec& font, uint32_t color,
                        unsigned format, bool markup) = 0;
  // Height the text takes when wrapped to width.
  virtual int TextHeight(std::string_view text, const FontSpec& font, int width, bool markup) = 0;
  // Width of the text on one line, without markup.
  virtual int TextWidth(std::string_view text, const FontSpec& font) = 0;

  virtual void PushClip(const CRect& rect) = 0;
  virtual void PopClip() = 0;
};

}  // namespace toolkit
