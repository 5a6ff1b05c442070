#include "service/wire/form_reader.h"

#include <algorithm>
#include <string>

namespace service {
namespace {

constexpr std::string_view kMethodPrefix = "method=";

// Places the "&name=" of every field. The first follows the method name directly and the last sits
// at its last occurrence; the middle ones are tried at their occurrences, earliest first. Before
// the search, each middle field learns the latest place it can start and still leave room for all
// fields after it, so every placement the search tries ends in a reading: the work grows with the
// body and the readings wanted, never with the ways a hostile body could be cut.
class Search {
 public:
  Search(std::string_view body, const std::vector<std::string_view>& fields, size_t maxReadings)
      : body_(body), maxReadings_(maxReadings) {
    for (size_t i = 1; i < fields.size(); ++i) tags_.push_back("&" + std::string(fields[i]) + "=");
  }

  FormReadings Run(size_t methodEnd) {
    if (tags_.empty()) {
      if (methodEnd == body_.size()) result_.readings.push_back(FormReading{{body_.substr(kMethodPrefix.size())}});
      return std::move(result_);
    }
    if (body_.compare(methodEnd, tags_.front().size(), tags_.front()) != 0) return {};
    size_t last = body_.rfind(tags_.back());
    if (last == std::string_view::npos || last < methodEnd) return {};
    starts_.assign(tags_.size(), 0);
    starts_.front() = methodEnd;
    starts_.back() = last;
    if (tags_.size() == 1) {
      if (last == methodEnd) Finish();
      return std::move(result_);
    }
    size_t afterFirst = methodEnd + tags_.front().size();
    if (FindPlaces(afterFirst, last)) Place(1, afterFirst);
    return std::move(result_);
  }

 private:
  // Collects, right to left, the occurrences of each middle tag that end before the latest start
  // of the tag after it. False when some field has no such place.
  bool FindPlaces(size_t from, size_t last) {
    places_.assign(tags_.size(), {});
    size_t latestNext = last;
    for (size_t i = tags_.size() - 2; i >= 1; --i) {
      const std::string& tag = tags_[i];
      for (size_t at = body_.find(tag, from); at != std::string_view::npos && at + tag.size() <= latestNext;
           at = body_.find(tag, at + 1)) {
        places_[i].push_back(at);
        ++result_.work;
      }
      if (places_[i].empty()) return false;
      latestNext = places_[i].back();
    }
    return from <= latestNext;
  }

  // Places tag i and the ones after it, tag i no earlier than from; false once enough readings exist.
  bool Place(size_t i, size_t from) {
    if (i == tags_.size() - 1) return Finish();
    const std::vector<size_t>& places = places_[i];
    for (auto at = std::lower_bound(places.begin(), places.end(), from); at != places.end(); ++at) {
      ++result_.work;
      starts_[i] = *at;
      if (!Place(i + 1, *at + tags_[i].size())) return false;
    }
    return true;
  }

  bool Finish() {
    if (result_.readings.size() == maxReadings_) {
      result_.truncated = true;
      return false;
    }
    FormReading reading;
    reading.values.push_back(body_.substr(kMethodPrefix.size(), starts_.front() - kMethodPrefix.size()));
    for (size_t i = 0; i < tags_.size(); ++i) {
      size_t begin = starts_[i] + tags_[i].size();
      size_t end = i + 1 < tags_.size() ? starts_[i + 1] : body_.size();
      reading.values.push_back(body_.substr(begin, end - begin));
    }
    result_.readings.push_back(std::move(reading));
    return true;
  }

  std::string_view body_;
  size_t maxReadings_;
  std::vector<std::string> tags_;
  std::vector<std::vector<size_t>> places_;  // per middle tag: where it may start, ascending
  std::vector<size_t> starts_;
  FormReadings result_;
};

}  // namespace

std::optional<std::string_view> MethodNameOf(std::string_view body) {
  if (body.substr(0, kMethodPrefix.size()) != kMethodPrefix) return std::nullopt;
  std::string_view rest = body.substr(kMethodPrefix.size());
  return rest.substr(0, rest.find('&'));
}

FormReadings ReadForm(std::string_view body, std::string_view method, const std::vector<std::string_view>& fields,
                      size_t maxReadings) {
  auto name = MethodNameOf(body);
  if (!name || *name != method || fields.empty()) return {};
  Search search(body, fields, maxReadings);
  return search.Run(kMethodPrefix.size() + method.size());
}

}  // namespace service
