#pragma once
// The arguments of one administration command: "--name value" pairs and plain words.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace service {

class ArgumentList {
 public:
  // flags are options without a value ("--force"); every other "--name" takes the next word.
  ArgumentList(const std::vector<std::string>& arguments, const std::vector<std::string>& flags);

  // False with error set for an option missing its value.
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }

  const std::vector<std::string>& words() const { return words_; }
  bool Has(const std::string& name) const { return values_.count(name) > 0; }
  // The last value given for name, or fallback.
  std::string Text(const std::string& name, const std::string& fallback = {}) const;
  std::vector<std::string> All(const std::string& name) const;
  // The value as a number in [0, max]; fallback when absent; nothing (and error set) when not a number.
  std::optional<int64_t> Number(const std::string& name, int64_t fallback, int64_t max, std::string& error) const;
  // Names given that are not in known.
  std::vector<std::string> Unknown(const std::vector<std::string>& known) const;

 private:
  std::multimap<std::string, std::string> values_;
  std::vector<std::string> words_;
  std::string error_;
};

}  // namespace service
