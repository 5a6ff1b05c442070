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
  std::vector<std::vector<std::string>> all;
  for (const FormReading& reading : ReadForm(body, method, fields, max).readings)
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

}

// A body whose password may start at any of `count` places has exactly that many readings.
std::string LoginWithPasswordPlaces(int count) {
  std::string body = "method=user.id.get&account=";
  for (int i = 0; i < count; ++i) body += "&password=";
  return body + "&sign=s";
}

TEST(FormReader, StopsAtTheReadingsAskedForAndSaysWhenThereAreMore) {
  FormReadings exact = ReadForm(LoginWithPasswordPlaces(64), "user.id.get", kLogin, 64);
  EXPECT_EQ(exact.readings.size(), 64u);
  EXPECT_FALSE(exact.truncated);
  FormReadings more = ReadForm(LoginWithPasswordPlaces(65), "user.id.get", kLogin, 64);
  EXPECT_EQ(more.readings.size(), 64u);
  EXPECT_TRUE(more.truncated);
  FormReadings many = ReadForm(LoginWithPasswordPlaces(200), "user.id.get", kLogin, 64);
  EXPECT_EQ(many.readings.size(), 64u);
  EXPECT_TRUE(many.truncated);
  // Earliest boundaries first: the first reading has the shortest account.
  EXPECT_EQ(many.readings.front().values[1], "");
  EXPECT_EQ(many.readings.back().values[1].size(), 63 * std::string_view("&password=").size());
}

// Bodies of repeated field names where the fields can be placed in a vast number of ways that
// all fail at the end, or succeed in more ways than are wanted.
TEST(FormReader, WorkStaysLinearInTheBodyForRepeatedFieldNames) {
  const std::vector<std::string_view> kTrackerDay = {"method", "pedcode", "user_id", "date", "sign", "file", "type"};
  auto repeated = [](std::initializer_list<std::string_view> tags, int times, bool grouped) {
    std::string text;
    if (grouped) {
      for (std::string_view tag : tags)
        for (int i = 0; i < times; ++i) text += tag;
    } else {
      for (int i = 0; i < times; ++i)
        for (std::string_view tag : tags) text += tag;
    }
    return text;
  };
  const std::string head = "method=K700.byte.up&pedcode=";
  struct Case {
    std::string body;
    bool readable;
  };
  std::vector<Case> cases = {
      {head + repeated({"&user_id=", "&date=", "&sign="}, 300, true) + "&type=k690", false},
      {head + repeated({"&user_id=", "&date=", "&sign="}, 300, false) + "&type=k690", false},
      {head + repeated({"&user_id=", "&date=", "&sign=", "&file="}, 250, true) + "&type=k690", true},
      {head + repeated({"&user_id=", "&date=", "&sign=", "&file="}, 250, false) + "&type=k690", true},
  };
  for (const Case& hostile : cases) {
    ASSERT_GT(hostile.body.size(), 6000u);
    FormReadings form = ReadForm(hostile.body, "K700.byte.up", kTrackerDay, 64);
    EXPECT_EQ(form.readings.empty(), !hostile.readable);
    EXPECT_EQ(form.truncated, hostile.readable);
    EXPECT_LE(form.work, kTrackerDay.size() * (hostile.body.size() + 64 + 1)) << hostile.body.size();
  }
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
