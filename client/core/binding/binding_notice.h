#pragma once
// What a binding step tells the user, left for the window to show: a key for the client's message
// dialog (a picture, or a service's text shown as plain text), or a system message box.

#include <string>

struct BindingNotice {
  enum class Kind { None, Message, Box };  // not "MessageBox": the Windows headers make that a macro
  Kind kind = Kind::None;
  std::string text;     // the message key, or the box's text
  std::string caption;  // the box's caption

  static BindingNotice Message(std::string key) { return {Kind::Message, std::move(key), {}}; }
  static BindingNotice Box(std::string text, std::string caption) {
    return {Kind::Box, std::move(text), std::move(caption)};
  }
};
