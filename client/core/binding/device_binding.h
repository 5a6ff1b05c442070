#pragma once
// DeviceBinding: ties a device to a user's account at the service and lets it go again. A bind the
// service accepts fills the user's slot for that kind and prepares the device for its new owner (a
// pedometer keeps only its last day and takes the PC's time, a tracker is erased and set to it);
// an unbind empties the slot's serial and bound flag. The record is changed, never stored: the
// caller stores it. What the user must be told comes back with the result.

#include <string_view>

#include "client/core/binding/binding_notice.h"
#include "client/core/users/user_record.h"

class ApiClient;
class CHIDClass;
class CPace700Kit;
class XmlDocument;

enum class BindResult {
  NoAnswer = 0,  // nothing changed; told "网络错误"
  Refused = 1,   // refused, or an answer the client does not know; nothing changed
  Bound = 2,
};

struct BindStep {
  BindResult result = BindResult::NoAnswer;
  BindingNotice notice;
};

struct UnbindStep {
  bool done = false;
  BindingNotice notice;
};

class DeviceBinding {
 public:
  // Texts a service sends are cut to this many characters before they are shown.
  static constexpr size_t kMaxShownChars = 200;

  // Everything borrowed must outlive the object.
  DeviceBinding(ApiClient& api, CHIDClass& pedometer, CPace700Kit& kit) : api_(api), pedometer_(pedometer), kit_(kit) {}

  // Sends the bind request of kind with code for user; on Bound the slot holds code, is connected
  // and bound, and the device has been prepared.
  BindStep Bind(DeviceKind kind, UserRecord& user, std::string_view code);
  // Sends the unbind request of kind for user; when done, the slot's serial and bound flag are
  // cleared and its last-update text is left.
  UnbindStep Unbind(DeviceKind kind, UserRecord& user);

  // The answers alone, for a request already made (answer null: none came).
  static BindStep ReadBindAnswer(const XmlDocument* answer);
  static UnbindStep ReadUnbindAnswer(const XmlDocument* answer);

 private:
  // The accepted binding, on the record and on the device; the success message key.
  const char* Apply(DeviceKind kind, DeviceSlot& slot, std::string_view code);

  ApiClient& api_;
  CHIDClass& pedometer_;
  CPace700Kit& kit_;
};
