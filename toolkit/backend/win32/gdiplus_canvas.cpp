#include "toolkit/backend/win32/gdiplus_canvas.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "toolkit/backend/win32/wide.h"

namespace toolkit::win32 {
namespace {

constexpr double kDegrees = 180.0 / 3.14159265358979323846;

// GDI+ is started once, on first use, and left running: images may live until the process ends.
void EnsureGdiplus() {
  static std::once_flag once;
  std::call_once(once, [] {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
  });
}

Gdiplus::Color ColorOf(uint32_t argb, double alpha = 1.0) {
  auto a = static_cast<BYTE>(std::lround(((argb >> 24) & 0xFF) * std::clamp(alpha, 0.0, 1.0)));
  return Gdiplus::Color(a, static_cast<BYTE>(argb >> 16), static_cast<BYTE>(argb >> 8), static_cast<BYTE>(argb));
}

Gdiplus::RectF RectOf(const Box& box) {
  return Gdiplus::RectF(static_cast<Gdiplus::REAL>(box.left), static_cast<Gdiplus::REAL>(box.top),
                        static_cast<Gdiplus::REAL>(box.Width()), static_cast<Gdiplus::REAL>(box.Height()));
}

// Whether the installed family has a glyph for every character of text (checked through GDI, which
// reports missing glyphs; GDI+ would draw empty boxes).
bool HasGlyphs(const std::wstring& family, const std::wstring& text) {
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH, family.c_str());
  HGDIOBJ old = SelectObject(dc, font);
  std::vector<WORD> glyphs(text.size());
  DWORD done = GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                                GGI_MARK_NONEXISTING_GLYPHS);
  bool all = done != GDI_ERROR && std::none_of(glyphs.begin(), glyphs.end(), [](WORD g) { return g == 0xFFFF; });
  SelectObject(dc, old);
  DeleteObject(font);
  DeleteDC(dc);
  return all;
}

// The first family of the choice that is installed and, for text beyond ASCII, draws all of it; the
// first installed one when none draws all. Remembered per family list and kind of text.
std::wstring PickFamily(const FontChoice& font, const std::wstring& text) {
  std::wstring wide;
  for (wchar_t c : text) {
    if (c >= 0x80 && wide.find(c) == std::wstring::npos && wide.size() < 64) wide += c;
  }
  std::string key;
  for (const std::string& f : font.families) key += f + "|";
  key += wide.empty() ? "ascii" : Narrow(wide);
  static std::mutex mutex;
  static std::map<std::string, std::wstring> chosen;
  std::lock_guard<std::mutex> lock(mutex);
  if (auto it = chosen.find(key); it != chosen.end()) return it->second;
  if (chosen.size() > 512) chosen.clear();
  std::wstring first;
  std::wstring pick;
  for (const std::string& name : font.families) {
    std::wstring family = Widen(name);
    Gdiplus::FontFamily probe(family.c_str());
    if (probe.GetLastStatus() != Gdiplus::Ok || !probe.IsAvailable()) continue;
    if (first.empty()) first = family;
    if (wide.empty() || HasGlyphs(family, wide)) {
      pick = family;
      break;
    }
  }
  if (pick.empty()) pick = first.empty() ? L"Tahoma" : first;
  chosen[key] = pick;
  return pick;
}

class FontHolder {
 public:
  FontHolder(const FontChoice& choice, const std::wstring& text) : family_(PickFamily(choice, text).c_str()) {
    int style = Gdiplus::FontStyleRegular;
    if (choice.bold) style |= Gdiplus::FontStyleBold;
    if (choice.italic) style |= Gdiplus::FontStyleItalic;
    if (choice.underline) style |= Gdiplus::FontStyleUnderline;
    font_ = std::make_unique<Gdiplus::Font>(&family_, static_cast<Gdiplus::REAL>(std::max(1, choice.size)), style,
                                            Gdiplus::UnitPixel);
  }
  const Gdiplus::Font* Get() const { return font_.get(); }

 private:
  Gdiplus::FontFamily family_;
  std::unique_ptr<Gdiplus::Font> font_;
};

std::unique_ptr<Gdiplus::StringFormat> FormatFor(const TextPlacement& p) {
  auto format = std::unique_ptr<Gdiplus::StringFormat>(Gdiplus::StringFormat::GenericTypographic()->Clone());
  int flags = Gdiplus::StringFormatFlagsMeasureTrailingSpaces;
  if (!p.wrap) flags |= Gdiplus::StringFormatFlagsNoWrap;
  format->SetFormatFlags(flags);
  format->SetAlignment(p.align == 1 ? Gdiplus::StringAlignmentCenter
                       : p.align == 2 ? Gdiplus::StringAlignmentFar
                                      : Gdiplus::StringAlignmentNear);
  format->SetLineAlignment(p.valign == 1 ? Gdiplus::StringAlignmentCenter
                           : p.valign == 2 ? Gdiplus::StringAlignmentFar
                                           : Gdiplus::StringAlignmentNear);
  format->SetTrimming(p.ellipsis ? Gdiplus::StringTrimmingEllipsisCharacter : Gdiplus::StringTrimmingNone);
  return format;
}

void BuildPath(Gdiplus::GraphicsPath& path, const std::vector<PathStep>& steps) {
  Gdiplus::PointF current;
  bool open = false;
  for (const PathStep& s : steps) {
    switch (s.op) {
      case PathStep::kMove:
        path.StartFigure();
        current = Gdiplus::PointF(static_cast<Gdiplus::REAL>(s.x), static_cast<Gdiplus::REAL>(s.y));
        open = false;
        break;
      case PathStep::kLine: {
        Gdiplus::PointF to(static_cast<Gdiplus::REAL>(s.x), static_cast<Gdiplus::REAL>(s.y));
        path.AddLine(current, to);
        current = to;
        open = true;
        break;
      }
      case PathStep::kArc: {
        auto r = static_cast<Gdiplus::REAL>(s.radius);
        path.AddArc(static_cast<Gdiplus::REAL>(s.x) - r, static_cast<Gdiplus::REAL>(s.y) - r, 2 * r, 2 * r,
                    static_cast<Gdiplus::REAL>(s.from * kDegrees),
                    static_cast<Gdiplus::REAL>((s.to - s.from) * kDegrees));
        current = Gdiplus::PointF(static_cast<Gdiplus::REAL>(s.x + s.radius * std::cos(s.to)),
                                  static_cast<Gdiplus::REAL>(s.y + s.radius * std::sin(s.to)));
        open = true;
        break;
      }
      case PathStep::kClose:
        if (open) path.CloseFigure();
        open = false;
        break;
    }
  }
}

int EncoderClsid(const wchar_t* mime, CLSID& clsid) {
  UINT count = 0, size = 0;
  Gdiplus::GetImageEncodersSize(&count, &size);
  if (size == 0) return -1;
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  Gdiplus::GetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i) {
    if (wcscmp(codecs[i].MimeType, mime) == 0) {
      clsid = codecs[i].Clsid;
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

struct Canvas::State {
  std::unique_ptr<Gdiplus::Bitmap> bitmap;
  std::unique_ptr<Gdiplus::Graphics> graphics;
  std::vector<Gdiplus::GraphicsState> clips;
};

Canvas::Canvas(uint32_t* pixels, int width, int height) : state_(std::make_unique<State>()), width_(width), height_(height) {
  EnsureGdiplus();
  state_->bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppPARGB,
                                                     reinterpret_cast<BYTE*>(pixels));
  state_->graphics = std::make_unique<Gdiplus::Graphics>(state_->bitmap.get());
  state_->graphics->SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAliasGridFit);
  state_->graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
  state_->graphics->SetCompositingMode(Gdiplus::CompositingModeSourceOver);
}

Canvas::~Canvas() {
  state_->graphics.reset();  // flushes into the pixels before the bitmap lets go of them
  state_->bitmap.reset();
}

void Canvas::Clear(uint32_t argb) { state_->graphics->Clear(ColorOf(argb)); }

void Canvas::FillRect(const Box& box, uint32_t argb) {
  Gdiplus::SolidBrush brush(ColorOf(argb));
  state_->graphics->SetSmoothingMode(Gdiplus::SmoothingModeNone);
  state_->graphics->FillRectangle(&brush, RectOf(box));
}

void Canvas::DrawBorder(const Box& box, uint32_t argb, int size) {
  // Inside the box, as four bands: the same pixels whatever the pen's alignment rules.
  FillRect({box.left, box.top, box.right, box.top + size}, argb);
  FillRect({box.left, box.bottom - size, box.right, box.bottom}, argb);
  FillRect({box.left, box.top + size, box.left + size, box.bottom - size}, argb);
  FillRect({box.right - size, box.top + size, box.right, box.bottom - size}, argb);
}

void Canvas::Blit(const uint32_t* pixels, int w, int h, const Box& src, const Box& dst, double alpha, bool tileX,
                  bool tileY) {
  Gdiplus::Bitmap image(w, h, w * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)));
  Gdiplus::Graphics& g = *state_->graphics;
  Gdiplus::ColorMatrix matrix = {{{1, 0, 0, 0, 0},
                                  {0, 1, 0, 0, 0},
                                  {0, 0, 1, 0, 0},
                                  {0, 0, 0, static_cast<Gdiplus::REAL>(alpha), 0},
                                  {0, 0, 0, 0, 1}}};
  Gdiplus::ImageAttributes attributes;
  if (alpha < 1.0) attributes.SetColorMatrix(&matrix);
  if (tileX || tileY) {
    // Repeated at its own size from dst's corner; a direction not tiled is stretched.
    Gdiplus::Bitmap part(src.Width(), src.Height(), PixelFormat32bppPARGB);
    {
      Gdiplus::Graphics pg(&part);
      pg.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
      pg.DrawImage(&image, Gdiplus::Rect(0, 0, src.Width(), src.Height()), src.left, src.top, src.Width(),
                   src.Height(), Gdiplus::UnitPixel, &attributes);
    }
    Gdiplus::TextureBrush brush(&part, Gdiplus::WrapModeTile);
    brush.TranslateTransform(static_cast<Gdiplus::REAL>(dst.left), static_cast<Gdiplus::REAL>(dst.top));
    brush.ScaleTransform(tileX ? 1.0f : static_cast<Gdiplus::REAL>(dst.Width()) / src.Width(),
                         tileY ? 1.0f : static_cast<Gdiplus::REAL>(dst.Height()) / src.Height());
    g.FillRectangle(&brush, RectOf(dst));
    return;
  }
  bool scaled = src.Width() != dst.Width() || src.Height() != dst.Height();
  g.SetInterpolationMode(scaled ? Gdiplus::InterpolationModeHighQualityBilinear
                                : Gdiplus::InterpolationModeNearestNeighbor);
  // Edges sample their own pixels again instead of fading into transparency.
  attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY);
  g.DrawImage(&image, Gdiplus::Rect(dst.left, dst.top, dst.Width(), dst.Height()), src.left, src.top, src.Width(),
              src.Height(), Gdiplus::UnitPixel, &attributes);
}

void Canvas::DrawString(std::string_view text, const FontChoice& font, uint32_t rgb, const Box& box,
                        const TextPlacement& placement) {
  std::wstring wide = Widen(text);
  if (wide.empty()) return;
  FontHolder holder(font, wide);
  auto format = FormatFor(placement);
  Gdiplus::SolidBrush brush(ColorOf(rgb | 0xFF000000u));
  Gdiplus::Graphics& g = *state_->graphics;
  g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  auto state = g.Save();
  g.SetClip(RectOf(box), Gdiplus::CombineModeIntersect);
  g.DrawString(wide.c_str(), static_cast<INT>(wide.size()), holder.Get(), RectOf(box), format.get(), &brush);
  g.Restore(state);
}

Box Canvas::Measure(std::string_view text, const FontChoice& font, int wrapWidth) {
  std::wstring wide = Widen(text);
  if (wide.empty()) return {};
  FontHolder holder(font, wide);
  TextPlacement placement;
  placement.wrap = wrapWidth > 0;
  auto format = FormatFor(placement);
  Gdiplus::RectF layout(0, 0, wrapWidth > 0 ? static_cast<Gdiplus::REAL>(wrapWidth) : 100000.0f, 100000.0f);
  Gdiplus::RectF bound;
  state_->graphics->MeasureString(wide.c_str(), static_cast<INT>(wide.size()), holder.Get(), layout, format.get(),
                                  &bound);
  return {0, 0, static_cast<int>(std::ceil(bound.Width)), static_cast<int>(std::ceil(bound.Height))};
}

void Canvas::FillPath(const std::vector<PathStep>& steps, uint32_t argb) {
  Gdiplus::GraphicsPath path;
  BuildPath(path, steps);
  Gdiplus::SolidBrush brush(ColorOf(argb));
  state_->graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  state_->graphics->FillPath(&brush, &path);
}

void Canvas::StrokePath(const std::vector<PathStep>& steps, uint32_t argb, double width,
                        const std::vector<double>& dash, bool round) {
  Gdiplus::GraphicsPath path;
  BuildPath(path, steps);
  Gdiplus::Pen pen(ColorOf(argb), static_cast<Gdiplus::REAL>(width));
  if (!dash.empty() && width > 0) {
    // GDI+ counts dashes in line widths.
    std::vector<Gdiplus::REAL> pattern;
    for (double d : dash) pattern.push_back(static_cast<Gdiplus::REAL>(std::max(d / width, 0.1)));
    pen.SetDashPattern(pattern.data(), static_cast<INT>(pattern.size()));
  }
  if (round) {
    pen.SetLineJoin(Gdiplus::LineJoinRound);
    pen.SetStartCap(Gdiplus::LineCapRound);
    pen.SetEndCap(Gdiplus::LineCapRound);
  }
  state_->graphics->SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
  state_->graphics->DrawPath(&pen, &path);
}

void Canvas::PushClip(const Box& box) {
  state_->clips.push_back(state_->graphics->Save());
  state_->graphics->SetClip(RectOf(box), Gdiplus::CombineModeIntersect);
}

void Canvas::PopClip() {
  if (state_->clips.empty()) return;
  state_->graphics->Restore(state_->clips.back());
  state_->clips.pop_back();
}

bool DecodePixels(std::string_view bytes, int maxSide, int& width, int& height, std::vector<uint32_t>& pixels) {
  EnsureGdiplus();
  IStream* stream = SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
  if (!stream) return false;
  std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
  stream->Release();
  if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return false;
  int w = static_cast<int>(bitmap->GetWidth()), h = static_cast<int>(bitmap->GetHeight());
  if (w < 1 || h < 1 || w > maxSide || h > maxSide) return false;
  Gdiplus::BitmapData data{};
  Gdiplus::Rect all(0, 0, w, h);
  if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data) != Gdiplus::Ok) return false;
  pixels.resize(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    const auto* row = static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride;
    std::copy_n(reinterpret_cast<const uint32_t*>(row), w, pixels.data() + static_cast<size_t>(y) * w);
  }
  bitmap->UnlockBits(&data);
  width = w;
  height = h;
  return true;
}

bool WritePng(const uint32_t* pixels, int width, int height, const std::string& path) {
  EnsureGdiplus();
  CLSID png{};
  if (EncoderClsid(L"image/png", png) < 0) return false;
  Gdiplus::Bitmap bitmap(width, height, width * 4, PixelFormat32bppPARGB,
                         reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)));
  return bitmap.Save(Widen(path).c_str(), &png, nullptr) == Gdiplus::Ok;
}

}  // namespace toolkit::win32
