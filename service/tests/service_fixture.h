#pragma once
// A service on a free loopback port over a fresh database, and a client that speaks to it the way
// Vymera does: GBK form bodies, fields in the client's order, signed with the shared key.

#include <httplib.h>
#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <memory>
#include <optional>
#include <string>

#include "platform/codepage.h"
#include "testing/temp_folder.h"
#include "service/admin/admin_commands.h"
#include "service/http_server.h"
#include "service/service_data.h"
#include "service/store/password_hash.h"
#include "service/store/sqlite.h"
#include "service/wire/signature.h"

namespace service_test {

// The key followed by the signed text, in code-page bytes, as MD5 hex.
inline std::string Sign(const std::string& utf8SignedText) {
  return service::Md5Hex(std::string(service::kSignatureKey) + platform::ToCodePage(utf8SignedText));
}

// A parsed answer: the root element's name and its children's texts.
struct Answer {
  int status = 0;
  std::string body;
  pugi::xml_document document;
  bool parsed = false;
  std::string Root() const { return document.document_element().name(); }
  std::string Child(const char* name) const { return document.document_element().child(name).text().get(); }
  pugi::xml_node RootNode() const { return document.document_element(); }
};

class ServiceFixture : public ::testing::Test {
 protected:
  void SetUp() override { StartService(); }
  void TearDown() override { StopService(); }

  void StartService() {
    database_ = std::make_unique<service::Database>();
    ASSERT_TRUE(database_->Open(folder_.File("service.db"))) << database_->error();
    data_ = std::make_unique<service::ServiceData>(*database_, folder_.File("releases"));
    server_ = std::make_unique<service::HttpServer>(*data_, threads_, limits_);
    std::string error;
    ASSERT_TRUE(server_->Start("127.0.0.1", 0, error, publicUrl_)) << error;
    client_ = std::make_unique<httplib::Client>("127.0.0.1", server_->port());
  }

  void StopService() {
    client_.reset();
    server_.reset();
    data_.reset();
    database_.reset();
  }

  // A restart over the same database file.
  void RestartService() {
    StopService();
    StartService();
  }

  // Creates an account through the store; its uid.
  int64_t AddAccount(const std::string& account, const std::string& password, const std::string& name = "测试") {
    service::Account created;
    created.account = account;
    created.passwordHash = service::HashPassword(password);
    created.uname = name;
    created.profile = {1, 30, 170, 65, 70};
    created.tasks = {{70000, 2}};
    auto uid = data_->accounts.Create(created);
    EXPECT_TRUE(uid.has_value());
    return uid.value_or(0);
  }

  // Posts a body given in UTF-8 (sent in the code page) to "/" as the client does.
  std::unique_ptr<Answer> PostUtf8(const std::string& utf8Body) { return PostRaw(platform::ToCodePage(utf8Body)); }

  std::unique_ptr<Answer> PostRaw(const std::string& body) {
    auto answer = std::make_unique<Answer>();
    auto result = client_->Post("/", body, "application/x-www-form-urlencoded");
    if (!result) return answer;
    answer->status = result->status;
    answer->body = result->body;
    answer->parsed = static_cast<bool>(answer->document.load_string(result->body.c_str()));
    return answer;
  }

  std::unique_ptr<Answer> Login(const std::string& account, const std::string& password) {
    return PostUtf8("method=user.id.get&account=" + account + "&password=" + password + "&sign=" +
                    Sign("account" + account + "methoduser.id.getpassword" + password));
  }

  std::unique_ptr<Answer> Bind(const std::string& method, const std::string& codeField, const std::string& code,
                               int64_t uid) {
    std::string id = std::to_string(uid);
    return PostUtf8("method=" + method + "&" + codeField + "=" + code + "&user_id=" + id + "&sign=" +
                    Sign("method" + method + codeField + code + "user_id" + id));
  }

  std::unique_ptr<Answer> Unbind(const std::string& method, int64_t uid) {
    std::string id = std::to_string(uid);
    return PostUtf8("method=" + method + "&user_id=" + id + "&sign=" + Sign("method" + method + "user_id" + id));
  }

  std::unique_ptr<Answer> UploadWeight(int64_t uid, const std::string& date, const std::string& code,
                                       const std::string& weight) {
    std::string id = std::to_string(uid);
    return PostUtf8("method=scale.weight.up&user_id=" + id + "&scalecode=" + code + "&date=" + date + "&weight=" +
                    weight + "&sign=" +
                    Sign("date" + date + "methodscale.weight.upscalecode" + code + "user_id" + id + "weight" + weight));
  }

  std::unique_ptr<Answer> UploadDay(const std::string& method, const std::string& pedcode, int64_t uid,
                                    const std::string& date, const std::string& file, bool tracker) {
    std::string id = std::to_string(uid);
    std::string body = "method=" + method + "&pedcode=" + pedcode + "&user_id=" + id + "&date=" + date + "&sign=" +
                       Sign("date" + date + "method" + method + "pedcode" + pedcode + "user_id" + id) +
                       "&file=" + file;
    if (tracker) body += "&type=k690";
    return PostUtf8(body);
  }

  // What the next StartService or RestartService serves with.
  int threads_ = 8;
  service::RequestLimits limits_;
  std::string publicUrl_;

  testing_support::TempFolder folder_;
  std::unique_ptr<service::Database> database_;
  std::unique_ptr<service::ServiceData> data_;
  std::unique_ptr<service::HttpServer> server_;
  std::unique_ptr<httplib::Client> client_;
};

}  // namespace service_test
