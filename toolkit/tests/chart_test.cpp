#include <cairo.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "toolkit/testing/skin_folder.h"

using namespace toolkit_testing;

namespace {

constexpr const char* kChartSkin = R"(<Window size="600,320">
  <Font name="WenQuanYi Micro Hei" size="12" default="true"/>
  <VerticalLayout bkcolor="#FFFFFFFF">
    <Chart name="chart" barheight="70" emptytext="还没有称重记录" baremptytext="还没有步数记录" marktext="未上传"/>
  </VerticalLayout></Window>)";

uint32_t Channel(uint32_t argb, int shift) { return (argb >> shift) & 0xFF; }

// Pixels whose colour differs visibly from the golden picture's, or -1 when the sizes differ.
long Differing(cairo_surface_t* a, cairo_surface_t* b) {
  int w = cairo_image_surface_get_width(a), h = cairo_image_surface_get_height(a);
  if (w != cairo_image_surface_get_width(b) || h != cairo_image_surface_get_height(b)) return -1;
  long count = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t p = PixelAt(a, x, y), q = PixelAt(b, x, y);
      for (int s : {0, 8, 16, 24}) {
        if (std::abs(static_cast<int>(Channel(p, s)) - static_cast<int>(Channel(q, s))) > 40) {
          ++count;
          break;
        }
      }
    }
  }
  return count;
}

// Compares the shot with golden/NAME.png. VYMERA_UPDATE_GOLDEN=1 writes the shot as the golden
// picture instead; a mismatch leaves the shot beside the build's screenshots to look at.
void ExpectGolden(cairo_surface_t* shot, const std::string& name) {
  std::string golden = std::string(VYMERA_GOLDEN_DIR) + "/" + name + ".png";
  const char* update = std::getenv("VYMERA_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    ASSERT_EQ(cairo_surface_write_to_png(shot, golden.c_str()), CAIRO_STATUS_SUCCESS);
    return;
  }
  cairo_surface_t* expected = cairo_image_surface_create_from_png(golden.c_str());
  long differing = cairo_surface_status(expected) == CAIRO_STATUS_SUCCESS ? Differing(shot, expected) : -1;
  cairo_surface_destroy(expected);
  // Text may shift by a pixel between font builds; the drawing may not.
  long allowed = cairo_image_surface_get_width(shot) * cairo_image_surface_get_height(shot) / 200;
  if (differing >= 0 && differing <= allowed) return;
  std::filesystem::create_directories(VYMERA_SCREENSHOT_DIR);
  std::string actual = std::string(VYMERA_SCREENSHOT_DIR) + "/" + name + "-actual.png";
  cairo_surface_write_to_png(shot, actual.c_str());
  ADD_FAILURE() << name << ": " << differing << " pixels differ from " << golden << " (allowed " << allowed
                << "); the shot is " << actual;
}

class Chart : public SkinFolderTest {
 protected:
  std::unique_ptr<SkinWindow> window;
  CChartUI* chart = nullptr;

  void SetUp() override {
    SkinFolderTest::SetUp();
    window = Open(kChartSkin, 600, 320);
    chart = window->pm.FindControlAs<CChartUI>("chart");
    ASSERT_NE(chart, nullptr);
    chart->SetTitles("体重 (kg)", "每日步数");
  }

  // A month of weighings wobbling down around 61 kg, the last two unsent, and a step count a day.
  void Month() {
    chart->SetDays(0, 29);
    std::vector<CChartUI::Point> points;
    std::vector<CChartUI::Bar> bars;
    for (int d = 0; d < 30; ++d) {
      if (d % 5 != 3) points.push_back({d, 62.0 - d * 0.04 + 0.4 * std::sin(d * 0.9), d >= 28});
      bars.push_back({d, 4000.0 + (d * 2731 % 7000)});
    }
    chart->SetLine(points);
    chart->SetBars(bars);
    chart->SetReference(61.0, "参考体重 61.0 kg");
    chart->SetTicks({{0, "11-01"}, {7, "11-08"}, {14, "11-15"}, {21, "11-22"}, {29, "11-30"}});
  }
};

bool Near(uint32_t argb, uint32_t want) {
  for (int s : {0, 8, 16}) {
    if (std::abs(static_cast<int>(Channel(argb, s)) - static_cast<int>(Channel(want, s))) > 24) return false;
  }
  return true;
}

}  // namespace

TEST(RoundAxisTest, StepsAreRoundAndCoverTheValues) {
  CChartUI::Axis a = toolkit::RoundAxis(60.3, 62.4, 4, 2);
  EXPECT_LE(a.low, 60.3);
  EXPECT_GE(a.high, 62.4);
  EXPECT_DOUBLE_EQ(a.step, 1);
  EXPECT_LE((a.high - a.low) / a.step, 4.5);

  CChartUI::Axis one = toolkit::RoundAxis(70, 70, 4, 2);  // a single value is not a zero-height axis
  EXPECT_LT(one.low, 70);
  EXPECT_GT(one.high, 70);

  CChartUI::Axis wide = toolkit::RoundAxis(0, 12345, 4, 1);
  EXPECT_DOUBLE_EQ(wide.step, 5000);
  EXPECT_DOUBLE_EQ(wide.high, 15000);

  CChartUI::Axis bad = toolkit::RoundAxis(NAN, 3, 4, 1);
  EXPECT_LT(bad.low, bad.high);
}

TEST_F(Chart, AMonthDrawsLineReferenceUnsentMarksAndBars) {
  Month();
  Shot shot = Take(*window);
  CRect plot = chart->LinePlot();
  int markX = static_cast<int>(chart->DayX(29));
  int markY = static_cast<int>(chart->ValueY(62.0 - 29 * 0.04 + 0.4 * std::sin(29 * 0.9)));
  EXPECT_TRUE(Near(shot.At(markX, markY), 0xFFE8A33D)) << std::hex << shot.At(markX, markY);
  int refY = static_cast<int>(std::round(chart->ValueY(61.0)));
  bool green = false;
  for (int x = plot.left; x < plot.left + 12; ++x) green = green || Near(shot.At(x, refY), 0xFF2EAD5B);
  EXPECT_TRUE(green);
  CRect band = chart->BarBand();
  EXPECT_TRUE(Near(shot.At(static_cast<int>(chart->DayX(5)), band.bottom - 3), 0xFF9CCDF0));
  EXPECT_GT(band.top, plot.bottom);  // the bars stand below the line, apart from it
  ExpectGolden(shot.surface, "chart_month");
}

TEST_F(Chart, OneReadingIsAPointWithItsValueOnAnAxisAroundIt) {
  chart->SetDays(0, 29);
  chart->SetLine({{20, 58.4, false}});
  chart->SetReference(58.0, "参考体重 58.0 kg");
  chart->SetTicks({{0, "11-01"}, {29, "11-30"}});
  CChartUI::Axis axis = chart->ValueAxis();
  EXPECT_LT(axis.low, 58.0);
  EXPECT_GT(axis.high, 58.4);
  Shot shot = Take(*window);
  EXPECT_TRUE(Near(shot.At(static_cast<int>(chart->DayX(20)) + 3, static_cast<int>(chart->ValueY(58.4))),
                   0xFF3D9BE0));
  ExpectGolden(shot.surface, "chart_single");
}

TEST_F(Chart, NothingToShowDrawsTheEmptyTextOverAFaintGrid) {
  chart->SetDays(0, 29);
  EXPECT_TRUE(chart->IsEmpty());
  Shot shot = Take(*window);
  CRect band = chart->BarBand();
  EXPECT_EQ(shot.At(static_cast<int>(chart->DayX(5)), band.bottom - 3), 0xFFFFFFFFu);  // no bars
  ExpectGolden(shot.surface, "chart_empty");
}

TEST_F(Chart, AFarReferenceDoesNotFlattenTheReadings) {
  Month();
  chart->SetReference(45.0, "参考体重 45.0 kg");
  CChartUI::Axis axis = chart->ValueAxis();
  EXPECT_GT(axis.low, 50);  // drawn without the reference line, not squeezed into a sliver
  EXPECT_NE(Take(*window).surface, nullptr);
}
