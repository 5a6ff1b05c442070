// The upload methods: a scale weight, a pedometer day and a tracker day.

#include "service/api/api_request.h"
#include "service/api/device_codes.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

// The text the client counts as "this day needs no further sending", used for a malformed day
// as for one already stored.
constexpr std::string_view kInvalidDay = "非法的每日运动数据";

constexpr size_t kDayBlockBytes = 1024;
constexpr size_t kMaxTrackerFileBytes = 10240;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

int Bcd(int value) { return (value / 10) << 4 | value % 10; }

// A pedometer day is its 1024 bytes as "h%02x"; the block starts with its own date in BCD (year
// since 2000, month, day), which must be the date it is sent under.
bool IsPedometerFile(const std::string& file, const std::string& day) {
  if (file.size() != kDayBlockBytes * 3) return false;
  int header[3] = {};
  for (size_t i = 0; i < kDayBlockBytes; ++i) {
    int high = HexDigit(file[i * 3 + 1]);
    int low = HexDigit(file[i * 3 + 2]);
    if (file[i * 3] != 'h' || high < 0 || low < 0) return false;
    if (i < 3) header[i] = high << 4 | low;
  }
  CalendarDay date = PartsOfDay(day);
  return header[0] == Bcd(date.year - 2000) && header[1] == Bcd(date.month) && header[2] == Bcd(date.day);
}

// The tracker kit's day text: its inner format is the kit's, so any text within the kit's size
// passes; only control characters other than tabs and line breaks mark it as damaged.
bool IsTrackerFile(const std::string& file) {
  if (file.empty() || file.size() >= kMaxTrackerFileBytes) return false;
  for (char c : file) {
    unsigned char byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F) return false;
  }
  return true;
}

std::string DayAnswer(ServiceData& data, const ApiRequest& request, DeviceKind kind) {
  std::string refusal;
  auto member = FindMember(data, request, refusal);
  if (!member) return refusal;
  const std::string& pedcode = request.Value("pedcode");
  const std::string& file = request.Value("file");
  auto day = ParseDay(request.Value("date"));
  bool valid = day && IsDeviceCode(kind, pedcode) &&
               (kind == DeviceKind::Pedometer ? IsPedometerFile(file, *day)
                                              : IsTrackerFile(file) && request.Value("type") == "k690");
  if (!valid) return RefusalAnswer("51", kInvalidDay);
  switch (data.uploads.AddDay(kind, member->uid, pedcode, *day, file, request.now)) {
    case UploadOutcome::Stored:
    case UploadOutcome::Repeated: return XmlAnswer("pedup_res").Add("day", *day).Finish();
    case UploadOutcome::AlreadyStored: return RefusalAnswer("52", kInvalidDay);
    case UploadOutcome::Failed: break;
  }
  return RefusalAnswer("9", "服务器无法保存数据，请稍后再试");
}

}  // namespace

std::string AnswerWeightUpload(ServiceData& data, const ApiRequest& request) {
  std::string refusal;
  auto member = FindMember(data, request, refusal);
  if (!member) return refusal;
  const std::string& scalecode = request.Value("scalecode");
  auto day = ParseDay(request.Value("date"));
  auto tenths = ParseWeightTenths(request.Value("weight"));
  if (!IsDeviceCode(DeviceKind::Scale, scalecode) || !day || !tenths)
    return RefusalAnswer("22", "称重数据无效");
  UploadOutcome stored = data.uploads.AddWeight(member->uid, scalecode, *day, *tenths, request.now);
  if (stored != UploadOutcome::Stored && stored != UploadOutcome::Repeated)
    return RefusalAnswer("9", "服务器无法保存数据，请稍后再试");
  return XmlAnswer("scaleup_res").Add("weight", request.Value("weight")).Add("date", *day).Finish();
}

std::string AnswerPedometerDay(ServiceData& data, const ApiRequest& request) {
  return DayAnswer(data, request, DeviceKind::Pedometer);
}

std::string AnswerPace700Day(ServiceData& data, const ApiRequest& request) {
  return DayAnswer(data, request, DeviceKind::Pace700);
}

}  // namespace service
