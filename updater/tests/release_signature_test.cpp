// Signed releases: a keyed updater starts only what the key's owner signed; an updater built
// without signed updates starts whatever the service offers.
#include <cctype>

#include <gtest/gtest.h>

#include "service/admin/release_signer.h"
#include "toolkit/testing/headless.h"
#include "updater/release_signature.h"
#include "updater/tests/updater_rig.h"

using namespace updater_testing;

namespace {

class Signed : public UpdaterTest {
 protected:
  void SetUp() override {
    UpdaterTest::SetUp();
    ASSERT_TRUE(service_.ok());
    ASSERT_EQ(PublisherKey().size(), 130u);
    otherKey_ = MakeReleaseKey(folder_.File("other.pem"));
    ASSERT_EQ(otherKey_.size(), 130u);
  }
  void ExpectRefused() {
    ASSERT_TRUE(DownloadSettled());
    EXPECT_EQ(LastMessage(), "未知错误，未能启动升级软件");
    EXPECT_FALSE(ended_);
    EXPECT_FALSE(platform::PathExists(SavedFile()));
    EXPECT_FALSE(platform::PathExists(folder_.File("marker")));
  }

  ReferenceService service_{folder_};
  std::string otherKey_;
};

TEST_F(Signed, KeyedUpdaterStartsWhatThePublisherSigned) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", PublisherPem()}), 0);
  ASSERT_TRUE(Open(service_.Endpoint(), PublisherKey()));
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
  EXPECT_TRUE(MarkerAppears());
}

TEST_F(Signed, KeyedUpdaterRefusesUnsignedReleasesAndDeletesTheStaleFile) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--unsigned"}), 0);
  WriteRelease("updatetemp");  // an earlier run's download, which would leave the marker
  ASSERT_TRUE(Open(service_.Endpoint(), PublisherKey()));
  ExpectRefused();
}

TEST_F(Signed, KeyedUpdaterRefusesAnotherKeysSignature) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", folder_.File("other.pem")}), 0);
  ASSERT_TRUE(Open(service_.Endpoint(), PublisherKey()));
  ExpectRefused();
}

TEST_F(Signed, KeyedUpdaterRefusesAReleaseChangedAfterSigning) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", PublisherPem()}), 0);
  // The file the service serves, changed behind the signature.
  platform::WriteFileAtomically(folder_.File("releases/VymeraSetup"), std::string(kReleaseProgram) + "echo more\n");
  ASSERT_TRUE(Open(service_.Endpoint(), PublisherKey()));
  ExpectRefused();
}

TEST_F(Signed, UnsignedBuildStartsSignedAndUnsignedReleases) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", folder_.File("other.pem")}), 0);
  ASSERT_TRUE(Open(service_.Endpoint()));
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
}

TEST(ReleaseSignature, MalformedKeysAndSignaturesNeverVerify) {
  testing_support::TempFolder folder;
  std::string key = MakeReleaseKey(folder.File("k.pem"));
  ASSERT_EQ(key.size(), 130u);
  std::string problem;
  std::string signature = service::SignRelease(folder.File("k.pem"), "bytes", problem).value_or("");
  ASSERT_EQ(signature.size(), 128u) << problem;

  EXPECT_TRUE(ReleaseSignatureAccepts(key, "bytes", signature));
  std::string upper = signature;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_TRUE(ReleaseSignatureAccepts(key, "bytes", upper));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "byteS", signature));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", ""));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", signature.substr(0, 126)));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", signature + "00"));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", "zz" + signature.substr(2)));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", std::string(128, '0')));  // r = s = 0
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", std::string(128, 'f')));  // beyond the curve's order
  // A compressed point, a point off the curve, a short key.
  EXPECT_FALSE(ReleaseSignatureAccepts("02" + key.substr(2), "bytes", signature));
  std::string offCurve = key;
  offCurve[129] = offCurve[129] == '0' ? '1' : '0';
  EXPECT_FALSE(ReleaseSignatureAccepts(offCurve, "bytes", signature));
  EXPECT_FALSE(ReleaseSignatureAccepts(key.substr(0, 128), "bytes", signature));
  // Only a build without signed updates has no key; it takes anything.
  EXPECT_TRUE(ReleaseSignatureAccepts("", "bytes", ""));
}

// The build's own key pair: what `publish` signs with by default, the built-in key verifies.
TEST(ReleaseSignature, TheBuildsDeveloperKeyMatchesTheBuiltInKey) {
  if (service::DeveloperReleaseKey().empty()) GTEST_SKIP() << "this build was given the publisher's key";
  ASSERT_EQ(BuiltInReleaseKey().size(), 130u);
  std::string problem;
  auto signature = service::SignRelease(std::string(service::DeveloperReleaseKey()), "a release", problem);
  ASSERT_TRUE(signature) << problem;
  EXPECT_TRUE(ReleaseSignatureAccepts(BuiltInReleaseKey(), "a release", *signature));
}

}  // namespace
