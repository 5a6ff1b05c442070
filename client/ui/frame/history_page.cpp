#include "client/ui/frame/history_page.h"

#include "client/core/devices/local_time.h"
#include "client/core/history/history_csv.h"
#include "client/core/history/history_dates.h"
#include "platform/paths.h"
#include "toolkit/desktop/desktop.h"

namespace {

constexpr uint32_t kSecondary = 0xFF5D5D5Du;
constexpr uint32_t kSuccess = 0xFF2EAD5Bu;
constexpr uint32_t kFailure = 0xFFD9534Fu;
constexpr uint32_t kWarning = 0xFFE8A33Du;
constexpr uint32_t kBody = 0xFF333333u;

std::string Kg(int tenths) { return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10); }

}  // namespace

CControlUI* HistoryPage::Build(CPaintManagerUI& manager) {
  auto* box = new CContainerUI;
  CDialogBuilder builder;
  builder.Create("HistoryPage.xml", nullptr, nullptr, &manager, box);  // stays empty when it fails
  return box;
}

bool HistoryPage::Showing() const {
  auto* tabs = pm_.FindControlAs<CTabLayoutUI>("switch");
  return tabs && tabs->GetCurSel() == kPage;
}

int HistoryPage::Today() const {
  // A clock set before 2000 gives no date the history knows: the page then shows 1970's month.
  std::optional<std::string> iso = IsoDate(DateText(LocalFields(context_.core.Clock().Now())));
  return iso ? DayNumber(*iso).value_or(0) : 0;
}

bool HistoryPage::OnClick(const std::string& name, const UserRecord* user) {
  if (name == kNavOption) {
    if (!user) return true;
    if (auto* tabs = pm_.FindControlAs<CTabLayoutUI>("switch")) tabs->SelectItem(kPage);
    if (CControlUI* result = pm_.FindControl("历史_导出结果")) result->SetText("");
    Fill(*user);
    return true;
  }
  HistoryRange range = name == "历史_近30天" ? HistoryRange::Month
                       : name == "历史_近6个月" ? HistoryRange::HalfYear
                                               : HistoryRange::All;
  if (name == "历史_近30天" || name == "历史_近6个月" || name == "历史_全部") {
    range_ = range;
    if (user) Fill(*user);
    return true;
  }
  if (name == "历史_导出") {
    if (user) Export(*user);
    return true;
  }
  return false;
}

void HistoryPage::Refresh(const UserRecord* user) {
  if (user && Showing()) Fill(*user);
}

void HistoryPage::Fill(const UserRecord& user) {
  HistoryView view = BuildHistoryView(context_.core.LoadHistory(user.uid), range_, Today());
  auto set = [this](const char* name, const std::string& text, uint32_t colour) {
    if (auto* label = pm_.FindControlAs<CLabelUI>(name)) {
      label->SetText(CStdString(text));
      label->SetTextColor(colour);
    }
  };
  set("历史_最新", view.latest ? Kg(view.latest->tenths) + " kg" : "—", view.latest ? 0xFF3D9BE0u : kSecondary);
  set("历史_区间", view.lowest ? Kg(*view.lowest) + " / " + Kg(*view.highest) : "—", view.lowest ? kBody : kSecondary);
  set("历史_次数", std::to_string(view.readings), kBody);
  set("历史_未上传", std::to_string(view.unsent), view.unsent > 0 ? kWarning : kBody);

  auto* chart = pm_.FindControlAs<CChartUI>("历史图表");
  if (!chart) return;
  chart->SetDays(view.firstDay, view.lastDay);
  std::vector<CChartUI::Point> points;
  for (const HistoryView::Weight& w : view.weights) points.push_back({w.day, w.tenths / 10.0, w.unsent});
  chart->SetLine(std::move(points));
  std::vector<CChartUI::Bar> bars;
  for (const HistoryView::Steps& s : view.steps) bars.push_back({s.day, static_cast<double>(s.steps)});
  chart->SetBars(std::move(bars));
  std::vector<CChartUI::Tick> ticks;
  for (const HistoryView::Tick& t : view.ticks) ticks.push_back({t.day, CStdString(t.text)});
  chart->SetTicks(std::move(ticks));
  int reference = static_cast<int>(user.standardweight * 10.0f + 0.5f);
  chart->SetReference(static_cast<double>(user.standardweight), CStdString("参考体重 " + Kg(reference) + " kg"));
  chart->SetTitles("体重 (kg)", "每日步数");
}

void HistoryPage::Export(const UserRecord& user) {
  std::optional<std::string> folder = toolkit::BrowseForFolder(context_.mainWindow, "选择保存CSV文件的文件夹");
  if (!folder) return;
  std::string today = IsoOfDay(Today());
  std::optional<std::string> path = ExportHistoryCsv(*folder, user.uname, today, context_.core.LoadHistory(user.uid));
  auto* result = pm_.FindControlAs<CLabelUI>("历史_导出结果");
  if (!result) return;
  if (path) {
    result->SetText(CStdString("已导出到 " + platform::ForPeople(*path)));
    result->SetTextColor(kSuccess);
  } else {
    result->SetText(CStdString("导出失败：无法在 " + platform::ForPeople(*folder) + " 中写入文件，请换一个文件夹再试"));
    result->SetTextColor(kFailure);
  }
}
