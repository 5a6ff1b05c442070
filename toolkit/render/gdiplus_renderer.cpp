#include "toolkit/render/gdiplus_renderer.h"

#include <algorithm>

#include "toolkit/backend/win32/gdiplus_canvas.h"
#include "toolkit/skin/markup.h"

namespace toolkit {
namespace {

win32::Box BoxOf(const CRect& r) { return {r.left, r.top, r.right, r.bottom}; }

win32::FontChoice ChoiceOf(const FontSpec& font) {
  win32::FontChoice choice;
  choice.families = FontFallbacks(font.family);
  choice.size = font.size;
  choice.bold = font.bold;
  choice.italic = font.italic;
  choice.underline = font.underline;
  return choice;
}

std::vector<win32::PathStep> StepsOf(const Path& path) {
  std::vector<win32::PathStep> steps;
  steps.reserve(path.Steps().size());
  for (const Path::Step& s : path.Steps()) {
    win32::PathStep step;
    step.op = s.op == Path::Op::kMove   ? win32::PathStep::kMove
              : s.op == Path::Op::kLine ? win32::PathStep::kLine
              : s.op == Path::Op::kArc  ? win32::PathStep::kArc
                                        : win32::PathStep::kClose;
    step.x = s.x;
    step.y = s.y;
    step.radius = s.radius;
    step.from = s.from;
    step.to = s.to;
    steps.push_back(step);
  }
  return steps;
}

win32::FontChoice RunFont(const FontSpec& base, const TextRun& run) {
  win32::FontChoice choice = ChoiceOf(base);
  choice.bold = choice.bold || run.bold;
  choice.italic = choice.italic || run.italic;
  choice.underline = choice.underline || run.underline;
  return choice;
}

}  // namespace

void GdiplusRenderer::Clear(bool transparent) { canvas_.Clear(transparent ? 0x00000000u : 0xFFFFFFFFu); }

void GdiplusRenderer::FillRect(const CRect& rect, uint32_t argb) {
  if ((argb >> 24) == 0 || rect.IsEmpty()) return;
  canvas_.FillRect(BoxOf(rect), argb);
}

void GdiplusRenderer::DrawBorder(const CRect& rect, uint32_t argb, int size) {
  if ((argb >> 24) == 0 || size <= 0 || rect.IsEmpty()) return;
  canvas_.DrawBorder(BoxOf(rect), argb, size);
}

void GdiplusRenderer::Blit(const Image& image, const CRect& src, const CRect& dst, double alpha, bool tileX,
                           bool tileY) {
  if (src.IsEmpty() || dst.IsEmpty()) return;
  canvas_.Blit(image.Pixels(), image.Width(), image.Height(), BoxOf(src), BoxOf(dst), alpha, tileX, tileY);
}

void GdiplusRenderer::DrawText(const CRect& rect, std::string_view text, const FontSpec& font, uint32_t color,
                               unsigned format, bool markup) {
  if (text.empty() || rect.IsEmpty()) return;
  win32::TextPlacement placement;
  placement.align = (format & kTextCenter) ? 1 : (format & kTextRight) ? 2 : 0;
  placement.valign = (format & kTextVCenter) ? 1 : (format & kTextBottom) ? 2 : 0;
  placement.wrap = (format & kTextWordBreak) != 0 || (format & kTextSingleLine) == 0;
  placement.ellipsis = (format & kTextEndEllipsis) != 0;
  std::vector<TextRun> runs;
  if (markup) runs = ParseMarkup(text);
  bool plain = runs.size() <= 1 && (runs.empty() || (!runs[0].color && !runs[0].bold && !runs[0].italic &&
                                                     !runs[0].underline));
  if (plain) {
    std::string shown = runs.empty() ? std::string(text) : runs[0].text;
    canvas_.DrawString(shown, ChoiceOf(font), color, BoxOf(rect), placement);
    return;
  }
  // Runs of their own colour or weight follow each other on one line, placed as a whole.
  int total = 0;
  std::vector<int> widths;
  for (const TextRun& run : runs) {
    widths.push_back(canvas_.Measure(run.text, RunFont(font, run), 0).right);
    total += widths.back();
  }
  int x = rect.left;
  if (placement.align == 1) x = rect.left + (rect.GetWidth() - total) / 2;
  if (placement.align == 2) x = rect.right - total;
  placement.align = 0;
  placement.wrap = false;
  canvas_.PushClip(BoxOf(rect));
  for (size_t i = 0; i < runs.size(); ++i) {
    CRect cell(x, rect.top, x + widths[i] + 1, rect.bottom);
    canvas_.DrawString(runs[i].text, RunFont(font, runs[i]), runs[i].color.value_or(color), BoxOf(cell), placement);
    x += widths[i];
  }
  canvas_.PopClip();
}

int GdiplusRenderer::TextHeight(std::string_view text, const FontSpec& font, int width, bool markup) {
  if (text.empty()) return 0;
  std::string plain;
  if (markup) {
    for (const TextRun& run : ParseMarkup(text)) plain += run.text;
  } else {
    plain = std::string(text);
  }
  return canvas_.Measure(plain, ChoiceOf(font), std::max(1, width)).bottom;
}

int GdiplusRenderer::TextWidth(std::string_view text, const FontSpec& font) {
  if (text.empty()) return 0;
  return canvas_.Measure(text, ChoiceOf(font), 0).right;
}

void GdiplusRenderer::FillPath(const Path& path, uint32_t argb, double alpha) {
  auto a = static_cast<uint32_t>(((argb >> 24) & 0xFF) * std::clamp(alpha, 0.0, 1.0) + 0.5);
  canvas_.FillPath(StepsOf(path), (a << 24) | (argb & 0x00FFFFFFu));
}

void GdiplusRenderer::StrokePath(const Path& path, uint32_t argb, const StrokeStyle& style) {
  canvas_.StrokePath(StepsOf(path), argb, style.width, style.dash, style.round);
}

void GdiplusRenderer::PushClip(const CRect& rect) { canvas_.PushClip(BoxOf(rect)); }

void GdiplusRenderer::PopClip() { canvas_.PopClip(); }

}  // namespace toolkit
