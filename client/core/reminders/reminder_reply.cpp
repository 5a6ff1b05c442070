#include "client/core/reminders/reminder_reply.h"

#include <charconv>

#include "platform/text.h"

namespace {

constexpr const char* kUserInfoRoot = "user_res";

// The leading integer of a counter's text; a count is never below 0, and a text that is no number
// (or none an int holds) counts nothing.
int CounterOf(const XmlElement& msgs, std::string_view name) {
  const XmlElement* child = msgs.FindChild(name);
  if (!child) return 0;
  std::string stored = child->Value();
  std::string_view text = platform::TrimBlanks(stored);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc()) return 0;
  return value < 0 ? 0 : value;
}

// text cut to at most max bytes without splitting a UTF-8 sequence.
std::string Bounded(std::string text, size_t max) {
  if (text.size() <= max) return text;
  size_t cut = max;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  text.resize(cut);
  return text;
}

}  // namespace

ReminderReply ReadReminderReply(const XmlDocument* answer) {
  ReminderReply reply;
  if (!answer) return reply;
  const XmlElement& root = answer->Root();
  if (root.Name() != kUserInfoRoot) {
    reply.outcome = ReminderReply::Outcome::Refused;
    const XmlElement* msg = root.Name() == "msg" ? &root : root.FindChild("msg");
    std::string value = msg ? msg->Value() : std::string();
    std::string text(platform::TrimBlanks(value));
    // An empty message would show an empty box: the user learns as little as from none.
    reply.refusal = text.empty() ? std::string(kUnknownLoginError) : Bounded(std::move(text), kMaxRefusalBytes);
    return reply;
  }
  reply.outcome = ReminderReply::Outcome::Counted;
  if (const XmlElement* msgs = root.FindChild("msgs")) {
    ReminderCounts c;
    c.all = CounterOf(*msgs, "all");
    c.fri = CounterOf(*msgs, "fri");
    c.ivi = CounterOf(*msgs, "ivi");
    c.msg = CounterOf(*msgs, "msg");
    c.reshare = CounterOf(*msgs, "reshare");
    c.notice = CounterOf(*msgs, "notice");
    reply.count = c.all;
    reply.counts = c;
  }
  return reply;
}

std::string ReminderLabelText() { return std::string(20, ' ') + "提醒"; }

std::string ReminderLabelText(int count) { return ReminderLabelText() + "（" + std::to_string(count) + "）"; }
