#pragma once
// The messages of the device bridge. Every request has one reply, of the request's type with the
// high bit set, or an Error. A connection starts as a control connection (enumeration, the tracker,
// commands); a successful Open turns it into the handle of one HID interface, which then takes
// only Write and Read. Every field has a bound; a message that breaks one is refused whole.

#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/bridge/frame.h"
#include "platform/bridge/payload.h"
#include "platform/hid/hid_host.h"

namespace platform::bridge {

inline constexpr size_t kMaxPathBytes = 256;
inline constexpr size_t kMaxSerialBytes = 256;
inline constexpr size_t kMaxInterfaces = 64;
inline constexpr size_t kMaxReportBytes = 1024;
// The longest wait a transfer may ask for; a read may also ask to wait without limit (-1).
inline constexpr int32_t kMaxWaitMs = 10000;
inline constexpr size_t kTrackerDays = 30;
inline constexpr size_t kMaxDayData = 10239;
inline constexpr size_t kMaxCommandBytes = 4096;
inline constexpr size_t kMaxCommandReplyBytes = 64 * 1024;
inline constexpr size_t kMaxErrorBytes = 256;

namespace type {
inline constexpr uint8_t kEnumerate = 0x01;
inline constexpr uint8_t kOpen = 0x02;
inline constexpr uint8_t kWrite = 0x03;
inline constexpr uint8_t kRead = 0x04;
inline constexpr uint8_t kTrackerAttached = 0x10;
inline constexpr uint8_t kTrackerDeviceId = 0x11;
inline constexpr uint8_t kTrackerClock = 0x12;
inline constexpr uint8_t kTrackerSetClock = 0x13;
inline constexpr uint8_t kTrackerDays = 0x14;
inline constexpr uint8_t kTrackerErase = 0x15;
inline constexpr uint8_t kTrackerSetParameters = 0x16;
inline constexpr uint8_t kCommand = 0x20;
inline constexpr uint8_t kError = 0x7F;
inline constexpr uint8_t kReply = 0x80;
}  // namespace type

// A request without fields.
template <uint8_t T>
struct EmptyMessage {
  static constexpr uint8_t kType = T;
  void Write(PayloadWriter&) const {}
  static std::optional<EmptyMessage> Read(PayloadReader&) { return EmptyMessage{}; }
  bool operator==(const EmptyMessage&) const = default;
};

// A reply that is one yes or no.
template <uint8_t T>
struct FlagMessage {
  static constexpr uint8_t kType = T;
  bool value = false;
  void Write(PayloadWriter& w) const { w.U8(value ? 1 : 0); }
  static std::optional<FlagMessage> Read(PayloadReader& r) { return FlagMessage{r.Flag()}; }
  bool operator==(const FlagMessage&) const = default;
};

struct EnumerateRequest {
  static constexpr uint8_t kType = type::kEnumerate;
  uint16_t vendorId = 0, productId = 0;
  void Write(PayloadWriter& w) const;
  static std::optional<EnumerateRequest> Read(PayloadReader& r);
  bool operator==(const EnumerateRequest&) const = default;
};

struct InterfaceList {
  static constexpr uint8_t kType = type::kEnumerate | type::kReply;
  std::vector<HidInterface> interfaces;
  void Write(PayloadWriter& w) const;
  static std::optional<InterfaceList> Read(PayloadReader& r);
  bool operator==(const InterfaceList& other) const;
};

struct OpenRequest {
  static constexpr uint8_t kType = type::kOpen;
  std::string path;
  void Write(PayloadWriter& w) const;
  static std::optional<OpenRequest> Read(PayloadReader& r);
  bool operator==(const OpenRequest&) const = default;
};

struct OpenReply {
  static constexpr uint8_t kType = type::kOpen | type::kReply;
  bool opened = false;
  uint32_t inputLength = 0, outputLength = 0;  // at most kMaxReportBytes
  void Write(PayloadWriter& w) const;
  static std::optional<OpenReply> Read(PayloadReader& r);
  bool operator==(const OpenReply&) const = default;
};

struct WriteRequest {
  static constexpr uint8_t kType = type::kWrite;
  std::vector<uint8_t> report;  // 1 to kMaxReportBytes bytes
  int32_t timeoutMs = 0;        // 0 to kMaxWaitMs
  void Write(PayloadWriter& w) const;
  static std::optional<WriteRequest> Read(PayloadReader& r);
  bool operator==(const WriteRequest&) const = default;
};

struct ReadRequest {
  static constexpr uint8_t kType = type::kRead;
  uint32_t maxBytes = 0;  // 1 to kMaxReportBytes
  int32_t timeoutMs = 0;  // -1 (no limit) to kMaxWaitMs
  void Write(PayloadWriter& w) const;
  static std::optional<ReadRequest> Read(PayloadReader& r);
  bool operator==(const ReadRequest&) const = default;
};

// The answer to a Write (bytes written, no data) or a Read (the report read).
struct TransferReply {
  static constexpr uint8_t kWriteType = type::kWrite | type::kReply;
  static constexpr uint8_t kReadType = type::kRead | type::kReply;
  HidStatus status = HidStatus::Failed;
  uint32_t bytes = 0;
  std::vector<uint8_t> data;
  bool operator==(const TransferReply&) const = default;
};
Frame ToFrame(const TransferReply& reply, uint8_t replyType);
std::optional<TransferReply> TransferFromFrame(const Frame& frame, uint8_t replyType);

using TrackerAttachedRequest = EmptyMessage<type::kTrackerAttached>;
using TrackerAttachedReply = FlagMessage<type::kTrackerAttached | type::kReply>;
using TrackerDeviceIdRequest = EmptyMessage<type::kTrackerDeviceId>;
using TrackerClockRequest = EmptyMessage<type::kTrackerClock>;
using TrackerSetClockRequest = EmptyMessage<type::kTrackerSetClock>;
using TrackerSetClockReply = FlagMessage<type::kTrackerSetClock | type::kReply>;
using TrackerDaysRequest = EmptyMessage<type::kTrackerDays>;
using TrackerEraseRequest = EmptyMessage<type::kTrackerErase>;
using TrackerEraseReply = FlagMessage<type::kTrackerErase | type::kReply>;
using TrackerSetParametersReply = FlagMessage<type::kTrackerSetParameters | type::kReply>;

struct TrackerDeviceIdReply {
  static constexpr uint8_t kType = type::kTrackerDeviceId | type::kReply;
  int64_t id = -1;
  void Write(PayloadWriter& w) const { w.I64(id); }
  static std::optional<TrackerDeviceIdReply> Read(PayloadReader& r) { return TrackerDeviceIdReply{r.I64()}; }
  bool operator==(const TrackerDeviceIdReply&) const = default;
};

// The tracker clock's calendar fields as std::tm keeps them (year since 1900, month 0-11); the
// second may read 60.
struct TrackerClockReply {
  static constexpr uint8_t kType = type::kTrackerClock | type::kReply;
  std::optional<std::tm> clock;
  void Write(PayloadWriter& w) const;
  static std::optional<TrackerClockReply> Read(PayloadReader& r);
  bool operator==(const TrackerClockReply& other) const;
};

struct TrackerDayEntry {
  uint8_t index = 0;  // 0 to 29, ascending and each once in a list
  int32_t year = 0, month = 0, day = 0;
  std::string data;   // at most kMaxDayData bytes
  bool operator==(const TrackerDayEntry&) const = default;
};

struct TrackerDaysReply {
  static constexpr uint8_t kType = type::kTrackerDays | type::kReply;
  std::vector<TrackerDayEntry> days;
  void Write(PayloadWriter& w) const;
  static std::optional<TrackerDaysReply> Read(PayloadReader& r);
  bool operator==(const TrackerDaysReply&) const = default;
};

struct TrackerSetParametersRequest {
  static constexpr uint8_t kType = type::kTrackerSetParameters;
  // sex, age, height, weight, step value, daily goal, goal unit
  std::array<int32_t, 7> values{};
  void Write(PayloadWriter& w) const;
  static std::optional<TrackerSetParametersRequest> Read(PayloadReader& r);
  bool operator==(const TrackerSetParametersRequest&) const = default;
};

// One line of the simulator's command language, as typed at its prompt.
struct CommandRequest {
  static constexpr uint8_t kType = type::kCommand;
  std::string line;  // at most kMaxCommandBytes
  void Write(PayloadWriter& w) const { w.Text(line); }
  static std::optional<CommandRequest> Read(PayloadReader& r) { return CommandRequest{r.Text(kMaxCommandBytes)}; }
  bool operator==(const CommandRequest&) const = default;
};

struct CommandReply {
  static constexpr uint8_t kType = type::kCommand | type::kReply;
  bool ok = false;
  std::string text;  // at most kMaxCommandReplyBytes
  void Write(PayloadWriter& w) const;
  static std::optional<CommandReply> Read(PayloadReader& r);
  bool operator==(const CommandReply&) const = default;
};

// The answer to a request that was refused: unknown, malformed, or not allowed on this connection.
struct ErrorReply {
  static constexpr uint8_t kType = type::kError;
  std::string text;  // at most kMaxErrorBytes
  void Write(PayloadWriter& w) const { w.Text(text); }
  static std::optional<ErrorReply> Read(PayloadReader& r) { return ErrorReply{r.Text(kMaxErrorBytes)}; }
  bool operator==(const ErrorReply&) const = default;
};

template <class M>
Frame ToFrame(const M& message) {
  PayloadWriter w;
  message.Write(w);
  return Frame{M::kType, w.Take()};
}

// The message a frame carries; nothing when the frame is of another type or breaks a bound.
template <class M>
std::optional<M> FromFrame(const Frame& frame) {
  if (frame.type != M::kType) return std::nullopt;
  PayloadReader r(frame.payload);
  std::optional<M> message = M::Read(r);
  if (!message || !r.Done()) return std::nullopt;
  return message;
}

}  // namespace platform::bridge
