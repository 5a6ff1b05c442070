// The administration commands against a database in a temporary folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "testing/temp_folder.h"
#include "service/admin/admin_commands.h"
#include "service/admin/release_signer.h"
#include "service/service_data.h"
#include "service/store/password_hash.h"

namespace service {
namespace {

class AdminCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(database_.Open(folder_.File("s.db")));
    data_ = std::make_unique<ServiceData>(database_, folder_.File("releases"));
  }
  int Run(const std::string& command, const std::vector<std::string>& arguments) {
    out_.str("");
    err_.str("");
    return RunAdminCommand(command, arguments, *data_, out_, err_);
  }
  testing_support::TempFolder folder_;
  Database database_;
  std::unique_ptr<ServiceData> data_;
  std::ostringstream out_, err_;
};

TEST_F(AdminCommand, CreatesAnAccountWithProfileAndTasks) {
  ASSERT_EQ(Run("create-account", {"--account", "li@example.com", "--password", "pw", "--name", "李小明", "--level",
                                   "2", "--sex", "1", "--height", "175", "--task", "70000:2", "--task", "10:0"}),
            0)
      << err_.str();
  auto account = data_->accounts.FindByName("li@example.com");
  ASSERT_TRUE(account);
  EXPECT_EQ(account->uname, "李小明");
  EXPECT_EQ(account->level, 2);
  EXPECT_EQ(account->profile.heigh, 175);
  ASSERT_EQ(account->tasks.size(), 2u);
  EXPECT_EQ(account->tasks[0].unit, 2);
  EXPECT_TRUE(VerifyPassword("pw", account->passwordHash));
  EXPECT_EQ(Run("create-account", {"--account", "li@example.com", "--password", "x", "--name", "x"}), 1);
}

TEST_F(AdminCommand, RefusesBadArgumentsWithoutWriting) {
  EXPECT_EQ(Run("create-account", {"--account", "li", "--password", "pw", "--name", "x"}), 2);
  EXPECT_EQ(Run("create-account", {"--account", "a@example.com", "--password", "pw", "--name", "x", "--age", "-3"}), 2);
  EXPECT_EQ(Run("create-account", {"--account", "a@example.com", "--password", "pw", "--name", "x", "--task", "5:4"}), 2);
  EXPECT_EQ(Run("create-account", {"--account", "a@example.com", "--password", "pw", "--name", "x", "--colour", "1"}),
            2);
  std::ofstream(folder_.File("head.txt")) << "not an image";
  EXPECT_EQ(Run("create-account", {"--account", "a@example.com", "--password", "pw", "--name", "x", "--head",
                                   folder_.File("head.txt")}),
            2);
  EXPECT_EQ(Run("create-account", {"--account", "a@example.com", "--password"}), 2);
  EXPECT_TRUE(data_->accounts.List().empty());
}

TEST_F(AdminCommand, SetsRemindersKeepingTheOnesNotNamed) {
  ASSERT_EQ(Run("seed-demo", {}), 0);
  EXPECT_EQ(Run("seed-demo", {}), 0);  // a second seed changes nothing
  EXPECT_EQ(data_->accounts.List().size(), 1u);
  ASSERT_EQ(Run("set-reminders", {"demo@example.com", "--fri", "7"}), 0) << err_.str();
  auto demo = data_->accounts.FindByName("demo@example.com");
  EXPECT_EQ(demo->reminders.fri, 7);
  EXPECT_EQ(demo->reminders.msg, 2);
  EXPECT_EQ(Run("set-reminders", {"nobody@example.com", "--fri", "1"}), 1);
  EXPECT_EQ(Run("set-reminders", {"demo@example.com", "--fri", "x"}), 2);
}

TEST_F(AdminCommand, ListsAccountsWithTheirDevicesAndShowsUploads) {
  ASSERT_EQ(Run("seed-demo", {}), 0);
  auto demo = data_->accounts.FindByName("demo@example.com");
  ASSERT_EQ(data_->devices.Bind(DeviceKind::Scale, demo->uid, "W1ABC", 0), BindOutcome::Bound);
  ASSERT_EQ(data_->uploads.AddWeight(demo->uid, "W1ABC", "2024-03-05", 654, 0), UploadOutcome::Stored);
  ASSERT_EQ(Run("list-accounts", {}), 0);
  EXPECT_NE(out_.str().find("demo@example.com"), std::string::npos);
  EXPECT_NE(out_.str().find("W1ABC"), std::string::npos);
  ASSERT_EQ(Run("show-uploads", {"demo@example.com"}), 0);
  EXPECT_NE(out_.str().find("2024-03-05  65.4 kg"), std::string::npos);
}

TEST_F(AdminCommand, PublishesOnlyVersionsClientsTakeAsNewer) {
  std::ofstream(folder_.File("VymeraSetup.exe")) << "setup";
  ASSERT_EQ(Run("publish", {"1.0.10.0", folder_.File("VymeraSetup.exe"), "--unsigned"}), 0) << err_.str();
  // Clients read 1.1.0.0 as 1100, below 10100: offering it would reach nobody.
  EXPECT_EQ(Run("publish", {"1.1.0.0", folder_.File("VymeraSetup.exe"), "--unsigned"}), 1);
  EXPECT_EQ(data_->releasesOf.Latest()->version, "1.0.10.0");
  EXPECT_EQ(Run("publish", {"1.1.0.0", folder_.File("VymeraSetup.exe"), "--force", "--unsigned"}), 0);
  EXPECT_EQ(data_->releasesOf.Latest()->version, "1.1.0.0");
  for (const char* version : {"1.0.0", "1.0.0.0.1", "1.0.0.x", "1.0.0.65536", "1..0.0"})
    EXPECT_EQ(Run("publish", {version, folder_.File("VymeraSetup.exe"), "--unsigned"}), 2) << version;
  EXPECT_EQ(Run("publish", {"9.0.0.0", folder_.File("missing.exe"), "--unsigned"}), 1);
}

TEST_F(AdminCommand, PublishSignsWithAP256KeyAndRefusesOtherKeys) {
  std::string file = folder_.File("VymeraSetup.exe");
  std::ofstream(file) << "setup";
  auto isSignature = [](const std::string& text) {
    return text.size() == 128 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
  };
  // Without --key, the build's own developer key; a build given the publisher's key has none.
  if (DeveloperReleaseKey().empty()) {
    EXPECT_EQ(Run("publish", {"1.0.0.2", file}), 1);
    EXPECT_NE(err_.str().find("--unsigned"), std::string::npos);
    EXPECT_FALSE(data_->releasesOf.Latest());
  } else {
    ASSERT_EQ(Run("publish", {"1.0.0.2", file}), 0) << err_.str();
    EXPECT_TRUE(isSignature(data_->releasesOf.Latest()->signature));
  }
  ASSERT_EQ(Run("publish", {"1.0.0.3", file, "--unsigned"}), 0) << err_.str();
  EXPECT_EQ(data_->releasesOf.Latest()->signature, "");

  auto makeKey = [this](const std::string& name, const std::string& options) {
    std::string path = folder_.File(name);
    return std::system(("openssl genpkey " + options + " -out '" + path + "' 2>/dev/null").c_str()) == 0 ? path : "";
  };
  std::string key = makeKey("release.pem", "-algorithm EC -pkeyopt ec_paramgen_curve:P-256");
  ASSERT_FALSE(key.empty());
  ASSERT_EQ(Run("publish", {"1.0.0.4", file, "--key", key}), 0) << err_.str();
  std::string first = data_->releasesOf.Latest()->signature;
  EXPECT_TRUE(isSignature(first));
  // ECDSA signs with a fresh random number each time: the same file gets another signature.
  ASSERT_EQ(Run("publish", {"1.0.0.5", file, "--key", key}), 0) << err_.str();
  EXPECT_TRUE(isSignature(data_->releasesOf.Latest()->signature));
  EXPECT_NE(data_->releasesOf.Latest()->signature, first);
  EXPECT_EQ(Run("publish", {"1.0.0.6", file, "--key", key, "--unsigned"}), 2);

  std::vector<std::string> refused = {makeKey("ed.pem", "-algorithm ed25519"),
                                      makeKey("p384.pem", "-algorithm EC -pkeyopt ec_paramgen_curve:P-384"),
                                      makeKey("rsa.pem", "-algorithm rsa -pkeyopt rsa_keygen_bits:1024"), file,
                                      folder_.File("absent.pem")};
  for (const std::string& bad : refused) {
    ASSERT_FALSE(bad.empty());
    EXPECT_EQ(Run("publish", {"1.0.0.7", file, "--key", bad}), 1) << bad;
    EXPECT_EQ(data_->releasesOf.Latest()->version, "1.0.0.5");
  }
}

}  // namespace
}  // namespace service
