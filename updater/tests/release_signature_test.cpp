// Signed releases: a keyed updater starts only what the key's owner signed; an unkeyed one starts
// whatever the service offers.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "toolkit/headless.h"
#include "updater/release_signature.h"
#include "updater/tests/updater_rig.h"

using namespace updater_testing;

namespace {

// Makes an Ed25519 key pair with the openssl tool as the README tells publishers to; the hex of
// the public key.
std::string MakeKey(const std::string& pem) {
  std::string make = "openssl genpkey -algorithm ed25519 -out '" + pem + "' 2>/dev/null";
  if (std::system(make.c_str()) != 0) return {};
  std::string show = "openssl pkey -in '" + pem + "' -pubout -outform DER | tail -c 32 | od -An -tx1 | tr -d ' \\n'";
  std::string hex;
  if (std::FILE* pipe = popen(show.c_str(), "r")) {
    char buffer[128];
    while (std::fgets(buffer, sizeof buffer, pipe)) hex += buffer;
    pclose(pipe);
  }
  return hex;
}

class Signed : public UpdaterTest {
 protected:
  void SetUp() override {
    UpdaterTest::SetUp();
    ASSERT_TRUE(service_.ok());
    publisherKey_ = MakeKey(folder_.File("publisher.pem"));
    otherKey_ = MakeKey(folder_.File("other.pem"));
    ASSERT_EQ(publisherKey_.size(), 64u);
    ASSERT_EQ(otherKey_.size(), 64u);
  }
  void ExpectRefused() {
    ASSERT_TRUE(DownloadSettled());
    EXPECT_EQ(LastMessage(), "未知错误，未能启动升级软件");
    EXPECT_FALSE(ended_);
    EXPECT_FALSE(platform::PathExists(SavedFile()));
    EXPECT_FALSE(platform::PathExists(folder_.File("marker")));
  }

  ReferenceService service_{folder_};
  std::string publisherKey_;
  std::string otherKey_;
};

TEST_F(Signed, KeyedUpdaterStartsWhatThePublisherSigned) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", folder_.File("publisher.pem")}), 0);
  ASSERT_TRUE(Open(service_.Endpoint(), publisherKey_));
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
  EXPECT_TRUE(MarkerAppears());
}

TEST_F(Signed, KeyedUpdaterRefusesUnsignedReleasesAndDeletesTheFile) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup")}), 0);
  platform::WriteFileAtomically(SavedFile(), "a stale download");
  ASSERT_TRUE(Open(service_.Endpoint(), publisherKey_));
  ExpectRefused();
}

TEST_F(Signed, KeyedUpdaterRefusesAnotherKeysSignature) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", folder_.File("other.pem")}), 0);
  ASSERT_TRUE(Open(service_.Endpoint(), publisherKey_));
  ExpectRefused();
}

TEST_F(Signed, UnkeyedUpdaterStartsSignedAndUnsignedReleases) {
  ASSERT_EQ(service_.Publish({"1.0.0.9", WriteRelease("VymeraSetup"), "--key", folder_.File("other.pem")}), 0);
  ASSERT_TRUE(Open(service_.Endpoint()));
  ASSERT_TRUE(DownloadSettled());
  EXPECT_TRUE(ended_);
}

TEST(ReleaseSignature, MalformedKeysAndSignaturesNeverVerify) {
  std::string key(64, 'a');
  EXPECT_TRUE(ReleaseSignatureAccepts("", "anything", ""));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", ""));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", std::string(128, '0')));
  EXPECT_FALSE(ReleaseSignatureAccepts(key, "bytes", std::string(127, '0')));
  EXPECT_FALSE(ReleaseSignatureAccepts("zz" + std::string(62, 'a'), "bytes", std::string(128, '0')));
  EXPECT_FALSE(ReleaseSignatureAccepts(std::string(63, 'a'), "bytes", std::string(128, '0')));
}

}  // namespace
