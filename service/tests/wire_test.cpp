// Reading request bodies, signatures, strict numbers, e-mail addresses and answer text.

#include <gtest/gtest.h>

#include "service/wire/email_address.h"
#include "service/wire/form_reader.h"
#include "service/wire/signature.h"
#include "service/wire/strict_number.h"
#include "service/wire/xml_answer.h"

namespace service {
namespace {

const std::vector<std::string_view> kLogin = {"method", "account", "password", "sign"};

std::vector<std::vector<std::string>> Readings(std::string_view body, std::string_view method,
                                               const std::vector<std::string_view>& fields, size_t max = 64) {
  bool truncated = false;
  std::vector<std::vector<std::string>> all;
  for (const FormReading& reading : ReadForm(body, method, fields, max, truncated))
    all.emplace_back(reading.values.begin(), reading.values.end());
  return all;
}

TEST(FormReader, ReadsThePlainClientLayoutOneWay) {
  auto readings = Readings("method=user.id.get&account=a@b.cn&password=pw&sign=0f", "user.id.get", kLogin);
  ASSERT_EQ(readings.size(), 1u);
  EXPECT_EQ(readings[0], (std::vector<std::string>{"user.id.get", "a@b.cn", "pw", "0f"}));
}

TEST(FormReader, KeepsAmpersandsInsideValues) {
  auto readings = Readings("method=user.id.get&account=a&b&password=p&q=1&sign=s", "user.id.get", kLogin);
  ASSERT_EQ(readings.size(), 1u);
  EXPECT_EQ(readings[0][1], "a&b");
  EXPECT_EQ(readings[0][2], "p&q=1");
}

TEST(FormReader, OffersEveryReadingWhenAValueLooksLikeTheNextField) {
  auto readings = Readings("method=user.id.get&account=a&password=b&password=c&sign=s", "user.id.get", kLogin);
  ASSERT_EQ(readings.size(), 2u);
  EXPECT_EQ(readings[0][1], "a");
  EXPECT_EQ(readings[0][2], "b&password=c");
  EXPECT_EQ(readings[1][1], "a&password=b");
  EXPECT_EQ(readings[1][2], "c");
}

TEST(FormReader, RefusesOtherShapesAndBoundsTheSearch) {
  EXPECT_TRUE(Readings("method=user.id.get&password=p&account=a&sign=s", "user.id.get", kLogin).empty());
  EXPECT_TRUE(Readings("method=user.id.get&account=a&password=p", "user.id.get", kLogin).empty());
  EXPECT_TRUE(Readings("method=user.id.getx&account=a&password=p&sign=s", "user.id.get", kLogin).empty());
  EXPECT_TRUE(Readings("method=vymera.get&x=1", "vymera.get", {"method"}).empty());
  EXPECT_EQ(Readings("method=vymera.get", "vymera.get", {"method"}).size(), 1u);
  EXPECT_FALSE(MethodNameOf("user.id.get&account=a").has_value());

  std::string many = "method=user.id.get&account=";
  for (int i = 0; i < 200; ++i) many += "&password=";
  many += "&sign=s";
  bool truncated = false;
  EXPECT_EQ(ReadForm(many, "user.id.get", kLogin, 64, truncated).size(), 64u);
  EXPECT_TRUE(truncated);
}

TEST(Signature, DigestsMatchTheMd5ReferenceValues) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
}

TEST(Signature, SignsTheKeyAndTheFieldsSortedByName) {
  EXPECT_EQ(SignedText({{"user_id", "1234"}, {"method", "scale.hard.cancel"}}),
            std::string(kSignatureKey) + "methodscale.hard.canceluser_id1234");
  std::string text = SignedText({{"weight", "65.4"}, {"user_id", "7"}, {"scalecode", "W1A"}, {"date", "2024-03-05"},
                                 {"method", "scale.weight.up"}});
  EXPECT_EQ(text, std::string(kSignatureKey) + "date2024-03-05methodscale.weight.upscalecodeW1Auser_id7weight65.4");
  EXPECT_TRUE(SignatureMatches(text, Md5Hex(text)));
  EXPECT_FALSE(SignatureMatches(text, Md5Hex(text + " ")));
  EXPECT_FALSE(SignatureMatches(text, Md5Hex(text).substr(0, 31)));
}

TEST(StrictNumber, AcceptsOnlyWholeTextsInRange) {
  EXPECT_EQ(ParseUnsigned("0"), 0u);
  EXPECT_EQ(ParseUnsigned("18446744073709551615"), UINT64_MAX);
  for (const char* text : {"", "+1", "-1", " 1", "1 ", "1a", "0x1", "18446744073709551616"})
    EXPECT_FALSE(ParseUnsigned(text).has_value()) << text;
  EXPECT_FALSE(ParseUnsigned("256", 255).has_value());
  EXPECT_FALSE(ParseUnsigned("4", 3).has_value());
  EXPECT_EQ(ParseUnsigned("3", 3), 3u);
  EXPECT_EQ(ParseWeightTenths("0.1"), 1);
  EXPECT_EQ(ParseWeightTenths("300.0"), 3000);
  EXPECT_FALSE(ParseWeightTenths("300.1").has_value());
  EXPECT_FALSE(ParseWeightTenths(".5").has_value());
  for (const char* weight : {"0.1", "65.4", "300.0"}) EXPECT_EQ(KilogramText(*ParseWeightTenths(weight)), weight);
  EXPECT_EQ(ParseDay("2024-3-5"), "2024-03-05");
  EXPECT_EQ(ParseDay("2000-02-29"), "2000-02-29");
  EXPECT_FALSE(ParseDay("1900-02-29", 1900).has_value());
  EXPECT_FALSE(ParseDay("2024-003-05").has_value());
  EXPECT_FALSE(ParseDay("2024-03-05-").has_value());
  EXPECT_FALSE(ParseDay("1999-12-31").has_value());
  CalendarDay parts = PartsOfDay(ParseDay("2024-3-5").value_or(""));
  EXPECT_EQ(parts.year * 10000 + parts.month * 100 + parts.day, 20240305);
  EXPECT_EQ(PartsOfDay("2024").month, 0);
}

TEST(EmailAddress, TellsAddressesFromOtherNames) {
  for (const char* good : {"li@example.com", "a.b+c@mail.example.cn", "a&b@example.com"})
    EXPECT_TRUE(IsEmailAddress(good)) << good;
  for (const char* bad : {"", "li", "@example.com", "li@", "li@example", "li@@example.com", "li@exa mple.com",
                          "li@-example.com", "li@example..com", "李@example.com", "l i@example.com"})
    EXPECT_FALSE(IsEmailAddress(bad)) << bad;
}

TEST(XmlAnswer, EscapesMarkupAndReplacesWhatXmlCannotCarry) {
  EXPECT_EQ(XmlText("a<b>&\"c\""), "a&lt;b&gt;&amp;&quot;c&quot;");
  EXPECT_EQ(XmlText("李\x01\xFF"), "李??");
  EXPECT_EQ(XmlText("\xED\xA0\x80"), "???");  // an encoded surrogate
  // Bytes that never lead a sequence, even when continuation bytes follow them.
  EXPECT_EQ(XmlText("\xF5\x80\x80"), "???");
  EXPECT_EQ(XmlText("\xF8\x88\x80\x80"), "????");
  std::string document = XmlAnswer("cancel_res").Add("cancel", "1").Open("x").Add("n", int64_t{-3}).Finish();
  EXPECT_EQ(document, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<cancel_res><cancel>1</cancel><x><n>-3</n></x>"
                      "</cancel_res>\n");
}

}  // namespace
}  // namespace service
