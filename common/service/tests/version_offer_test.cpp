#include "common/service/version_offer.h"

#include <gtest/gtest.h>

#include "common/xml/xml_document.h"

namespace {

std::optional<version_offer::Offer> ReadText(const std::string& body) {
  XmlDocument answer;
  answer.LoadText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + body);
  return version_offer::Read(answer);
}

std::string Offering(const std::string& field, const std::string& value) {
  return "<vymera_get><donload><" + field + ">" + value + "</" + field + "></donload></vymera_get>";
}

TEST(VersionOffer, ReadsTheThreeValuesOfAVymeraGetAnswer) {
  auto offer = ReadText(
      "<vymera_get><donload><newversion>1.0.0.3</newversion><url>http://127.0.0.1/r</url>"
      "<signature>ab01</signature></donload></vymera_get>");
  ASSERT_TRUE(offer);
  EXPECT_EQ(offer->version, "1.0.0.3");
  EXPECT_EQ(offer->url, "http://127.0.0.1/r");
  EXPECT_EQ(offer->signature, "ab01");
}

TEST(VersionOffer, AnotherRootIsNoOfferAndAMissingDonloadAnEmptyOne) {
  EXPECT_FALSE(ReadText("<Vymera_get><donload><url>http://x/</url></donload></Vymera_get>"));
  EXPECT_FALSE(ReadText("<vymera_get><donload><url>http://x/</url></donload>"))
      << "an answer cut short is not read";
  XmlDocument empty;
  EXPECT_FALSE(version_offer::Read(empty));
  auto bare = ReadText("<vymera_get><url>http://x/</url></vymera_get>");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->url, "");
}

TEST(VersionOffer, TheBoundCountsUtf8BytesAndDropsRatherThanCuts) {
  std::string fits(version_offer::kMaxValueBytes, 'a');
  EXPECT_EQ(ReadText(Offering("url", fits))->url, fits);
  EXPECT_EQ(ReadText(Offering("url", fits + "a"))->url, "");
  // 85 three-byte characters are 255 bytes here (170 in the code page); 86 are over.
  std::string wide;
  for (int i = 0; i < 85; ++i) wide += "版";
  EXPECT_EQ(ReadText(Offering("newversion", wide))->version, wide);
  EXPECT_EQ(ReadText(Offering("newversion", wide + "版"))->version, "");
  // A character without a code-page form would count as one "?" there; here it counts as what it is.
  std::string emoji;
  for (int i = 0; i < 64; ++i) emoji += "\xF0\x9F\x98\x80";
  EXPECT_EQ(ReadText(Offering("url", emoji))->url, "");
}

}  // namespace
