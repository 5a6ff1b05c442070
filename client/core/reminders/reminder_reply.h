#pragma once
// What the service's answer to a reminder poll says. The poll is the login request: a "user_res"
// answer carries the reminder counters in "msgs"; any other answer is a refused login, told to the
// user with the service's "msg" text.

#include <cstddef>
#include <optional>
#include <string>

#include "client/core/users/user_record.h"
#include "common/xml/xml_document.h"

inline constexpr const char* kLoginErrorCaption = "登录错误";
inline constexpr const char* kUnknownLoginError = "用户登录未知错误";
// A refusal text longer than this is cut (at a character boundary) before it reaches a message box.
inline constexpr size_t kMaxRefusalBytes = 1024;

struct ReminderReply {
  enum class Outcome { Counted, Refused, NoAnswer };
  Outcome outcome = Outcome::NoAnswer;
  int count = 0;                         // msgs/all: 0 when absent, refused or unanswered
  std::optional<ReminderCounts> counts;  // the six counters, only when the answer carried "msgs"
  std::string refusal;                   // Refused: the text for the user
};

// Reads answer (null: none came). Counters are never negative; a counter the answer lacks is 0.
ReminderReply ReadReminderReply(const XmlDocument* answer);

// The text of the main window's reminder button: twenty blanks, then "提醒（n）".
std::string ReminderLabelText(int count);
// The same without a count, while no user is chosen.
std::string ReminderLabelText();
