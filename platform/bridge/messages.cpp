#include "platform/bridge/messages.h"

namespace platform::bridge {
namespace {

bool InRange(int64_t v, int64_t low, int64_t high) { return v >= low && v <= high; }

}  // namespace

void EnumerateRequest::Write(PayloadWriter& w) const {
  w.U16(vendorId);
  w.U16(productId);
}

std::optional<EnumerateRequest> EnumerateRequest::Read(PayloadReader& r) {
  EnumerateRequest m;
  m.vendorId = r.U16();
  m.productId = r.U16();
  return m;
}

void InterfaceList::Write(PayloadWriter& w) const {
  w.U32(static_cast<uint32_t>(interfaces.size()));
  for (const HidInterface& one : interfaces) {
    w.Text(one.path);
    w.U16(one.vendorId);
    w.U16(one.productId);
    w.I32(one.interfaceNumber);
    w.Text(one.serial);
  }
}

std::optional<InterfaceList> InterfaceList::Read(PayloadReader& r) {
  uint32_t n = r.U32();
  if (n > kMaxInterfaces) return std::nullopt;
  InterfaceList m;
  for (uint32_t i = 0; i < n && !r.Failed(); ++i) {
    HidInterface one;
    one.path = r.Text(kMaxPathBytes);
    one.vendorId = r.U16();
    one.productId = r.U16();
    one.interfaceNumber = r.I32();
    one.serial = r.Text(kMaxSerialBytes);
    if (one.path.empty() || !InRange(one.interfaceNumber, -1, 255)) r.Refuse();
    m.interfaces.push_back(std::move(one));
  }
  return m;
}

bool InterfaceList::operator==(const InterfaceList& other) const {
  if (interfaces.size() != other.interfaces.size()) return false;
  for (size_t i = 0; i < interfaces.size(); ++i) {
    const HidInterface &a = interfaces[i], &b = other.interfaces[i];
    if (a.path != b.path || a.vendorId != b.vendorId || a.productId != b.productId ||
        a.interfaceNumber != b.interfaceNumber || a.serial != b.serial)
      return false;
  }
  return true;
}

void OpenRequest::Write(PayloadWriter& w) const { w.Text(path); }

std::optional<OpenRequest> OpenRequest::Read(PayloadReader& r) {
  OpenRequest m{r.Text(kMaxPathBytes)};
  if (m.path.empty()) r.Refuse();
  return m;
}

void OpenReply::Write(PayloadWriter& w) const {
  w.U8(opened ? 1 : 0);
  w.U32(inputLength);
  w.U32(outputLength);
}

std::optional<OpenReply> OpenReply::Read(PayloadReader& r) {
  OpenReply m;
  m.opened = r.Flag();
  m.inputLength = r.U32();
  m.outputLength = r.U32();
  if (m.inputLength > kMaxReportBytes || m.outputLength > kMaxReportBytes) r.Refuse();
  return m;
}

void WriteRequest::Write(PayloadWriter& w) const {
  w.Bytes(report);
  w.I32(timeoutMs);
}

std::optional<WriteRequest> WriteRequest::Read(PayloadReader& r) {
  WriteRequest m;
  m.report = r.Bytes(kMaxReportBytes);
  m.timeoutMs = r.I32();
  if (m.report.empty() || !InRange(m.timeoutMs, 0, kMaxWaitMs)) r.Refuse();
  return m;
}

void ReadRequest::Write(PayloadWriter& w) const {
  w.U32(maxBytes);
  w.I32(timeoutMs);
}

std::optional<ReadRequest> ReadRequest::Read(PayloadReader& r) {
  ReadRequest m;
  m.maxBytes = r.U32();
  m.timeoutMs = r.I32();
  if (!InRange(m.maxBytes, 1, kMaxReportBytes) || !InRange(m.timeoutMs, -1, kMaxWaitMs)) r.Refuse();
  return m;
}

Frame ToFrame(const TransferReply& reply, uint8_t replyType) {
  PayloadWriter w;
  w.U8(static_cast<uint8_t>(reply.status));
  w.U32(reply.bytes);
  w.Bytes(reply.data);
  return Frame{replyType, w.Take()};
}

std::optional<TransferReply> TransferFromFrame(const Frame& frame, uint8_t replyType) {
  if (frame.type != replyType) return std::nullopt;
  PayloadReader r(frame.payload);
  TransferReply m;
  uint8_t status = r.U8();
  m.bytes = r.U32();
  m.data = r.Bytes(kMaxReportBytes);
  if (status > static_cast<uint8_t>(HidStatus::Failed) || m.bytes > kMaxReportBytes) r.Refuse();
  // A read reports the bytes it carries; a write carries none.
  bool isRead = replyType == TransferReply::kReadType;
  if (isRead ? m.bytes != m.data.size() : !m.data.empty()) r.Refuse();
  if (!r.Done()) return std::nullopt;
  m.status = static_cast<HidStatus>(status);
  return m;
}

void TrackerClockReply::Write(PayloadWriter& w) const {
  w.U8(clock ? 1 : 0);
  if (!clock) return;
  for (int v : {clock->tm_year, clock->tm_mon, clock->tm_mday, clock->tm_hour, clock->tm_min, clock->tm_sec}) w.I32(v);
}

std::optional<TrackerClockReply> TrackerClockReply::Read(PayloadReader& r) {
  TrackerClockReply m;
  if (!r.Flag()) return m;
  std::tm t{};
  t.tm_year = r.I32();
  t.tm_mon = r.I32();
  t.tm_mday = r.I32();
  t.tm_hour = r.I32();
  t.tm_min = r.I32();
  t.tm_sec = r.I32();
  // Years 2000 to 2255: what the kit can hand on as "year since 2000".
  if (!InRange(t.tm_year, 100, 355) || !InRange(t.tm_mon, 0, 11) || !InRange(t.tm_mday, 1, 31) ||
      !InRange(t.tm_hour, 0, 23) || !InRange(t.tm_min, 0, 59) || !InRange(t.tm_sec, 0, 60))
    r.Refuse();
  m.clock = t;
  return m;
}

bool TrackerClockReply::operator==(const TrackerClockReply& other) const {
  if (clock.has_value() != other.clock.has_value()) return false;
  if (!clock) return true;
  const std::tm &a = *clock, &b = *other.clock;
  return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday && a.tm_hour == b.tm_hour &&
         a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

void TrackerDaysReply::Write(PayloadWriter& w) const {
  w.U32(static_cast<uint32_t>(days.size()));
  for (const TrackerDayEntry& d : days) {
    w.U8(d.index);
    w.I32(d.year);
    w.I32(d.month);
    w.I32(d.day);
    w.Text(d.data);
  }
}

std::optional<TrackerDaysReply> TrackerDaysReply::Read(PayloadReader& r) {
  uint32_t n = r.U32();
  if (n > kTrackerDays) return std::nullopt;
  TrackerDaysReply m;
  int last = -1;
  for (uint32_t i = 0; i < n && !r.Failed(); ++i) {
    TrackerDayEntry d;
    d.index = r.U8();
    d.year = r.I32();
    d.month = r.I32();
    d.day = r.I32();
    d.data = r.Text(kMaxDayData);
    if (d.index >= kTrackerDays || d.index <= last || !InRange(d.year, 2000, 2255) || !InRange(d.month, 1, 12) ||
        !InRange(d.day, 1, 31))
      r.Refuse();
    last = d.index;
    m.days.push_back(std::move(d));
  }
  return m;
}

void TrackerSetParametersRequest::Write(PayloadWriter& w) const {
  for (int32_t v : values) w.I32(v);
}

std::optional<TrackerSetParametersRequest> TrackerSetParametersRequest::Read(PayloadReader& r) {
  TrackerSetParametersRequest m;
  for (int32_t& v : m.values) v = r.I32();
  return m;
}

void CommandReply::Write(PayloadWriter& w) const {
  w.U8(ok ? 1 : 0);
  w.Text(text);
}

std::optional<CommandReply> CommandReply::Read(PayloadReader& r) {
  CommandReply m;
  m.ok = r.Flag();
  m.text = r.Text(kMaxCommandReplyBytes);
  return m;
}

}  // namespace platform::bridge
