// The release signature check with signatures made once by OpenSSL's command line: the same cases
// run over OpenSSL and over CNG, so either library accepts exactly what the other does.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "platform/file_io.h"
#include "testing/temp_folder.h"
#include "updater/p256_verifier.h"
#include "updater/release_signature.h"

namespace {

// Two P-256 key pairs' public points; releases below are signed with the first.
constexpr std::string_view kKey =
    "0454c0339aaa0aac3a4aa86ccdc12f1fe88f5fae79a9cb44925f59b944e0376b36"
    "73fb95798c3034d230f89926bfb83281e41639402e449125b254161c2088d73f";
constexpr std::string_view kOtherKey =
    "04aa20cf32fe5be8bf677fa6d3b8123572a6dfaec8f60e8ea316ed6584a90622a2"
    "9e460c9121f04df91d0e6cf91c5067131926790a8dea39fddf72a310aaa3a8dc";

constexpr std::string_view kShortRelease = "Vymera 1.0.0.9";
constexpr std::string_view kShortSignature =
    "4c47a1ca016b271afb1a8cfe3ba716d51624025783df1d4dced7c6ea81e40630"
    "198113d23eb75812add0adcc8387a93d3ebfca51113067120312591473e1a0b2";

// A release larger than the pieces a file is read in, so its hash crosses their edges.
std::string LongRelease() {
  std::string bytes(600 * 1024 + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
  return bytes;
}
constexpr std::string_view kLongSignature =
    "42bd6a375a48783adc833d5853c1083422a0f92b68c7f53f838a03826cfc36a1"
    "b27ecb3e343560782715ae0a539bea89d20a4f5722c9960c756b0e4f43c6ea97";

std::string Upper(std::string_view hex) {
  std::string text(hex);
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

TEST(P256Verifier, ValidSignaturesAreAcceptedInEitherCase) {
  EXPECT_TRUE(ReleaseSignatureAccepts(kKey, kShortRelease, kShortSignature));
  EXPECT_TRUE(ReleaseSignatureAccepts(Upper(kKey), kShortRelease, Upper(kShortSignature)));
  EXPECT_TRUE(ReleaseSignatureAccepts(kKey, LongRelease(), kLongSignature));
}

TEST(P256Verifier, ChangedBytesAreRefused) {
  std::string changed(kShortRelease);
  changed.back() = '8';
  EXPECT_FALSE(ReleaseSignatureAccepts(kKey, changed, kShortSignature));
  EXPECT_FALSE(ReleaseSignatureAccepts(kKey, std::string(kShortRelease) + '\0', kShortSignature));
  EXPECT_FALSE(ReleaseSignatureAccepts(kKey, kShortRelease.substr(1), kShortSignature));
  std::string longChanged = LongRelease();
  longChanged[300 * 1024] ^= 1;
  EXPECT_FALSE(ReleaseSignatureAccepts(kKey, longChanged, kLongSignature));
  // The signature of another release.
  EXPECT_FALSE(ReleaseSignatureAccepts(kKey, kShortRelease, kLongSignature));
}

TEST(P256Verifier, AnotherKeyIsRefused) {
  EXPECT_FALSE(ReleaseSignatureAccepts(kOtherKey, kShortRelease, kShortSignature));
  EXPECT_FALSE(ReleaseSignatureAccepts(kOtherKey, LongRelease(), kLongSignature));
}

TEST(P256Verifier, MalformedSignaturesAreRefused) {
  const std::string good(kShortSignature);
  for (const std::string& bad : {std::string(), good.substr(0, 126), good + "00", "zz" + good.substr(2),
                                 good.substr(64) + good.substr(0, 64),  // s and r swapped
                                 std::string(128, '0'),                 // r = s = 0
                                 good.substr(0, 64) + std::string(64, '0'), std::string(64, '0') + good.substr(64),
                                 std::string(128, 'f')}) {  // both beyond the curve's order
    EXPECT_FALSE(ReleaseSignatureAccepts(kKey, kShortRelease, bad)) << bad;
  }
}

TEST(P256Verifier, MalformedKeysAreRefused) {
  const std::string key(kKey);
  std::string offCurve = key;
  offCurve[129] = offCurve[129] == '0' ? '1' : '0';
  for (const std::string& bad : {key.substr(0, 128), key + "00", "02" + key.substr(2, 64),  // compressed
                                 "02" + key.substr(2), "00" + key.substr(2), offCurve, std::string(130, '0')}) {
    EXPECT_FALSE(ReleaseSignatureAccepts(bad, kShortRelease, kShortSignature)) << bad;
  }
  // Only a build without signed updates has no key; it takes anything.
  EXPECT_TRUE(ReleaseSignatureAccepts("", kShortRelease, ""));
}

TEST(P256Verifier, PiecesThatCannotBeReadNeverVerify) {
  P256Point key{};
  P256Signature signature{};
  for (size_t i = 0; i < key.size(); ++i) key[i] = static_cast<uint8_t>(std::stoi(std::string(kKey.substr(2 * i, 2)), nullptr, 16));
  for (size_t i = 0; i < signature.size(); ++i) {
    signature[i] = static_cast<uint8_t>(std::stoi(std::string(kShortSignature.substr(2 * i, 2)), nullptr, 16));
  }
  int calls = 0;
  auto release = [&](std::string_view& piece) {
    piece = calls++ == 0 ? kShortRelease : std::string_view();
    return true;
  };
  EXPECT_TRUE(P256SignatureVerifies(key, release, signature));
  // All the bytes were given, but the reader failed where the end would be.
  calls = 0;
  auto failing = [&](std::string_view& piece) {
    piece = kShortRelease;
    return calls++ == 0;
  };
  EXPECT_FALSE(P256SignatureVerifies(key, failing, signature));
}

// The release as the updater holds it: a file it wrote, read back through its descriptor.
class SignedFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    ASSERT_GE(writer_.Descriptor(), 0);
    ASSERT_TRUE(writer_.Write(release_));
  }

  testing_support::TempFolder folder_;
  std::string release_ = LongRelease();
  platform::AtomicFileWriter writer_{folder_.File("updatetemp")};
};

TEST_F(SignedFile, TheWholeFileIsCheckedPieceByPiece) {
  const int fd = writer_.Descriptor();
  EXPECT_TRUE(ReleaseFileSignatureAccepts(kKey, fd, release_.size(), kLongSignature));
  EXPECT_FALSE(ReleaseFileSignatureAccepts(kOtherKey, fd, release_.size(), kLongSignature));
  // Fewer bytes than were signed, and more than the file holds.
  EXPECT_FALSE(ReleaseFileSignatureAccepts(kKey, fd, release_.size() - 1, kLongSignature));
  EXPECT_FALSE(ReleaseFileSignatureAccepts(kKey, fd, release_.size() + 1, kLongSignature));
}

TEST_F(SignedFile, ReadsAtAnOffsetLeaveTheFileAsItWas) {
  const int fd = writer_.Descriptor();
  char bytes[8];
  ASSERT_EQ(platform::ReadAt(fd, bytes, sizeof bytes, 300 * 1024), 8);
  EXPECT_EQ(std::string_view(bytes, 8), std::string_view(release_).substr(300 * 1024, 8));
  EXPECT_EQ(platform::ReadAt(fd, bytes, sizeof bytes, release_.size() - 3), 3);
  EXPECT_EQ(platform::ReadAt(fd, bytes, sizeof bytes, release_.size()), 0);
  EXPECT_EQ(platform::ReadAt(-1, bytes, sizeof bytes, 0), -1);
  // Appending after the reads still appends at the end.
  ASSERT_TRUE(writer_.Write("tail"));
  ASSERT_TRUE(writer_.Commit());
  EXPECT_EQ(platform::ReadWholeFile(folder_.File("updatetemp")), release_ + "tail");
}

}  // namespace
