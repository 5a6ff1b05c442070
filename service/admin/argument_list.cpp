#include "service/admin/argument_list.h"

#include <algorithm>

#include "service/wire/strict_number.h"

namespace service {

ArgumentList::ArgumentList(const std::vector<std::string>& arguments, const std::vector<std::string>& flags) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word.rfind("--", 0) != 0) {
      words_.push_back(word);
      continue;
    }
    std::string name = word.substr(2);
    if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
      values_.emplace(name, "");
    } else if (i + 1 < arguments.size()) {
      values_.emplace(name, arguments[++i]);
    } else {
      error_ = "option " + word + " needs a value";
    }
  }
}

std::string ArgumentList::Text(const std::string& name, const std::string& fallback) const {
  auto range = values_.equal_range(name);
  if (range.first == range.second) return fallback;
  return std::prev(range.second)->second;
}

std::vector<std::string> ArgumentList::All(const std::string& name) const {
  std::vector<std::string> all;
  auto range = values_.equal_range(name);
  for (auto it = range.first; it != range.second; ++it) all.push_back(it->second);
  return all;
}

std::optional<int64_t> ArgumentList::Number(const std::string& name, int64_t fallback, int64_t max,
                                            std::string& error) const {
  if (!Has(name)) return fallback;
  auto value = ParseUnsigned(Text(name), static_cast<uint64_t>(max));
  if (!value) {
    error = "--" + name + " wants a whole number from 0 to " + std::to_string(max);
    return std::nullopt;
  }
  return static_cast<int64_t>(*value);
}

std::vector<std::string> ArgumentList::Unknown(const std::vector<std::string>& known) const {
  std::vector<std::string> unknown;
  for (const auto& [name, value] : values_)
    if (std::find(known.begin(), known.end(), name) == known.end()) unknown.push_back("--" + name);
  return unknown;
}

}  // namespace service
