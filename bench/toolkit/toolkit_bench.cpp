// Build and paint time of an 850 x 600 skin with 150 controls, on the headless backend (the same
// renderer the real windows use, minus the window system's copy to the screen).
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <string>

#include "toolkit/render/cairo_renderer.h"
#include "toolkit/testing/headless.h"
#include "toolkit/ui.h"

namespace {

// 30 rows of five controls: labels, buttons, options, edits and progress bars, with images.
std::string MakeSkin() {
  std::string skin = R"(<?xml version="1.0" encoding="UTF-8"?>
<Window size="850,600" caption="0,0,0,116" roundcorner="13,12"><Font name="Arial" size="12" default="true"/>
<Default name="Button" value="normalimage=&quot;btn_normal.png&quot; hotimage=&quot;btn_hot.png&quot; textcolor=&quot;#FFFFFFFF&quot; align=&quot;center&quot;"/>
<VerticalLayout bkimage="background.png">)";
  for (int row = 0; row < 30; ++row) {
    std::string r = std::to_string(row);
    skin += "<HorizontalLayout height=\"20\" childpadding=\"6\" inset=\"10,0,10,0\">";
    skin += "<Label name=\"label" + r + "\" text=\"{c #0c6eaf}用户" + r + "{/c} 已登录\" width=\"150\"/>";
    skin += "<Button name=\"button" + r + "\" text=\"确认\" width=\"72\"/>";
    skin += "<Option name=\"option" + r + "\" text=\"自动登录\" width=\"90\" group=\"g" + std::to_string(row % 3) +
            "\" normalimage=\"file='check_off.png' dest='0,2,16,18'\" selectedimage=\"file='check_on.png' dest='0,2,16,18'\" textpadding=\"20,0,0,0\"/>";
    skin += "<Edit name=\"edit" + r + "\" text=\"account" + r + "\" width=\"180\" bkimage=\"edit_bg.png\"/>";
    skin += "<Progress name=\"progress" + r + "\" value=\"" + std::to_string(row * 3) +
            "\" bkimage=\"progress_bg.png\" foreimage=\"progress_fg.png\" isstretchfore=\"false\"/>";
    skin += "</HorizontalLayout>";
  }
  skin += "</VerticalLayout></Window>";
  return skin;
}

class BenchWnd : public CSkinWnd {
 public:
  explicit BenchWnd(const std::string& skin) : skin_(skin) {}

 protected:
  LPCTSTR GetWindowClassName() const override { return "UIBench"; }
  CStdString GetSkinFile() const override { return CStdString(skin_); }

 private:
  const std::string& skin_;
};

void Setup() {
  toolkit::headless::Use();
  std::string sample = VYMERA_SKINVIEW_SAMPLE;
  CPaintManagerUI::SetResourcePath(CStdString(sample.substr(0, sample.rfind('/'))));
}

void BM_BuildSkin(benchmark::State& state) {
  Setup();
  std::string skin = MakeSkin();
  for (auto _ : state) {
    CPaintManagerUI pm;
    CDialogBuilder builder;
    CControlUI* root = builder.Create(CStdString(skin), nullptr, nullptr, &pm);
    benchmark::DoNotOptimize(root);
    delete root;
  }
}
BENCHMARK(BM_BuildSkin)->Unit(benchmark::kMicrosecond);

void BM_PaintFrame(benchmark::State& state) {
  Setup();
  std::string skin = MakeSkin();
  BenchWnd w(skin);
  if (!w.Create(nullptr, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 0, 850, 600)) {
    state.SkipWithError("skin did not build");
    return;
  }
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 850, 600);
  cairo_t* cr = cairo_create(surface);
  toolkit::CairoRenderer renderer(cr);
  w.OnNativePaint(renderer);  // first frame loads the images
  for (auto _ : state) {
    w.OnNativePaint(renderer);
    cairo_surface_flush(surface);
  }
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  DestroyWindow(w);
}
BENCHMARK(BM_PaintFrame)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
