#include "client/ui/testing/client_rig.h"

#include <sys/stat.h>

#include "service/store/password_hash.h"
#include "toolkit/testing/headless.h"
#include "toolkit/paint_manager.h"

#ifndef VYMERA_CLIENT_SKIN_FOLDER
#error "the tests need the built client skin folder"
#endif

namespace client_testing {

ReferenceService::ReferenceService(const std::string& folder) {
  // The rig's accounts guard nothing: hashes at the lowest cost keep its many logins cheap.
  service::SetPasswordCost({64, 1});
  ::mkdir(folder.c_str(), 0700);
  ok_ = database_.Open(folder + "/service.db");
  data_ = std::make_unique<service::ServiceData>(database_, folder + "/releases");
  server_ = std::make_unique<service::HttpServer>(*data_, 4);
  std::string error;
  ok_ = ok_ && server_->Start("127.0.0.1", 0, error);
  if (ok_) port_ = server_->port();
}

ReferenceService::~ReferenceService() { Stop(); }

void ReferenceService::Stop() { server_.reset(); }

bool ReferenceService::Restart() {
  server_ = std::make_unique<service::HttpServer>(*data_, 4);
  std::string error;
  return server_->Start("127.0.0.1", port_, error);
}

std::string ReferenceService::Endpoint() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

int64_t ReferenceService::AddAccount(const std::string& account, const std::string& password,
                                     const std::string& name) {
  service::Account created;
  created.account = account;
  created.passwordHash = service::HashPassword(password);
  created.uname = name;
  created.profile = {1, 30, 170, 65, 70};
  created.tasks = {{70000, 2}};
  return data_->accounts.Create(created).value_or(0);
}

RecordingPorts::RecordingPorts() {
  onPump = [] { toolkit::headless::Pump(); };
}

ClientTest::ClientTest() = default;
ClientTest::~ClientTest() = default;

void ClientTest::SetUp() {
  HeadlessTest::SetUp();
  ASSERT_TRUE(service.ok());
  toolkit::headless::Desktop().Reset();
  CPaintManagerUI::SetResourceZip("");
  CPaintManagerUI::SetResourcePath(CStdString(std::string(VYMERA_CLIENT_SKIN_FOLDER)));
  tracker.Reset();
  core = std::make_unique<ClientCore>(folder.path(), host, clock, ClientPorts{ports, ports, ports}, service.Endpoint());
  ::mkdir(core->UserFolder().c_str(), 0700);
  core->LoadUsers();
  context = std::make_unique<ClientContext>(ClientContext{*core, nullptr, kMemberSite, kCompanySite});
}

void ClientTest::TearDown() {
  toolkit_testing::Headless().SetIdleHandler(nullptr);
  for (HWND h : toolkit::AllWindows()) {
    if (IsWindow(h)) DestroyWindow(h);
  }
  Pump();
  context.reset();
  core.reset();
  tracker.Reset();
  HeadlessTest::TearDown();
}

UserRecord& ClientTest::AddUser(const std::string& account, const std::string& password, bool loggedIn,
                                bool stored) {
  int64_t uid = service.AddAccount(account, password, "用户" + account);
  auto user = std::make_unique<UserRecord>();
  if (loggedIn) {
    auto answer = core->api.GetUserInfo(account, password);
    if (answer && answer->Root().Name() == "user_res") UserStore::FillFromUserInfo(*user, answer->Root());
  }
  user->uid = std::to_string(uid);
  user->account = account;
  user->password = password;
  if (user->uname.empty()) user->uname = "用户" + account;
  if (user->picture.empty() || user->picture.rfind("http", 0) == 0) user->picture = UserStore::kDefaultPicture;
  user->loggedIn = loggedIn;
  if (stored) core->StoreUser(*user);
  core->users.push_back(std::move(user));
  return *core->users.back();
}

void ClientTest::WhenWindowStands(const std::string& name, std::function<void(HWND)> action) {
  pending_.emplace_back(name, std::move(action));
  toolkit_testing::Headless().SetIdleHandler([this]() -> bool {
    for (size_t i = 0; i < pending_.size(); ++i) {
      HWND window = WindowNamed(pending_[i].first);
      if (!window || !IsWindowVisible(window)) continue;
      auto run = std::move(pending_[i].second);
      pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
      run(window);
      return true;
    }
    return false;
  });
}

HWND ClientTest::WindowNamed(std::string_view name) {
  HWND found = nullptr;
  for (HWND h : toolkit::AllWindows()) {
    char title[256] = {};
    if (IsWindow(h) && GetWindowTextA(h, title, sizeof title) && name == title) found = h;
  }
  return found;
}

CControlUI* ClientTest::Control(HWND window, std::string_view name) {
  CPaintManagerUI* manager = window ? CPaintManagerUI::FromWindow(window) : nullptr;
  return manager ? manager->FindControl(name) : nullptr;
}

std::string ClientTest::Text(HWND window, std::string_view name) {
  CControlUI* c = Control(window, name);
  return c ? c->GetText().str() : std::string("<no control>");
}

bool ClientTest::Shown(HWND window, std::string_view name) {
  CControlUI* c = Control(window, name);
  return c && c->IsVisible();
}

std::string ClientTest::BkImage(HWND window, std::string_view name) {
  CControlUI* c = Control(window, name);
  return c ? c->GetBkImage().str() : std::string("<no control>");
}

std::vector<std::string> ClientTest::OpenedPages() {
  std::vector<std::string> pages;
  for (const auto& opened : toolkit::headless::Desktop().OpenedUrls()) pages.push_back(opened.url);
  return pages;
}

}  // namespace client_testing
