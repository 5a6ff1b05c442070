#include "client/core/binding/device_binding.h"

#include "client/core/api/api_client.h"
#include "client/core/devices/hid_class.h"
#include "common/xml/xml_document.h"
#include "kit/pace700_kit.h"
#include "platform/codepage.h"

namespace {
constexpr const char* kNoAnswer = "网络错误";
constexpr const char* kUnknownRefusal = "未知错误";
constexpr const char* kScaleBound = "健康秤绑定成功";
constexpr const char* kStepBound = "计步器绑定成功";
constexpr const char* kStepSlotText = "运动追踪器绑定成功";
constexpr const char* kUnbound = "解除绑定成功";
constexpr const char* kUnbindUnknown = "用户解除绑定未知错误";
constexpr const char* kUnbindCaption = "解除绑定错误";

// A child's text as the user may see it: bounded, and nothing when the child is missing or empty.
std::string ShownText(const XmlElement& root, std::string_view child) {
  const XmlElement* found = root.FindChild(child);
  if (!found) return {};
  return std::string(platform::TruncateCodePoints(found->Value(), DeviceBinding::kMaxShownChars));
}
}  // namespace

BindStep DeviceBinding::ReadBindAnswer(const XmlDocument* answer) {
  if (!answer) return {BindResult::NoAnswer, BindingNotice::Message(kNoAnswer)};
  const XmlElement& root = answer->Root();
  if (root.Name() == "pinless_res") {
    // Accepted only when the service says so; a bare answer changes nothing and says nothing.
    return {root.FindChild("pintext") ? BindResult::Bound : BindResult::Refused, {}};
  }
  std::string code = ShownText(root, "code");
  return {BindResult::Refused, BindingNotice::Message(code.empty() ? kUnknownRefusal : code)};
}

UnbindStep DeviceBinding::ReadUnbindAnswer(const XmlDocument* answer) {
  if (!answer) return {false, BindingNotice::Message(kNoAnswer)};
  const XmlElement& root = answer->Root();
  if (root.Name() == "cancel_res") {
    if (root.FindChild("cancel")) return {true, BindingNotice::Message(kUnbound)};
    return {false, {}};
  }
  std::string msg = ShownText(root, "msg");
  return {false, BindingNotice::Box(msg.empty() ? kUnbindUnknown : msg, kUnbindCaption)};
}

BindStep DeviceBinding::Bind(DeviceKind kind, UserRecord& user, std::string_view code) {
  std::unique_ptr<XmlDocument> answer;
  switch (kind) {
    case DeviceKind::Pedometer:
      answer = api_.BindPedometer(user, code);
      break;
    case DeviceKind::Scale:
      answer = api_.BindScale(user, code);
      break;
    case DeviceKind::Pace700:
      answer = api_.BindPace700(user, code);
      break;
  }
  BindStep step = ReadBindAnswer(answer.get());
  if (step.result == BindResult::Bound) step.notice = BindingNotice::Message(Apply(kind, user.Slot(kind), code));
  return step;
}

const char* DeviceBinding::Apply(DeviceKind kind, DeviceSlot& slot, std::string_view code) {
  slot.serial = std::string(code);
  slot.connected = true;
  slot.bound = true;
  switch (kind) {
    case DeviceKind::Scale:
      slot.updatetime = kScaleBound;
      // The next pass sends the readings the scale gives this user from now on.
      slot.syncState = false;
      return kScaleBound;
    case DeviceKind::Pedometer:
      slot.updatetime = kStepSlotText;
      // The days it holds were walked before it was this user's. Reading them needs the device
      // found, which a detection tick may have undone since the list was made.
      if (pedometer_.Connected() || pedometer_.Open()) pedometer_.ClearAfterBinding();
      break;
    case DeviceKind::Pace700:
      slot.updatetime = kStepSlotText;
      if (kit_.EraseStepData(1)) kit_.SetStepTime();
      break;
  }
  slot.syncState = true;
  return kStepBound;
}

UnbindStep DeviceBinding::Unbind(DeviceKind kind, UserRecord& user) {
  std::unique_ptr<XmlDocument> answer;
  switch (kind) {
    case DeviceKind::Pedometer:
      answer = api_.UnbindPedometer(user);
      break;
    case DeviceKind::Scale:
      answer = api_.UnbindScale(user);
      break;
    case DeviceKind::Pace700:
      answer = api_.UnbindPace700(user);
      break;
  }
  UnbindStep step = ReadUnbindAnswer(answer.get());
  if (step.done) {
    DeviceSlot& slot = user.Slot(kind);
    slot.serial.clear();
    slot.bound = false;
  }
  return step;
}
