#include "toolkit/render/renderer.h"

#include "toolkit/skin/resource_source.h"

namespace toolkit {

std::vector<std::string> FontFallbacks(const std::string& family) {
  std::vector<std::string> families;
  if (!family.empty()) families.push_back(family);
  for (const char* cjk : {"WenQuanYi Micro Hei", "Noto Sans CJK SC", "Microsoft YaHei", "SimSun"}) {
    if (family != cjk) families.emplace_back(cjk);
  }
  return families;
}

bool Renderer::DrawImage(const CRect& controlRect, std::string_view imageText, const ResourceSource& source,
                         ImageCache& cache, const HslShift* shift) {
  auto spec = ParseImageSpec(imageText);
  if (!spec || spec->fade == 0) return false;
  const Image* image = cache.Get(source, spec->file, spec->mask, shift);
  if (!image) return false;
  CRect src(0, 0, image->Width(), image->Height());
  if (spec->source) src = spec->source->Intersect(src);
  if (src.IsEmpty()) return false;
  CRect dst = controlRect;
  if (spec->dest) {
    dst = *spec->dest;
    dst.Offset(controlRect.left, controlRect.top);
    dst = dst.Intersect(controlRect);
  }
  if (dst.IsEmpty()) return false;
  double alpha = spec->fade / 255.0;
  const CRect& c = spec->corner;
  if (c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0) {
    Blit(*image, src, dst, alpha, spec->xTiled, spec->yTiled);
    return true;
  }
  // Nine slices: the corners keep their size, the edges stretch one way, the middle both.
  int sx[4] = {src.left, src.left + c.left, src.right - c.right, src.right};
  int sy[4] = {src.top, src.top + c.top, src.bottom - c.bottom, src.bottom};
  int dx[4] = {dst.left, dst.left + c.left, dst.right - c.right, dst.right};
  int dy[4] = {dst.top, dst.top + c.top, dst.bottom - c.bottom, dst.bottom};
  for (int j = 0; j < 3; ++j) {
    for (int i = 0; i < 3; ++i) {
      CRect part(sx[i], sy[j], sx[i + 1], sy[j + 1]);
      CRect to(dx[i], dy[j], dx[i + 1], dy[j + 1]);
      if (!part.IsEmpty() && !to.IsEmpty()) Blit(*image, part, to, alpha, false, false);
    }
  }
  return true;
}

}  // namespace toolkit
