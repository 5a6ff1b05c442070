// The *.code.pinless and *.hard.cancel methods: binding a device to a member and letting it go.

#include "service/api/api_request.h"
#include "service/api/device_codes.h"

namespace service {
namespace {

const std::string& CodeOf(const ApiRequest& request, DeviceKind kind) {
  return request.Value(kind == DeviceKind::Scale ? "scalecode" : "pedcode");
}

std::string RefusalFor(BindOutcome outcome) {
  switch (outcome) {
    case BindOutcome::ScaleAlreadyYours: return RefusalAnswer("41", "这台健康秤已经绑定了你的账号");
    case BindOutcome::ScaleFull: return RefusalAnswer("42", "这台健康秤已有四位成员绑定");
    case BindOutcome::OtherScaleYours: return RefusalAnswer("43", "你的账号已经绑定了另一台健康秤");
    case BindOutcome::OtherStepYours: return RefusalAnswer("31", "你的账号已经绑定了另一台同类计步设备");
    case BindOutcome::StepTaken: return RefusalAnswer("32", "这台计步设备已被其他成员绑定");
    case BindOutcome::StepAlreadyYours: return RefusalAnswer("33", "这台计步设备已经绑定了你的账号");
    case BindOutcome::Bound:
    case BindOutcome::Failed: break;
  }
  return RefusalAnswer("9", "服务器无法保存绑定，请稍后再试");
}

}  // namespace

std::string AnswerBind(ServiceData& data, const ApiRequest& request, DeviceKind kind) {
  std::string refusal;
  auto member = FindMember(data, request, refusal);
  if (!member) return refusal;
  const std::string& code = CodeOf(request, kind);
  if (!IsDeviceCode(kind, code)) return RefusalAnswer("21", "硬件序列号无效");
  BindOutcome outcome = data.devices.Bind(kind, member->uid, code, request.now);
  if (outcome != BindOutcome::Bound) return RefusalFor(outcome);
  return XmlAnswer("pinless_res")
      .Add("code", code)
      .Add("pintext", std::string(DeviceKindName(kind)) + "绑定成功")
      .Finish();
}

std::string AnswerUnbind(ServiceData& data, const ApiRequest& request, DeviceKind kind) {
  std::string refusal;
  auto member = FindMember(data, request, refusal);
  if (!member) return refusal;
  if (!data.devices.Unbind(kind, member->uid))
    return RefusalAnswer("24", "你的账号没有绑定" + std::string(DeviceKindName(kind)));
  return XmlAnswer("cancel_res").Add("cancel", "1").Finish();
}

}  // namespace service
