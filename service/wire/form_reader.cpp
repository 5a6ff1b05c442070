#include "service/wire/form_reader.h"

#include <string>

namespace service {
namespace {

constexpr std::string_view kMethodPrefix = "method=";

// Where each "&name=" of the layout may start; the search tries the ways the middle fields can be
// placed, earliest first, and fixes the first and last field where they must be.
class Search {
 public:
  Search(std::string_view body, const std::vector<std::string_view>& fields, size_t maxReadings)
      : body_(body), maxReadings_(maxReadings) {
    for (size_t i = 1; i < fields.size(); ++i) tags_.push_back("&" + std::string(fields[i]) + "=");
  }

  std::vector<FormReading> Run(size_t methodEnd, bool& truncated) {
    if (tags_.empty()) {
      if (methodEnd == body_.size()) readings_.push_back(FormReading{{body_.substr(kMethodPrefix.size())}});
      return std::move(readings_);
    }
    // The first field follows the method name directly; the last one starts at its last
    // occurrence, because the last value of every method (a signature, hex digits or a fixed word)
    // never holds "&".
    if (body_.compare(methodEnd, tags_.front().size(), tags_.front()) != 0) return {};
    size_t last = body_.rfind(tags_.back());
    if (last == std::string_view::npos || last < methodEnd) return {};
    if (tags_.size() == 1 && last != methodEnd) return {};
    starts_.assign(tags_.size(), 0);
    starts_.front() = methodEnd;
    starts_.back() = last;
    if (tags_.size() == 1)
      Finish();
    else
      Place(1);
    truncated = truncated_;
    return std::move(readings_);
  }

 private:
  // Places field index i (1-based among tags) and the ones after it; false once enough readings exist.
  bool Place(size_t i) {
    if (i == tags_.size() - 1) {
      if (starts_[i - 1] + tags_[i - 1].size() > starts_[i]) return true;
      return Finish();
    }
    size_t from = starts_[i - 1] + tags_[i - 1].size();
    for (size_t at = body_.find(tags_[i], from); at != std::string_view::npos && at < starts_.back();
         at = body_.find(tags_[i], at + 1)) {
      starts_[i] = at;
      if (!Place(i + 1)) return false;
    }
    return true;
  }

  bool Finish() {
    if (readings_.size() == maxReadings_) {
      truncated_ = true;
      return false;
    }
    FormReading reading;
    reading.values.push_back(body_.substr(kMethodPrefix.size(), starts_.front() - kMethodPrefix.size()));
    for (size_t i = 0; i < tags_.size(); ++i) {
      size_t begin = starts_[i] + tags_[i].size();
      size_t end = i + 1 < tags_.size() ? starts_[i + 1] : body_.size();
      reading.values.push_back(body_.substr(begin, end - begin));
    }
    readings_.push_back(std::move(reading));
    return true;
  }

  std::string_view body_;
  size_t maxReadings_;
  std::vector<std::string> tags_;
  std::vector<size_t> starts_;
  std::vector<FormReading> readings_;
  bool truncated_ = false;
};

}  // namespace

std::optional<std::string_view> MethodNameOf(std::string_view body) {
  if (body.substr(0, kMethodPrefix.size()) != kMethodPrefix) return std::nullopt;
  std::string_view rest = body.substr(kMethodPrefix.size());
  return rest.substr(0, rest.find('&'));
}

std::vector<FormReading> ReadForm(std::string_view body, std::string_view method,
                                  const std::vector<std::string_view>& fields, size_t maxReadings, bool& truncated) {
  truncated = false;
  auto name = MethodNameOf(body);
  if (!name || *name != method || fields.empty()) return {};
  Search search(body, fields, maxReadings);
  return search.Run(kMethodPrefix.size() + method.size(), truncated);
}

}  // namespace service
