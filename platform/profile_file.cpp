#include "platform/profile_file.h"

#include <climits>

#include "platform/codepage.h"
#include "platform/file_io.h"
#include "platform/text.h"

namespace platform {
namespace {

constexpr size_t npos = std::string::npos;

// The section name of a header line "[name]", or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = platform::TrimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  return platform::TrimBlanks(line.substr(1, close == npos ? npos : close - 1));
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

int ParseInt(std::string_view text) {
  text = platform::TrimBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace

ProfileFile ProfileFile::Load(const std::string& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  ProfileFile file = bytes ? FromBytes(std::move(*bytes)) : ProfileFile();
  file.path_ = path;
  // Only a file that is truly absent may be created; anything else that exists is left alone.
  file.writable_ = bytes.has_value() || !PathExists(path);
  return file;
}

ProfileFile ProfileFile::FromBytes(std::string text) {
  ProfileFile file;
  file.writable_ = false;
  if (text.starts_with(kUtf16LeBom)) {
    file.encoding_ = Encoding::Utf16Le;
    text = Utf16LeToUtf8(std::string_view(text).substr(kUtf16LeBom.size()));
  }
  size_t start = 0;
  for (;;) {
    size_t lf = text.find('\n', start);
    if (lf == npos) {
      file.lines_.emplace_back(text.substr(start));
      break;
    }
    size_t end = lf > start && text[lf - 1] == '\r' ? lf - 1 : lf;
    file.lines_.emplace_back(text.substr(start, end - start));
    start = lf + 1;
  }
  if (file.lines_.size() == 1 && file.lines_[0].empty()) file.lines_.clear();
  return file;
}

std::string ProfileFile::Decode(std::string_view bytes) const {
  return encoding_ == Encoding::CodePage ? FromCodePage(bytes) : std::string(bytes);
}

std::string ProfileFile::Encode(std::string_view utf8) const {
  return encoding_ == Encoding::CodePage ? ToCodePage(utf8) : std::string(utf8);
}

size_t ProfileFile::EndOfContent() const {
  // The empty piece behind a final line break is not a line of its own.
  return !lines_.empty() && lines_.back().empty() ? lines_.size() - 1 : lines_.size();
}

ProfileFile::Position ProfileFile::Find(std::string_view section, std::string_view key) const {
  Position at{npos, npos, npos};
  size_t end = EndOfContent();
  for (size_t i = 0; i < end; ++i) {
    std::optional<std::string_view> name = SectionName(lines_[i]);
    if (!name) continue;
    if (at.section != npos) {
      break;  // the next section ends the one we found
    }
    if (EqualsIgnoringAsciiCase(Decode(*name), section)) {
      at.section = i;
      at.insertAt = i + 1;
    }
  }
  if (at.section == npos) return at;
  for (size_t i = at.section + 1; i < end && !SectionName(lines_[i]); ++i) {
    std::string_view line = lines_[i];
    if (!platform::TrimBlanks(line).empty()) at.insertAt = i + 1;
    size_t equals = line.find('=');
    if (equals == npos || at.key != npos) continue;
    if (EqualsIgnoringAsciiCase(Decode(platform::TrimBlanks(line.substr(0, equals))), key)) at.key = i;
  }
  return at;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  Position at = Find(section, key);
  if (at.key == npos) return std::nullopt;
  std::string_view line = lines_[at.key];
  std::string_view value = platform::TrimBlanks(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return Decode(value);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
  std::optional<std::string> value = Get(section, key);
  return value ? std::move(*value) : std::string(fallback);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  std::optional<std::string> value = Get(section, key);
  if (!value || value->empty()) return fallback;
  return ParseInt(*value);
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string line = Encode(WithoutLineBreaks(key)) + "=" + Encode(WithoutLineBreaks(value));
  Position at = Find(section, key);
  if (at.key != npos) {
    lines_[at.key] = std::move(line);
    return;
  }
  if (at.section != npos) {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at.insertAt), std::move(line));
  } else {
    auto end = lines_.begin() + static_cast<std::ptrdiff_t>(EndOfContent());
    end = lines_.insert(end, "[" + Encode(WithoutLineBreaks(section)) + "]");
    lines_.insert(end + 1, std::move(line));
  }
  // Every line the file gains ends in a line break.
  if (!lines_.back().empty()) lines_.emplace_back();
}

std::string ProfileFile::Serialize() const {
  std::string text;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += lines_[i];
  }
  if (encoding_ == Encoding::Utf16Le) return std::string(kUtf16LeBom) + Utf8ToUtf16Le(text);
  return text;
}

bool ProfileFile::Save() const {
  if (!writable_) return false;
  return WriteFileAtomically(path_, Serialize());
}

}  // namespace platform
