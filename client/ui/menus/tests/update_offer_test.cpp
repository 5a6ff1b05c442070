// The start-up update step: the check against the service's answer, the question, and the hand-off
// to the updater.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "client/core/sync/tests/sync_rig.h"
#include "client/core/update/update_check.h"
#include "client/ui/menus/update_offer.h"
#include "client/ui/menus/update_soft_confirm_dlg.h"
#include "menus_rig.h"
#include "platform/file_io.h"
#include "service/admin/admin_commands.h"
#include "testing/bounded_wait.h"

namespace {

using menus_testing::MenusTest;
namespace headless = toolkit::headless;

// The updater: leaves "marker" in its current folder.
constexpr const char* kUpdaterScript = "#!/bin/sh\necho started > marker\n";

class UpdateOffered : public MenusTest {
 protected:
  // The reference service offers version from now on.
  void Publish(const std::string& version) {
    std::string release = folder.File("VymeraSetup");
    ASSERT_TRUE(platform::WriteFileAtomically(release, "release"));
    std::ostringstream out, err;
    ASSERT_EQ(service::RunAdminCommand("publish", {version, release, "--force", "--unsigned"}, service.Data(), out, err), 0)
        << err.str();
  }
  void PlaceUpdater(const char* script = kUpdaterScript, mode_t mode = 0755) {
    std::string path = folder.File(kUpdaterProgram);
    ASSERT_TRUE(platform::WriteFileAtomically(path, script));
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
  }
  // Answers the question with button once it stands; records that it stood.
  void AnswerQuestion(const char* button) {
    WhenWindowStands("软件升级", [this, button](HWND question) {
      ++questions;
      EXPECT_EQ(WindowObject<CWindowWnd>(question)->Owner(), nullptr);
      EXPECT_EQ(Text(question, "updatetext"), "检测到新版本？是否现在升级");
      EXPECT_TRUE(headless::Click(question, button));
    });
  }
  UpdateOffer Offer(const std::string& ownVersion) {
    return OfferUpdate(
        core->api, core->ProgramFolder(), [this] { ++exits; }, ownVersion);
  }
  bool MarkerAppears() const {
    return testing_support::WaitUntil([this] { return platform::PathExists(folder.File("marker")); });
  }

  int questions = 0;
  int exits = 0;
};

TEST_F(UpdateOffered, ANewerReleaseIsOfferedAndAnEqualOrOlderOneIsNot) {
  UpdateOffer offer;
  EXPECT_FALSE(CheckForUpdate(core->api, "1.0.0.2", offer)) << "nothing published: no donload";
  Publish("1.0.0.3");
  ASSERT_TRUE(CheckForUpdate(core->api, "1.0.0.2", offer));
  EXPECT_EQ(offer.version, "1.0.0.3");
  EXPECT_EQ(offer.url, service.Endpoint() + "release/VymeraSetup");
  EXPECT_FALSE(CheckForUpdate(core->api, "1.0.0.3", offer));
  EXPECT_TRUE(offer.version.empty() && offer.url.empty());
  EXPECT_FALSE(CheckForUpdate(core->api, "1.0.0.4", offer));
  EXPECT_TRUE(CheckForUpdate(core->api, "", offer)) << "a client without a version counts as 0";
  // The digits are read as one number: 1.0.0.3 is 1003, older than 1.0.1.0 = 1010.
  EXPECT_FALSE(CheckForUpdate(core->api, "1.0.1.0", offer));
}

TEST_F(UpdateOffered, AnswersOfAnotherShapeOfferNothing) {
  testing_support::FakeService fake;
  ApiClient api(core->settings, core->ProgramFolder(), fake.Endpoint());
  auto offers = [&](const std::string& body, const std::string& own, UpdateOffer* out = nullptr) {
    fake.SetRule([body](const std::string&, const testing_support::Form&) { return body; });
    UpdateOffer offer;
    bool offered = CheckForUpdate(api, own, offer);
    if (out) *out = offer;
    return offered;
  };
  EXPECT_TRUE(offers("<vymera_get><donload><newversion>1.0.0.3</newversion></donload></vymera_get>", "1.0.0.2"));
  EXPECT_FALSE(offers("<vymera_get><donload><newversion>2.0</newversion></donload></vymera_get>", "1.0.0.0"))
      << "20 against 1000";
  EXPECT_FALSE(offers("<Vymera_get><donload><newversion>9.9.9.9</newversion></donload></Vymera_get>", "1.0.0.0"));
  EXPECT_FALSE(offers("<user_res><donload><newversion>9.9.9.9</newversion></donload></user_res>", "1.0.0.0"));
  EXPECT_FALSE(offers("<vymera_get><donload><newversion></newversion></donload></vymera_get>", "1.0.0.0"));
  EXPECT_FALSE(offers("<vymera_get><donload><url>http://x/</url></donload></vymera_get>", "1.0.0.0"));
  EXPECT_FALSE(offers("<vymera_get><newversion>9.9.9.9</newversion></vymera_get>", "1.0.0.0"));
  EXPECT_FALSE(offers("", "1.0.0.0")) << "no answer at all";
  EXPECT_EQ(fake.Requests("vymera.get").size(), fake.Requests().size()) << "the check asks nothing else";

  // Values beyond 255 bytes count as absent, never cut.
  std::string longVersion = "9." + std::string(254, '9');
  EXPECT_FALSE(offers("<vymera_get><donload><newversion>" + longVersion + "</newversion></donload></vymera_get>", "1"));
  std::string longUrl = "http://127.0.0.1/" + std::string(255 - 17, 'a');
  UpdateOffer offer;
  ASSERT_TRUE(
      offers("<vymera_get><donload><newversion>1.0.0.3</newversion><url>" + longUrl + "</url></donload></vymera_get>",
             "1.0.0.2", &offer));
  EXPECT_EQ(offer.url, longUrl) << "255 bytes still fit";
  ASSERT_TRUE(
      offers("<vymera_get><donload><newversion>1.0.0.3</newversion><url>" + longUrl + "b</url></donload></vymera_get>",
             "1.0.0.2", &offer));
  EXPECT_EQ(offer.url, "");
}

TEST_F(UpdateOffered, NoQuestionWithoutANewerReleaseAndNoUpdateOnANo) {
  Publish("1.0.0.3");
  AnswerQuestion("closebtn");
  Offer("1.0.0.3");
  EXPECT_EQ(questions, 0);

  PlaceUpdater();
  Offer("1.0.0.2");
  EXPECT_EQ(questions, 1);
  AnswerQuestion("暂不升级");
  Offer("1.0.0.2");
  EXPECT_EQ(questions, 2);
  WhenWindowStands("软件升级", [&](HWND question) {
    ++questions;
    PostMessage(question, WM_CLOSE, 0, 0);
  });
  Offer("1.0.0.2");
  EXPECT_EQ(questions, 3);
  EXPECT_EQ(exits, 0);
  EXPECT_TRUE(headless::Desktop().MessageBoxes().empty());
  EXPECT_FALSE(platform::PathExists(folder.File("marker")));
}

TEST_F(UpdateOffered, UpdatingWithoutTheUpdaterSaysSoOnceAndStartUpGoesOn) {
  Publish("1.0.0.3");
  AnswerQuestion("立即升级");
  UpdateOffer offer = Offer("1.0.0.2");
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(offer.version, "1.0.0.3");
  EXPECT_EQ(exits, 0);
  const auto& boxes = headless::Desktop().MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "未知错误，未能启动升级软件");
  EXPECT_EQ(boxes[0].caption, "软件升级");
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ(boxes[0].type, MB_OK);

  // A file of that name that cannot be run is no updater either.
  PlaceUpdater(kUpdaterScript, 0644);
  EXPECT_FALSE(StartUpdater(core->ProgramFolder()));
  EXPECT_FALSE(StartUpdater(""));
}

TEST_F(UpdateOffered, UpdatingStartsTheUpdaterInTheProgramFolderAndEndsTheClient) {
  Publish("1.0.0.3");
  PlaceUpdater();
  AnswerQuestion("立即升级");
  Offer("1.0.0.2");
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(exits, 1);
  EXPECT_TRUE(headless::Desktop().MessageBoxes().empty());
  EXPECT_TRUE(MarkerAppears()) << "the updater runs in the program folder";
}

}  // namespace
