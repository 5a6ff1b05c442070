// The login, binding and signature behaviour of the API over real HTTP on loopback.

#include <thread>
#include <vector>

#include "service/store/password_hash.h"
#include "service/tests/service_fixture.h"

namespace service_test {
namespace {

using ApiLogin = ServiceFixture;
using ApiSignature = ServiceFixture;
using ApiBinding = ServiceFixture;
using ApiLinks = ServiceFixture;

TEST_F(ApiLogin, AnswersUserInfoWithEveryFieldTheClientMaps) {
  int64_t uid = AddAccount("li@example.com", "secret", "李小明");
  ASSERT_TRUE(data_->accounts.SetReminders(uid, {1, 2, 3, 4, 5}));
  ASSERT_EQ(Bind("scale.code.pinless", "scalecode", "W1ABC", uid)->Root(), "pinless_res");

  auto answer = Login("li@example.com", "secret");
  ASSERT_TRUE(answer->parsed) << answer->body;
  EXPECT_EQ(answer->body.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u);
  EXPECT_EQ(answer->Root(), "user_res");
  EXPECT_EQ(answer->Child("uid"), std::to_string(uid));
  EXPECT_EQ(answer->Child("uname"), "李小明");
  EXPECT_EQ(answer->Child("logincode").size(), 32u);
  EXPECT_EQ(answer->Child("heigh"), "170");
  EXPECT_EQ(answer->Child("stepvalue"), "70");
  EXPECT_TRUE(answer->RootNode().child("head_url"));
  auto hard = answer->RootNode().child("hards").first_child();
  EXPECT_STREQ(hard.child("hardtype").text().get(), "1");
  EXPECT_STREQ(hard.child("hardcode").text().get(), "W1ABC");
  auto task = answer->RootNode().child("tasks").child("task");
  EXPECT_STREQ(task.child("value").text().get(), "70000");
  EXPECT_STREQ(task.child("unit").text().get(), "2");
  auto msgs = answer->RootNode().child("msgs");
  EXPECT_STREQ(msgs.child("all").text().get(), "15");
  EXPECT_STREQ(msgs.child("notice").text().get(), "5");
}

TEST_F(ApiLogin, RefusesWithTheCodesTheClientShows) {
  AddAccount("li@example.com", "secret");
  auto notEmail = Login("li-at-example.com", "secret");
  EXPECT_EQ(notEmail->Root(), "error_res");
  EXPECT_EQ(notEmail->Child("code"), "12");
  EXPECT_EQ(Login("wang@example.com", "secret")->Child("code"), "14");
  EXPECT_EQ(Login("li@example.com", "Secret")->Child("code"), "11");
  // Letter case of an e-mail address does not make another account.
  EXPECT_EQ(Login("LI@Example.com", "secret")->Root(), "user_res");
}

TEST_F(ApiLogin, ReadsGbkPasswordsAndValuesHoldingAmpersands) {
  AddAccount("li@example.com", "密码&password=x&sign=y");
  AddAccount("a&b@example.com", "p&q");
  EXPECT_EQ(Login("li@example.com", "密码&password=x&sign=y")->Root(), "user_res");
  EXPECT_EQ(Login("a&b@example.com", "p&q")->Root(), "user_res");
  EXPECT_EQ(Login("li@example.com", "密码")->Child("code"), "11");
}

TEST_F(ApiLogin, AnOlderHashIsReplacedAtTheNextLoginAndKeepsWorking) {
  int64_t uid = AddAccount("li@example.com", "unused");
  // 10,000 rounds of PBKDF2-SHA256 over "demo123", as the service stored it before Argon2id.
  const std::string old =
      "pbkdf2-sha256$10000$00112233445566778899aabbccddeeff$"
      "d32ecd85d09f86adbbb4e2a3020075058fd914005c83d43ccf595c39a42d6ee2";
  ASSERT_TRUE(data_->accounts.SetPasswordHash(uid, old));
  auto stored = [&] { return data_->accounts.FindByName("li@example.com")->passwordHash; };

  EXPECT_EQ(Login("li@example.com", "demo12")->Child("code"), "11");
  EXPECT_EQ(stored(), old);  // a wrong password changes nothing
  EXPECT_EQ(Login("li@example.com", "demo123")->Root(), "user_res");
  std::string renewed = stored();
  EXPECT_EQ(renewed.rfind("$argon2id$", 0), 0u) << renewed;
  EXPECT_TRUE(service::IsCurrentHash(renewed));
  EXPECT_EQ(Login("li@example.com", "demo123")->Root(), "user_res");
  EXPECT_EQ(stored(), renewed);  // a current hash stays as it is
  EXPECT_EQ(Login("li@example.com", "demo12")->Child("code"), "11");
}

TEST_F(ApiLogin, KeepsTheLoginCodeAcrossLogins) {
  AddAccount("li@example.com", "secret");
  std::string first = Login("li@example.com", "secret")->Child("logincode");
  EXPECT_EQ(Login("li@example.com", "secret")->Child("logincode"), first);
}

TEST_F(ApiSignature, RefusesAChangedByteOrAMissingSignature) {
  AddAccount("li@example.com", "secret");
  std::string sign = Sign("accountli@example.commethoduser.id.getpasswordsecret");
  std::string good = "method=user.id.get&account=li@example.com&password=secret&sign=" + sign;
  EXPECT_EQ(PostUtf8(good)->Root(), "user_res");

  std::string changedValue = good;
  changedValue[good.find("secret")] = 'S';
  EXPECT_EQ(PostUtf8(changedValue)->Child("code"), "1");
  std::string changedSign = good;
  changedSign.back() = changedSign.back() == '0' ? '1' : '0';
  EXPECT_EQ(PostUtf8(changedSign)->Child("code"), "1");
  std::string upperSign = good.substr(0, good.size() - 32);
  for (char c : sign) upperSign += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(PostUtf8(upperSign)->Root(), "error_res");
  EXPECT_EQ(PostUtf8("method=user.id.get&account=li@example.com&password=secret")->Root(), "error_res");
}

TEST_F(ApiSignature, AnswersEveryMalformedBodyWithARefusalDocument) {
  for (const char* body : {"", "user.id.get&account=a@b.cn&password=x&sign=0", "method=no.such", "method=",
                           "method=user.id.get&password=x&account=y&sign=z", "method=vymera.get&sign=1"}) {
    auto answer = PostUtf8(body);
    EXPECT_EQ(answer->status, 200) << body;
    EXPECT_TRUE(answer->parsed) << body;
    EXPECT_EQ(answer->Root(), "error_res") << body;
    EXPECT_FALSE(answer->Child("msg").empty()) << body;
  }
  auto result = client_->Post("/", "method=vymera.get", "application/x-www-form-urlencoded");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->get_header_value("Content-Type"), "text/xml; charset=utf-8");
}

TEST_F(ApiSignature, RefusesBodiesAboveTheBoundWithoutReadingThem) {
  auto answer = PostRaw("method=user.id.get&account=" + std::string(70 * 1024, 'a'));
  EXPECT_EQ(answer->status, 413);
  EXPECT_EQ(answer->Child("code"), "5");
}

TEST_F(ApiBinding, ScaleTakesFourPersonsAndRefusesAFifth) {
  std::vector<int64_t> family;
  for (int i = 0; i < 5; ++i) family.push_back(AddAccount("p" + std::to_string(i) + "@example.com", "pw"));
  for (int i = 0; i < 4; ++i) {
    auto bound = Bind("scale.code.pinless", "scalecode", "W1FAMILY", family[static_cast<size_t>(i)]);
    EXPECT_EQ(bound->Root(), "pinless_res");
    EXPECT_FALSE(bound->Child("pintext").empty());
  }
  EXPECT_EQ(Bind("scale.code.pinless", "scalecode", "W1FAMILY", family[4])->Child("code"), "42");
  EXPECT_EQ(Bind("scale.code.pinless", "scalecode", "W1FAMILY", family[0])->Child("code"), "41");
  EXPECT_EQ(Bind("scale.code.pinless", "scalecode", "W1OTHER", family[0])->Child("code"), "43");
  // A place freed by unbinding is taken by the fifth person.
  EXPECT_EQ(Unbind("scale.hard.cancel", family[1])->Root(), "cancel_res");
  EXPECT_EQ(Bind("scale.code.pinless", "scalecode", "W1FAMILY", family[4])->Root(), "pinless_res");
}

TEST_F(ApiBinding, StepDevicesBelongToOnePerson) {
  int64_t li = AddAccount("li@example.com", "pw");
  int64_t wang = AddAccount("wang@example.com", "pw");
  EXPECT_EQ(Bind("ped.code.pinless", "pedcode", "A10000012345", li)->Root(), "pinless_res");
  EXPECT_EQ(Bind("ped.code.pinless", "pedcode", "A10000012345", li)->Child("code"), "33");
  EXPECT_EQ(Bind("ped.code.pinless", "pedcode", "A10000099999", li)->Child("code"), "31");
  EXPECT_EQ(Bind("ped.code.pinless", "pedcode", "A10000012345", wang)->Child("code"), "32");
  // A tracker is another kind: the same person may wear one as well.
  EXPECT_EQ(Bind("K700.code.pinless", "pedcode", "9000000001", li)->Root(), "pinless_res");
  EXPECT_EQ(Bind("K700.code.pinless", "pedcode", "9000000001", wang)->Child("code"), "32");
}

TEST_F(ApiBinding, RefusesCodesThatNameNoDeviceAndUnknownMembers) {
  int64_t li = AddAccount("li@example.com", "pw");
  EXPECT_EQ(Bind("ped.code.pinless", "pedcode", "", li)->Child("code"), "21");
  EXPECT_EQ(Bind("ped.code.pinless", "pedcode", "A19999999999", li)->Child("code"), "21");  // above 32 bits
  EXPECT_EQ(Bind("K700.code.pinless", "pedcode", "0", li)->Child("code"), "21");
  EXPECT_EQ(Bind("scale.code.pinless", "scalecode", "W1 A", li)->Child("code"), "21");
  EXPECT_EQ(Bind("scale.code.pinless", "scalecode", "W1A", li + 100)->Child("code"), "14");
  EXPECT_EQ(Bind("scale.code.pinless", "scalecode", "W1A", -1)->Child("code"), "2");
}

TEST_F(ApiBinding, UnbindingRemovesTheDeviceFromTheUserInfo) {
  int64_t li = AddAccount("li@example.com", "pw");
  ASSERT_EQ(Bind("ped.code.pinless", "pedcode", "A10000012345", li)->Root(), "pinless_res");
  auto cancelled = Unbind("ped.hard.cancel", li);
  EXPECT_EQ(cancelled->Root(), "cancel_res");
  EXPECT_FALSE(cancelled->Child("cancel").empty());
  auto again = Unbind("ped.hard.cancel", li);
  EXPECT_EQ(again->Root(), "error_res");
  EXPECT_FALSE(again->Child("msg").empty());
  EXPECT_FALSE(Login("li@example.com", "pw")->RootNode().child("hards").first_child());
}

TEST_F(ApiBinding, ConcurrentBindsNeverPutAFifthPersonOnAScale) {
  std::vector<int64_t> people;
  for (int i = 0; i < 12; ++i) people.push_back(AddAccount("c" + std::to_string(i) + "@example.com", "pw"));
  std::vector<std::thread> threads;
  std::atomic<int> bound{0};
  for (int64_t uid : people) {
    threads.emplace_back([this, uid, &bound] {
      httplib::Client client("127.0.0.1", server_->port());
      std::string id = std::to_string(uid);
      auto result = client.Post("/",
                                "method=scale.code.pinless&scalecode=W1RACE&user_id=" + id + "&sign=" +
                                    Sign("methodscale.code.pinlessscalecodeW1RACEuser_id" + id),
                                "application/x-www-form-urlencoded");
      if (result && result->body.find("<pinless_res>") != std::string::npos) ++bound;
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(bound.load(), 4);
}

// The links of the version and user answers, as one request with the given Host header gets them.
struct Links {
  std::string release;
  std::string head;
};

class LinkedService : public ServiceFixture {
 protected:
  void SetUp() override {}

  // Starts the service with the given public address, a release and an account with a head image.
  void StartWith(const std::string& publicUrl) {
    publicUrl_ = publicUrl;
    StartService();
    service::Release release;
    release.version = "1.0.0.3";
    release.fileName = "VymeraSetup.exe";
    ASSERT_TRUE(data_->releasesOf.Publish(release));
    service::Account account;
    account.account = "li@example.com";
    account.passwordHash = service::HashPassword("pw");
    account.uname = "li";
    service::HeadImage head{"image/png", "png"};
    ASSERT_TRUE(data_->accounts.Create(account, &head));
  }

  Links Fetch(const std::string& host) {
    httplib::Headers headers = {{"Host", host}};
    Links links;
    auto version = client_->Post("/", headers, "method=vymera.get", "application/x-www-form-urlencoded");
    pugi::xml_document answer;
    if (version && answer.load_string(version->body.c_str())) {
      links.release = answer.document_element().child("donload").child("url").text().get();
    }
    const std::string login = platform::ToCodePage("method=user.id.get&account=li@example.com&password=pw&sign=" +
                                                   Sign("accountli@example.commethoduser.id.getpasswordpw"));
    auto user = client_->Post("/", headers, login, "application/x-www-form-urlencoded");
    if (user && answer.load_string(user->body.c_str())) links.head = answer.document_element().child("head_url").text().get();
    return links;
  }
};

TEST_F(LinkedService, AForgedHostHeaderNeverReachesTheLinksOfAnAnswer) {
  StartWith("");
  const std::string own = "http://127.0.0.1:" + std::to_string(server_->port());
  EXPECT_EQ(server_->publicUrl(), own);
  for (const char* host : {"evil.example:9999", "127.0.0.1:1", ""}) {
    SCOPED_TRACE(host);
    Links links = Fetch(host);
    EXPECT_EQ(links.release, own + "/release/VymeraSetup.exe");
    EXPECT_EQ(links.head.rfind(own + "/head/", 0), 0u) << links.head;
  }
}

TEST_F(LinkedService, LinksStartWithTheConfiguredPublicAddress) {
  StartWith("https://updates.example.org/vymera");
  Links links = Fetch("evil.example:9999");
  EXPECT_EQ(links.release, "https://updates.example.org/vymera/release/VymeraSetup.exe");
  EXPECT_EQ(links.head.rfind("https://updates.example.org/vymera/head/", 0), 0u) << links.head;
}

}  // namespace
}  // namespace service_test
