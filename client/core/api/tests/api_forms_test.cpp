// The exact texts the client sends and signs, and the picture file names it makes.

#include <gtest/gtest.h>

#include "client/core/api/api_forms.h"
#include "client/core/api/picture_name.h"
#include "client/core/api/request_signer.h"
#include "platform/codepage.h"
#include "platform/tests/comma_locale.h"

namespace {

UserRecord User(std::string uid) {
  UserRecord user;
  user.uid = std::move(uid);
  return user;
}

std::string SignOf(std::string_view signedText) { return Md5Hex(platform::ToCodePage(signedText)); }

TEST(Signer, Md5MatchesTheReferenceVectors) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
}

TEST(Signer, SignedTextIsTheKeyThenSortedNamesAndValuesWithoutSeparators) {
  RequestForm form("scale.hard.cancel");
  form.Signed("user_id", "1234").Sign();
  EXPECT_EQ(form.SignedText(), "5f0c9e2ab7d1436c8e94a0b2c7d3e6f1methodscale.hard.canceluser_id1234");
  EXPECT_EQ(api_forms::Unbind("scale.hard.cancel", User("1234")),
            "method=scale.hard.cancel&user_id=1234&sign=" + SignOf(form.SignedText()));
}

TEST(Forms, UserInfoSendsAndSignsThePasswordAsItIs) {
  std::string form = api_forms::UserInfo("张三", "p&w=1");
  std::string sign = SignOf(std::string(kSignatureKey) + "account张三methoduser.id.getpasswordp&w=1");
  EXPECT_EQ(form, "method=user.id.get&account=张三&password=p&w=1&sign=" + sign);
  // Signed over the code-page bytes, not the UTF-8 ones.
  EXPECT_NE(sign, Md5Hex(std::string(kSignatureKey) + "account张三methoduser.id.getpasswordp&w=1"));
}

TEST(Forms, BindingsNameTheirCodeAsTheServiceExpects) {
  UserRecord user = User("77");
  EXPECT_EQ(api_forms::Bind("scale.code.pinless", "scalecode", user, "W1S9"),
            "method=scale.code.pinless&scalecode=W1S9&user_id=77&sign=" +
                SignOf(std::string(kSignatureKey) + "methodscale.code.pinlessscalecodeW1S9user_id77"));
  EXPECT_EQ(api_forms::Bind("K700.code.pinless", "pedcode", user, "123"),
            "method=K700.code.pinless&pedcode=123&user_id=77&sign=" +
                SignOf(std::string(kSignatureKey) + "methodK700.code.pinlesspedcode123user_id77"));
}

TEST(Forms, WeightUploadWithOneDecimalAlwaysAPoint) {
  EXPECT_EQ(api_forms::WeightText(70.55f), "70.6");  // the float is a little above 70.55
  EXPECT_EQ(api_forms::WeightText(65.25f), "65.2");  // exact halves round to even, as printf does
  EXPECT_EQ(api_forms::WeightText(0.0f), "0.0");
  EXPECT_EQ(api_forms::UploadWeight(User("77"), "2024-05-01", "W1ABC", 70.5f),
            "method=scale.weight.up&user_id=77&scalecode=W1ABC&date=2024-05-01&weight=70.5&sign=" +
                SignOf(std::string(kSignatureKey) + "date2024-05-01methodscale.weight.upscalecodeW1ABCuser_id77weight70.5"));
}

TEST(Forms, WeightUploadKeepsItsPointUnderACommaLocale) {
  testing_support::CommaLocale comma;
  if (!comma.Active()) GTEST_SKIP() << comma.Missing();
  EXPECT_EQ(api_forms::WeightText(68.4f), "68.4");
  EXPECT_NE(api_forms::UploadWeight(User("77"), "2024-05-01", "W1ABC", 70.5f).find("&weight=70.5&"), std::string::npos);
}

TEST(Forms, PedometerDayWritesEveryByteAsHAndTwoHexDigitsUnsigned) {
  PedometerDay day;
  day.deviceId = 42;
  day.year = 2024;
  day.month = 5;
  day.day = 1;
  day.data[0] = 0x0A;
  day.data[1] = 0xFF;
  day.data[1023] = 0x5C;
  std::string file = api_forms::PedometerFile(day);
  ASSERT_EQ(file.size(), 3072u);
  EXPECT_EQ(file.substr(0, 9), "h0ahffh00");
  EXPECT_EQ(file.substr(3069), "h5c");
  EXPECT_EQ(api_forms::PedometerCode(42), "A10000000042");
  EXPECT_EQ(api_forms::PedometerCode(4294967295u), "A14294967295");
  EXPECT_EQ(api_forms::UploadPedometerDay(User("77"), day),
            "method=ped.byte.up&pedcode=A10000000042&user_id=77&date=2024-5-1&sign=" +
                SignOf(std::string(kSignatureKey) + "date2024-5-1methodped.byte.uppedcodeA10000000042user_id77") +
                "&file=" + file);
}

TEST(Forms, TrackerDayCarriesTheKitsTextsAndTypeUnsigned) {
  EXPECT_EQ(api_forms::UploadPace700Day(User("77"), "0a0b", "2024-05-01", "98765"),
            "method=K700.byte.up&pedcode=98765&user_id=77&date=2024-05-01&sign=" +
                SignOf(std::string(kSignatureKey) + "date2024-05-01methodK700.byte.uppedcode98765user_id77") +
                "&file=0a0b&type=k690");
  EXPECT_EQ(api_forms::kVersionQuery, "method=vymera.get");
}

TEST(PictureNames, NoAnswerCanLeaveTheUserFolder) {
  EXPECT_EQ(PictureBaseName("张三"), "张三");
  EXPECT_EQ(PictureBaseName("Tom Li"), "Tom Li");
  EXPECT_EQ(PictureBaseName(""), "_");
  EXPECT_EQ(PictureBaseName(".."), "__");
  EXPECT_EQ(PictureBaseName(".hidden"), "_hidden");
  EXPECT_EQ(PictureBaseName("a\nb\x7f" "c\xc2\x85"), "a_b_c_");
  EXPECT_EQ(PictureBaseName("bad\xff" "byte"), "bad_byte");
  for (std::string_view hostile : {"../../etc/passwd", "..\\..\\x", "/abs/path", "a/../../b", "...."}) {
    std::string name = PictureBaseName(hostile);
    EXPECT_EQ(name.find('/'), std::string::npos) << hostile;
    EXPECT_EQ(name.find('\\'), std::string::npos) << hostile;
    EXPECT_EQ(name.find(".."), std::string::npos) << hostile;
    EXPECT_NE(name.front(), '.') << hostile;
  }
  std::string longName;
  for (int i = 0; i < 60; ++i) longName += "长";
  std::string cut = PictureBaseName(longName);
  EXPECT_EQ(cut.size(), 99u);  // 33 whole characters, never half of one
  EXPECT_EQ(platform::CountCodePoints(cut), 33u);
}

}  // namespace
