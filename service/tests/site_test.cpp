// The member site: login codes and the redirect, the home page, reminder pages, registration, head images.

#include "platform/tests/comma_locale.h"
#include "service/site/member_site.h"
#include "service/site/weight_chart.h"
#include "service/tests/service_fixture.h"

namespace service_test {
namespace {

std::string SessionCookie(const httplib::Result& result) {
  std::string cookie = result->get_header_value("Set-Cookie");
  return cookie.substr(0, cookie.find(';'));
}

class MemberSite : public ServiceFixture {
 protected:
  // Logs in as the client does and follows the login code to the site: the headers of a member
  // with an open session.
  httplib::Headers SessionOf(const std::string& account, const std::string& password) {
    std::string code = Login(account, password)->Child("logincode");
    auto login = client_->Get(("/softlogin.php?re_url=%2Fhome&logincode=" + code).c_str());
    return {{"Cookie", SessionCookie(login)}};
  }
};

TEST_F(MemberSite, LoginCodeOpensASessionAndRedirectsToTheDecodedPage) {
  AddAccount("li@example.com", "pw");
  std::string code = Login("li@example.com", "pw")->Child("logincode");
  auto result = client_->Get(
      ("/softlogin.php?re_url=%2Ffriend.php%3Faction%3Dreqs%26type%3Dreadnew&logincode=" + code).c_str());
  ASSERT_TRUE(result);
  EXPECT_EQ(result->status, 302);
  EXPECT_EQ(result->get_header_value("Location"), "/friend.php?action=reqs&type=readnew");
  EXPECT_EQ(SessionCookie(result).rfind("vymera_session=", 0), 0u);

  auto refused = client_->Get("/softlogin.php?re_url=%2Fhome&logincode=0123456789abcdef0123456789abcdef");
  EXPECT_EQ(refused->status, 403);
  EXPECT_TRUE(refused->get_header_value("Set-Cookie").empty());
}

TEST_F(MemberSite, TheHelpDialogsCustomerServiceDesksHaveTheirPagesAndOthersDoNot) {
  for (const char* desk : {"qq1", "qq4", "shop", "shop1", "shop4"}) {
    auto page = client_->Get((std::string("/service/") + desk).c_str());
    ASSERT_TRUE(page) << desk;
    EXPECT_EQ(page->status, 200) << desk;
  }
  for (const char* desk : {"qq0", "qq5", "qq12", "shop5", "", "../etc"}) {
    auto page = client_->Get((std::string("/service/") + desk).c_str());
    ASSERT_TRUE(page) << desk;
    EXPECT_EQ(page->status, 404) << desk;
  }
}

TEST(WeightChart, CoordinatesKeepTheirPointUnderACommaLocale) {
  testing_support::CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Missing();
  std::string svg = service::WeightChartSvg({{"2024-05-01", 684, "W1A", 0}, {"2024-05-03", 701, "W1A", 0}});
  EXPECT_NE(svg.find("<rect x=\"56.0\" y=\"16.0\" width=\"568.0\" height=\"264.0\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("points=\"56.0,208.6 624.0,87.4 \""), std::string::npos) << svg;
}

TEST_F(MemberSite, RedirectsOnlyWithinTheSite) {
  EXPECT_EQ(service::SafeLocalTarget("/usershare.php?action=re&type=new"), "/usershare.php?action=re&type=new");
  for (const char* target : {"http://elsewhere.example/", "//elsewhere.example/", "/\\elsewhere.example", "",
                             "home", "/home\r\nSet-Cookie: x=y"})
    EXPECT_EQ(service::SafeLocalTarget(target), "/home") << target;
}

TEST_F(MemberSite, HomeShowsWeightsAsAChartAndStepDaysAsATable) {
  int64_t li = AddAccount("li@example.com", "pw", "李<小明>");
  ASSERT_EQ(UploadWeight(li, "2024-03-01", "W1ABC", "66.0")->Root(), "scaleup_res");
  ASSERT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", "65.4")->Root(), "scaleup_res");
  ASSERT_EQ(UploadDay("K700.byte.up", "9000000001", li, "2024-3-5", "08:00,120", true)->Root(), "pedup_res");
  EXPECT_EQ(client_->Get("/home")->status, 401);

  httplib::Headers headers = SessionOf("li@example.com", "pw");
  auto home = client_->Get("/home", headers);
  ASSERT_TRUE(home);
  EXPECT_EQ(home->status, 200);
  EXPECT_NE(home->body.find("李&lt;小明&gt;"), std::string::npos);
  EXPECT_EQ(home->body.find("李<小明>"), std::string::npos);
  EXPECT_NE(home->body.find("<svg"), std::string::npos);
  EXPECT_NE(home->body.find("<polyline"), std::string::npos);
  EXPECT_NE(home->body.find("65.4"), std::string::npos);
  EXPECT_NE(home->body.find("<td>2024-03-05</td>"), std::string::npos);
  EXPECT_NE(home->body.find("9000000001"), std::string::npos);
}

TEST_F(MemberSite, OpeningAReminderPageMarksThoseRemindersRead) {
  int64_t li = AddAccount("li@example.com", "pw");
  ASSERT_TRUE(data_->accounts.SetReminders(li, {3, 1, 2, 0, 4}));
  httplib::Headers headers = SessionOf("li@example.com", "pw");
  auto page = client_->Get("/snsmsg.php?action=sysmsg&type=new", headers);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  auto answer = Login("li@example.com", "pw");
  auto msgs = answer->RootNode().child("msgs");
  EXPECT_STREQ(msgs.child("notice").text().get(), "0");
  EXPECT_STREQ(msgs.child("fri").text().get(), "3");
  EXPECT_STREQ(msgs.child("all").text().get(), "6");
}

TEST_F(MemberSite, RegistrationMakesAnAccountTheClientCanLogInWith) {
  for (const char* page : {"/register", "/forgetpass", "/help"}) EXPECT_EQ(client_->Get(page)->status, 200) << page;
  httplib::Params form = {{"account", "new@example.com"}, {"password", "新密码&1"}, {"uname", "新人"}};
  EXPECT_EQ(client_->Post("/register", form)->status, 200);
  EXPECT_EQ(Login("new@example.com", "新密码&1")->Child("uname"), "新人");
  EXPECT_EQ(client_->Post("/register", form)->status, 400);
  httplib::Params notEmail = {{"account", "nobody"}, {"password", "x"}, {"uname", "x"}};
  EXPECT_EQ(client_->Post("/register", notEmail)->status, 400);
}

TEST_F(MemberSite, ServesTheHeadImageAtTheAddressOfTheUserInfo) {
  service::Account account;
  account.account = "li@example.com";
  account.passwordHash = service::HashPassword("pw");
  account.uname = "李";
  service::HeadImage head{"image/png", std::string("\x89PNG\r\n\x1A\n-image-", 15)};
  ASSERT_TRUE(data_->accounts.Create(account, &head));
  std::string url = Login("li@example.com", "pw")->Child("head_url");
  std::string prefix = "http://127.0.0.1:" + std::to_string(server_->port());
  ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
  auto image = client_->Get(url.substr(prefix.size()).c_str());
  ASSERT_TRUE(image);
  EXPECT_EQ(image->body, head.bytes);
  EXPECT_EQ(image->get_header_value("Content-Type"), "image/png");
  EXPECT_EQ(client_->Get("/head/999")->status, 404);
}

}  // namespace
}  // namespace service_test
