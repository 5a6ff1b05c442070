// Uploads, the version answer with its release download, and what a restart keeps.

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "service/tests/service_fixture.h"

namespace service_test {
namespace {

using ApiUpload = ServiceFixture;
using ApiVersion = ServiceFixture;
using ServiceRestart = ServiceFixture;

constexpr const char* kInvalidDay = "非法的每日运动数据";

// A pedometer day block as the client writes it: 1024 bytes as "h%02x", starting with the BCD date.
std::string DayFile(int year, int month, int day, unsigned char fill = 0x0A) {
  auto bcd = [](int v) { return static_cast<unsigned char>((v / 10) << 4 | v % 10); };
  std::string file;
  for (int i = 0; i < 1024; ++i) {
    unsigned char byte = i == 0 ? bcd(year - 2000) : i == 1 ? bcd(month) : i == 2 ? bcd(day) : fill;
    char text[4];
    std::snprintf(text, sizeof text, "h%02x", byte);
    file += text;
  }
  return file;
}

TEST_F(ApiUpload, StoresWeightsAndRefusesValuesNotWrittenAsTheClientWrites) {
  int64_t li = AddAccount("li@example.com", "pw");
  EXPECT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", "65.4")->Root(), "scaleup_res");
  EXPECT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", "65.0")->Root(), "scaleup_res");  // twice a day is fine
  for (const char* weight : {"65", "65.25", "-1.0", "0.0", " 65.0", "65.0x", "1000.0", "6e1.0", ""})
    EXPECT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", weight)->Child("code"), "22") << weight;
  for (const char* date : {"2024-02-30", "2023-02-29", "24-03-05", "2024-13-01", "2024-03-05 ", "2024/03/05"})
    EXPECT_EQ(UploadWeight(li, date, "W1ABC", "65.0")->Child("code"), "22") << date;
  EXPECT_EQ(UploadWeight(li, "2024-02-29", "W1ABC", "65.0")->Root(), "scaleup_res");
  EXPECT_EQ(UploadWeight(li + 7, "2024-03-05", "W1ABC", "65.0")->Child("code"), "14");

  auto weights = data_->uploads.WeightsOf(li);
  ASSERT_EQ(weights.size(), 3u);
  EXPECT_EQ(weights[1].day, "2024-03-05");
  EXPECT_EQ(weights[1].weightTenths, 654);
}

TEST_F(ApiUpload, ARetriedWeightIsStoredOnceAndAnsweredAsStored) {
  int64_t li = AddAccount("li@example.com", "pw");
  int64_t wang = AddAccount("wang@example.com", "pw");
  // The client sends a POST again when its answer was lost: the copy is answered as stored.
  for (int copy = 0; copy < 3; ++copy) {
    auto answer = UploadWeight(li, "2024-03-05", "W1ABC", "50.7");
    EXPECT_EQ(answer->Root(), "scaleup_res") << copy;
    EXPECT_EQ(answer->Child("weight"), "50.7");
  }
  EXPECT_EQ(data_->uploads.WeightsOf(li).size(), 1u);
  // Anything that tells the readings apart makes a row of its own.
  EXPECT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", "50.8")->Root(), "scaleup_res");
  EXPECT_EQ(UploadWeight(li, "2024-03-06", "W1ABC", "50.7")->Root(), "scaleup_res");
  EXPECT_EQ(UploadWeight(li, "2024-03-05", "W1ABD", "50.7")->Root(), "scaleup_res");
  EXPECT_EQ(UploadWeight(wang, "2024-03-05", "W1ABC", "50.7")->Root(), "scaleup_res");
  EXPECT_EQ(data_->uploads.WeightsOf(li).size(), 4u);
  EXPECT_EQ(data_->uploads.WeightsOf(wang).size(), 1u);
  // Another spelling of the same value is refused, as the client never writes it.
  EXPECT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", "50.70")->Child("code"), "22");
  EXPECT_EQ(data_->uploads.WeightCount(), 5);
}

TEST_F(ApiUpload, StoresAPedometerDayOnceAnswersACopyAsStoredAndOtherDataInvalid) {
  int64_t li = AddAccount("li@example.com", "pw");
  std::string file = DayFile(2024, 3, 5);
  EXPECT_NE(file.find("h0a"), std::string::npos);
  EXPECT_EQ(UploadDay("ped.byte.up", "A10000012345", li, "2024-3-5", file, false)->Root(), "pedup_res");
  // A retried POST of the same day: stored once, answered as stored; written with padding, the same.
  EXPECT_EQ(UploadDay("ped.byte.up", "A10000012345", li, "2024-3-5", file, false)->Root(), "pedup_res");
  EXPECT_EQ(UploadDay("ped.byte.up", "A10000012345", li, "2024-03-05", file, false)->Root(), "pedup_res");
  // The same day with other data keeps the first and is called invalid, which the client settles.
  auto other = UploadDay("ped.byte.up", "A10000012345", li, "2024-3-5", DayFile(2024, 3, 5, 0x0B), false);
  EXPECT_EQ(other->Root(), "error_res");
  EXPECT_EQ(other->Child("msg"), kInvalidDay);
  EXPECT_EQ(data_->uploads.DaysOf(li).size(), 1u);
  // Another pedometer's day of that date is a day of its own.
  EXPECT_EQ(UploadDay("ped.byte.up", "A10000054321", li, "2024-3-5", file, false)->Root(), "pedup_res");
  EXPECT_EQ(data_->uploads.DaysOf(li).size(), 2u);
}

TEST_F(ApiUpload, CallsMalformedPedometerDaysInvalid) {
  int64_t li = AddAccount("li@example.com", "pw");
  std::string good = DayFile(2024, 3, 5, 0xFF);
  std::string upper = good;
  upper[upper.size() - 1] = 'F';
  std::string noH = good;
  noH[3000] = 'x';
  std::vector<std::pair<std::string, std::string>> cases = {
      {"2024-3-5", good.substr(3)},      // a byte short
      {"2024-3-5", good + "h00"},        // a byte too many
      {"2024-3-5", upper},               // digits are lowercase
      {"2024-3-5", noH},                 // every byte starts with h
      {"2024-3-6", good},                // the block says another day
      {"2024-2-30", DayFile(2024, 2, 30)},
  };
  for (const auto& [date, file] : cases)
    EXPECT_EQ(UploadDay("ped.byte.up", "A10000012345", li, date, file, false)->Child("msg"), kInvalidDay) << date;
  EXPECT_EQ(UploadDay("ped.byte.up", "B10000012345", li, "2024-3-5", good, false)->Child("msg"), kInvalidDay);
  EXPECT_TRUE(data_->uploads.DaysOf(li).empty());
}

TEST_F(ApiUpload, StoresTrackerDaysWhoseTextHoldsAmpersands) {
  int64_t li = AddAccount("li@example.com", "pw");
  std::string file = "08:00,120;09:00,300&type=k690&file=x";
  EXPECT_EQ(UploadDay("K700.byte.up", "9000000001", li, "2024-3-5", file, true)->Root(), "pedup_res");
  EXPECT_EQ(UploadDay("K700.byte.up", "9000000001", li, "2024-3-5", file, true)->Root(), "pedup_res");
  EXPECT_EQ(UploadDay("K700.byte.up", "9000000001", li, "2024-3-5", file + ";", true)->Child("msg"), kInvalidDay);
  std::string withoutType = "method=K700.byte.up&pedcode=9000000001&user_id=" + std::to_string(li) +
                            "&date=2024-3-6&sign=" +
                            Sign("date2024-3-6methodK700.byte.uppedcode9000000001user_id" + std::to_string(li)) +
                            "&file=abc&type=k700";
  EXPECT_EQ(PostUtf8(withoutType)->Child("msg"), kInvalidDay);
  EXPECT_EQ(UploadDay("K700.byte.up", "9000000001", li, "2024-3-7", std::string(10240, 'a'), true)->Child("msg"),
            kInvalidDay);
  auto days = data_->uploads.DaysOf(li);
  ASSERT_EQ(days.size(), 1u);
  EXPECT_EQ(days[0].dataBytes, file.size());
}

// Copies of one upload on many connections at once, as a client's retries can arrive while the
// first is still being stored: every copy is answered as stored, and one row is kept.
TEST_F(ApiUpload, ConcurrentCopiesOfAWeightMakeOneRowAndDifferentWeightsOneEach) {
  int64_t li = AddAccount("li@example.com", "pw");
  std::vector<std::thread> threads;
  std::atomic<int> answered{0};
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([this, li, t, &answered] {
      httplib::Client client("127.0.0.1", server_->port());
      std::string id = std::to_string(li);
      auto body = [&](const std::string& weight) {
        return platform::ToCodePage("method=scale.weight.up&user_id=" + id +
                                    "&scalecode=W1A&date=2024-03-05&weight=" + weight + "&sign=" +
                                    Sign("date2024-03-05methodscale.weight.upscalecodeW1Auser_id" + id + "weight" +
                                         weight));
      };
      std::string same = body("70.1");
      std::string own = body(std::to_string(80 + t) + ".0");
      for (int i = 0; i < 20; ++i) {
        for (const std::string* sent : {&same, &own}) {
          auto result = client.Post("/", *sent, "application/x-www-form-urlencoded");
          if (result && result->body.find("<scaleup_res>") != std::string::npos) ++answered;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(answered.load(), 320);
  EXPECT_EQ(data_->uploads.WeightCount(), 9);
}

TEST_F(ApiVersion, OffersThePublishedReleaseAndServesItsFile) {
  auto none = PostUtf8("method=vymera.get");
  EXPECT_EQ(none->Root(), "vymera_get");
  EXPECT_FALSE(none->RootNode().child("donload"));

  std::string release = folder_.File("VymeraSetup.exe");
  std::string payload(200000, '\0');
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 7);
  std::ofstream(release, std::ios::binary) << payload;
  std::ostringstream out, err;
  ASSERT_EQ(service::RunAdminCommand("publish", {"1.0.0.3", release, "--unsigned"}, *data_, out, err), 0) << err.str();

  auto offered = PostUtf8("method=vymera.get");
  auto donload = offered->RootNode().child("donload");
  EXPECT_STREQ(donload.child("newversion").text().get(), "1.0.0.3");
  std::string url = donload.child("url").text().get();
  std::string prefix = "http://127.0.0.1:" + std::to_string(server_->port());
  ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
  auto download = client_->Get(url.substr(prefix.size()).c_str());
  ASSERT_TRUE(download);
  EXPECT_EQ(download->status, 200);
  EXPECT_EQ(download->body, payload);
  EXPECT_EQ(client_->Get("/release/..%2Fservice.db")->status, 404);
}

TEST_F(ServiceRestart, KeepsAccountsBindingsUploadsAndLoginCodes) {
  int64_t li = AddAccount("li@example.com", "pw", "李");
  ASSERT_EQ(Bind("scale.code.pinless", "scalecode", "W1ABC", li)->Root(), "pinless_res");
  ASSERT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", "65.4")->Root(), "scaleup_res");
  ASSERT_EQ(UploadDay("ped.byte.up", "A10000012345", li, "2024-3-5", DayFile(2024, 3, 5), false)->Root(),
            "pedup_res");
  std::string code = Login("li@example.com", "pw")->Child("logincode");

  RestartService();
  auto answer = Login("li@example.com", "pw");
  EXPECT_EQ(answer->Child("uname"), "李");
  EXPECT_EQ(answer->Child("logincode"), code);
  EXPECT_STREQ(answer->RootNode().child("hards").child("hard").child("hardcode").text().get(), "W1ABC");
  EXPECT_EQ(UploadWeight(li, "2024-03-05", "W1ABC", "65.4")->Root(), "scaleup_res");
  EXPECT_EQ(data_->uploads.WeightsOf(li).size(), 1u);
  EXPECT_EQ(UploadDay("ped.byte.up", "A10000012345", li, "2024-3-5", DayFile(2024, 3, 5, 0x0C), false)->Child("msg"),
            kInvalidDay);
}

}  // namespace
}  // namespace service_test
