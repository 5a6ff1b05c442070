// The window pattern every skinned window follows: dragging by the caption band over plain
// controls only, and the rounded region that cuts the corners at every size.

#include "toolkit/testing/skin_folder.h"

using namespace toolkit_testing;

namespace {

class Caption : public SkinFolderTest {};

const char* kBand = R"(<Window size="400,100" caption="10,0,20,50"><VerticalLayout name="root">
    <HorizontalLayout name="band" height="50">
      <Label name="lbl" width="40"/>
      <Button name="btn" width="40"/>
      <Option name="opt" width="40"/>
      <Text name="txt" width="40"/>
      <Edit name="edt" width="40"/>
      <Progress name="prg" width="40"/>
      <Container name="box" width="40"/>
      <Control name="ctl" width="40"/>
      <Button name="off" width="40" enabled="false"/>
      <Button name="ghost" float="true" pos="360,0,400,50" visible="false"/>
    </HorizontalLayout>
    <HorizontalLayout name="below"><Label name="low" width="40"/></HorizontalLayout>
  </VerticalLayout></Window>)";

}  // namespace

TEST_F(Caption, EveryControlClassInAndOutOfTheBand) {
  auto w = Open(kBand, 400, 100);
  CPaintManagerUI& pm = w->pm;
  auto main = [&](int x, int y) { return toolkit::CaptionHitTest(pm, POINT{x, y}, {"ButtonUI", "OptionUI", "TextUI"}); };
  auto dialog = [&](int x, int y) { return toolkit::CaptionHitTest(pm, POINT{x, y}, {"ButtonUI"}); };
  auto centre = [&](const char* name) {
    CRect r = pm.FindControl(name)->GetPos();
    return POINT{r.left + r.GetWidth() / 2, r.top + r.GetHeight() / 2};
  };
  struct Case {
    const char* name;
    LRESULT main;
    LRESULT dialog;
  };
  for (const Case& c : {Case{"lbl", HTCAPTION, HTCAPTION}, Case{"btn", HTCLIENT, HTCLIENT},
                        Case{"opt", HTCLIENT, HTCAPTION}, Case{"txt", HTCLIENT, HTCAPTION},
                        Case{"edt", HTCAPTION, HTCAPTION}, Case{"prg", HTCAPTION, HTCAPTION},
                        Case{"box", HTCAPTION, HTCAPTION}, Case{"ctl", HTCAPTION, HTCAPTION},
                        Case{"off", HTCLIENT, HTCLIENT}}) {
    POINT p = centre(c.name);
    EXPECT_EQ(main(p.x, p.y), c.main) << c.name;
    EXPECT_EQ(dialog(p.x, p.y), c.dialog) << c.name;
  }
  EXPECT_EQ(main(370, 10), HTCAPTION);  // the band's own empty end
  EXPECT_EQ(main(5, 10), HTCLIENT);     // inside the left margin
  EXPECT_EQ(main(385, 10), HTCLIENT);   // inside the right margin
  EXPECT_EQ(main(20, 49), HTCAPTION);
  EXPECT_EQ(main(20, 50), HTCLIENT);  // the band's bottom edge is outside it
  EXPECT_EQ(main(20, 70), HTCLIENT);  // a label below the band
  EXPECT_EQ(main(-1, 10), HTCLIENT);

  // A hidden button lets the band show through; shown, it takes the point.
  EXPECT_EQ(main(380 - 5, 10), HTCAPTION);
  pm.FindControl("ghost")->SetVisible(true);
  EXPECT_EQ(main(375, 10), HTCLIENT);
  pm.FindControl("lbl")->SetVisible(false);  // the rest moves left over its place
  EXPECT_EQ(main(20, 10), HTCLIENT);         // now the button
  DestroyWindow(*w);
}

TEST_F(Caption, RoundedRegionCutsTheCornersAtEverySize) {
  struct Size {
    int w, h, cx, cy;
  };
  for (const Size& s : {Size{850, 600, 13, 12}, Size{456, 300, 9, 9}, Size{112, 106, 5, 5}, Size{30, 20, 40, 40}}) {
    std::string skin = "<Window size=\"" + std::to_string(s.w) + "," + std::to_string(s.h) + "\" roundcorner=\"" +
                       std::to_string(s.cx) + "," + std::to_string(s.cy) +
                       "\"><Control bkcolor=\"#FF204080\"/></Window>";
    auto w = Open(skin, s.w, s.h);
    Shot shot = Take(*w);
    SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h));
    for (POINT corner : {POINT{0, 0}, POINT{s.w - 1, 0}, POINT{0, s.h - 1}, POINT{s.w - 1, s.h - 1}}) {
      EXPECT_EQ(shot.At(corner.x, corner.y), 0u) << corner.x << "," << corner.y;
    }
    for (POINT edge : {POINT{s.w / 2, 0}, POINT{s.w / 2, s.h - 1}, POINT{0, s.h / 2}, POINT{s.w - 1, s.h / 2},
                       POINT{s.w / 2, s.h / 2}}) {
      EXPECT_EQ(shot.At(edge.x, edge.y), 0xFF204080u) << edge.x << "," << edge.y;
    }
    DestroyWindow(*w);
  }
}

TEST_F(Caption, RegionFollowsTheWindowsSizeButNotWhileIconic) {
  auto w = Open(R"(<Window size="100,80" roundcorner="13,12"><Control bkcolor="#FF204080"/></Window>)", 100, 80);
  MoveWindow(*w, 0, 0, 200, 150);
  {
    Shot shot = Take(*w);
    EXPECT_EQ(shot.At(99, 79), 0xFF204080u);  // the old corner is inside now
    EXPECT_EQ(shot.At(199, 149), 0u);
    EXPECT_EQ(shot.At(199, 75), 0xFF204080u);
  }
  std::vector<CRect> bands = w->ShapeBands();
  ShowWindow(*w, SW_MINIMIZE);
  EXPECT_EQ(w->ShapeBands().size(), bands.size());
  EXPECT_EQ(w->ShapeBands().back(), bands.back());
  ShowWindow(*w, SW_RESTORE);
  EXPECT_EQ(w->ShapeBands().back().bottom, 150);
  DestroyWindow(*w);

  // Without corners in the skin the window stays a plain rectangle.
  auto square = Open(R"(<Window size="50,50"><Control bkcolor="#FF204080"/></Window>)", 50, 50);
  EXPECT_TRUE(square->ShapeBands().empty());
  EXPECT_EQ(Take(*square).At(0, 0), 0xFF204080u);
  DestroyWindow(*square);
}
