#include "toolkit/backend/headless/headless_desktop.h"

#include <algorithm>

namespace toolkit {

namespace {

// A dialog that stands until the virtual clock reaches its answer's time.
template <typename Answer>
class ScriptedDialog : public NativeDialog<Answer> {
 public:
  ScriptedDialog(const std::function<int64_t()>& clock, std::multiset<int64_t>& standing, int64_t afterMs,
                 Answer answer)
      : clock_(clock), standing_(standing), answer_(std::move(answer)) {
    due_ = standing_.insert(clock_() + std::max<int64_t>(0, afterMs));
  }
  ~ScriptedDialog() override {
    if (!answered_) standing_.erase(due_);
  }
  ScriptedDialog(const ScriptedDialog&) = delete;
  ScriptedDialog& operator=(const ScriptedDialog&) = delete;

  std::optional<Answer> GetAnswer() override {
    if (!answered_ && clock_() >= *due_) {
      answered_ = true;
      standing_.erase(due_);
    }
    if (!answered_) return std::nullopt;
    return answer_;
  }

 private:
  const std::function<int64_t()>& clock_;
  std::multiset<int64_t>& standing_;
  std::multiset<int64_t>::iterator due_;
  Answer answer_;
  bool answered_ = false;
};

}  // namespace

class HeadlessDesktop::Tray : public NativeTray {
 public:
  Tray(HeadlessDesktop& desktop, TrayHost* host, size_t entry) : desktop_(desktop), host_(host), entry_(entry) {}
  ~Tray() override {
    Entry().shown = false;
    auto& trays = desktop_.trays_;
    trays.erase(std::remove(trays.begin(), trays.end(), this), trays.end());
  }
  Tray(const Tray&) = delete;
  Tray& operator=(const Tray&) = delete;

  TrayMode GetMode() const override { return TrayMode::Headless; }
  void SetTip(const std::string& tip) override { Entry().tip = tip; }
  bool Remove() override {
    Entry().shown = false;
    Entry().removed = true;
    return true;
  }

  TrayIconShown& Entry() const { return desktop_.icons_[entry_]; }
  void MoveEntry(size_t entry) { entry_ = entry; }
  TrayHost* Host() const { return host_; }

 private:
  HeadlessDesktop& desktop_;
  TrayHost* host_;
  size_t entry_;
};

HeadlessDesktop::~HeadlessDesktop() = default;

std::unique_ptr<NativeMessageBox> HeadlessDesktop::OpenMessageBox(NativeWindow* owner, const std::string& text,
                                                                  const std::string& caption, UINT type,
                                                                  const CRect& anchor) {
  std::vector<std::string> buttons;
  for (const MessageBoxButton& button : MessageBoxButtons(type)) buttons.push_back(button.text);
  boxes_.push_back(MessageBoxShown{owner, text, caption, type, anchor, std::move(buttons)});
  Scripted<int> next{defaultAnswer_, 0};
  if (!boxAnswers_.empty()) {
    next = boxAnswers_.front();
    boxAnswers_.pop_front();
  }
  if (!MessageBoxOffers(type, next.answer)) next.answer = MessageBoxClosedAnswer(type);
  return std::make_unique<ScriptedDialog<int>>(clock_, standing_, next.afterMs, next.answer);
}

std::unique_ptr<NativeFolderPicker> HeadlessDesktop::OpenFolderPicker(NativeWindow* owner, const std::string& title) {
  pickers_.push_back(FolderPickerShown{owner, title});
  Scripted<std::optional<std::string>> next{std::nullopt, 0};
  if (!folderAnswers_.empty()) {
    next = folderAnswers_.front();
    folderAnswers_.pop_front();
  }
  return std::make_unique<ScriptedDialog<std::optional<std::string>>>(clock_, standing_, next.afterMs,
                                                                      std::move(next.answer));
}

std::unique_ptr<NativeTray> HeadlessDesktop::CreateTray(TrayHost* host, const std::string& iconPng,
                                                        const std::string& tip) {
  if (!areaAvailable_) return nullptr;
  icons_.push_back(TrayIconShown{iconPng, tip, true, false, 1});
  auto tray = std::make_unique<Tray>(*this, host, icons_.size() - 1);
  trays_.push_back(tray.get());
  return tray;
}

bool HeadlessDesktop::OpenUrl(const std::string& url, int showCommand, std::function<void()>) {
  if (noBrowser_) return false;
  urls_.push_back(UrlOpened{url, showCommand});
  return true;
}

void HeadlessDesktop::QueueMessageBoxAnswer(int answer, int64_t afterMs) {
  boxAnswers_.push_back(Scripted<int>{answer, afterMs});
}

void HeadlessDesktop::QueueFolderAnswer(std::optional<std::string> folder, int64_t afterMs) {
  folderAnswers_.push_back(Scripted<std::optional<std::string>>{std::move(folder), afterMs});
}

void HeadlessDesktop::RestartNotificationArea() {
  for (Tray* tray : trays_) {
    if (tray->Entry().shown) ++tray->Entry().adds;
  }
}

HeadlessDesktop::Tray* HeadlessDesktop::NewestShownTray() const {
  for (auto it = trays_.rbegin(); it != trays_.rend(); ++it) {
    if ((*it)->Entry().shown) return *it;
  }
  return nullptr;
}

bool HeadlessDesktop::DoubleClickTrayIcon() {
  Tray* tray = NewestShownTray();
  if (tray) tray->Host()->OnTrayActivate();
  return tray != nullptr;
}

bool HeadlessDesktop::RightClickTrayIcon() {
  Tray* tray = NewestShownTray();
  if (tray) tray->Host()->OnTrayContextMenu();
  return tray != nullptr;
}

void HeadlessDesktop::Reset() {
  boxAnswers_.clear();
  defaultAnswer_ = IDOK;
  folderAnswers_.clear();
  boxes_.clear();
  pickers_.clear();
  urls_.clear();
  // Live icons keep an entry of their own.
  std::vector<TrayIconShown> live;
  for (Tray* tray : trays_) {
    live.push_back(tray->Entry());
    tray->MoveEntry(live.size() - 1);
  }
  icons_ = std::move(live);
  areaAvailable_ = true;
  SetScreen(CSize(kScreenWidth, kScreenHeight), CRect(0, 0, kScreenWidth, kScreenHeight));
}

std::optional<int64_t> HeadlessDesktop::NextAnswerDue() const {
  if (standing_.empty()) return std::nullopt;
  return *standing_.begin();
}

}  // namespace toolkit
