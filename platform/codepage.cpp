#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

constexpr char kCodePage[] = "CP936";

// One conversion descriptor per direction and thread: opening iconv is far dearer than converting a
// short value, and a descriptor carries state, so it is never shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible into out; returns the number of input bytes consumed and sets
  // stopError to the errno that stopped it (0 when all input was consumed).
  size_t Convert(std::string_view in, std::string& out, int& stopError) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buffer[4096];
    stopError = 0;
    while (srcLeft > 0) {
      char* dst = buffer;
      size_t dstLeft = sizeof buffer;
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
        stopError = errno;
        break;
      }
    }
    return in.size() - srcLeft;
  }

 private:
  iconv_t cd_;
};

Converter& ToGbk() {
  thread_local Converter converter(kCodePage, "UTF-8");
  return converter;
}

Converter& FromGbk() {
  thread_local Converter converter("UTF-8", kCodePage);
  return converter;
}

// Length of the UTF-8 sequence that starts at text[0], or 1 for a byte that starts none.
size_t Utf8SequenceLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
  if (lead >= 0xF5) length = 1;
  if (length > text.size()) return 1;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Runs a conversion that replaces each unconvertible input sequence by "?" and goes on behind it;
// skipLength tells how many input bytes such a sequence covers.
template <typename SkipLength>
std::string ConvertWithReplacement(Converter& converter, std::string_view in, SkipLength skipLength) {
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  if (!converter.valid()) {
    for (char c : in) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    return out;
  }
  while (!in.empty()) {
    int stopError = 0;
    in.remove_prefix(converter.Convert(in, out, stopError));
    if (in.empty()) break;
    out.push_back('?');
    in.remove_prefix(stopError == EINVAL ? in.size() : skipLength(in));
  }
  return out;
}

size_t GbkCharacterLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  return lead >= 0x81 && lead <= 0xFE && text.size() >= 2 ? 2 : 1;
}

}  // namespace

std::string ToCodePage(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return ConvertWithReplacement(ToGbk(), utf8, Utf8SequenceLength);
}

std::string ToCodePage(std::string_view utf8, size_t maxBytes) {
  std::string converted = ToCodePage(utf8);
  if (converted.size() <= maxBytes) return converted;
  size_t end = 0;
  while (end < converted.size()) {
    size_t next = end + GbkCharacterLength(std::string_view(converted).substr(end));
    if (next > maxBytes) break;
    end = next;
  }
  converted.resize(end);
  return converted;
}

std::string FromCodePage(std::string_view codePage) {
  if (IsAscii(codePage)) return std::string(codePage);
  return ConvertWithReplacement(FromGbk(), codePage, [](std::string_view) { return size_t{1}; });
}

bool AppendUtf8(std::string& out, char32_t cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
  return true;
}

std::string Utf16LeToUtf8(std::string_view in) {
  std::string out;
  out.reserve(in.size());
  auto unit = [&](size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(in[i]) | (static_cast<unsigned char>(in[i + 1]) << 8));
  };
  size_t i = 0;
  for (; i + 1 < in.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < in.size()) {
      char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (!AppendUtf8(out, cp)) AppendUtf8(out, 0xFFFD);
  }
  if (i < in.size()) AppendUtf8(out, 0xFFFD);
  return out;
}

std::string Utf8ToUtf16Le(std::string_view in) {
  std::string out;
  out.reserve(in.size() * 2);
  auto put = [&](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  while (!in.empty()) {
    size_t length = Utf8SequenceLength(in);
    char32_t cp = static_cast<unsigned char>(in[0]);
    if (length == 1 && cp >= 0x80) {
      cp = 0xFFFD;
    } else if (length > 1) {
      cp &= 0x7F >> length;
      for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (static_cast<unsigned char>(in[k]) & 0x3F);
      bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
      if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    }
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
    in.remove_prefix(length);
  }
  return out;
}

size_t CountCodePoints(std::string_view utf8) {
  size_t count = 0;
  while (!utf8.empty()) {
    utf8.remove_prefix(Utf8SequenceLength(utf8));
    ++count;
  }
  return count;
}

std::string_view TruncateCodePoints(std::string_view utf8, size_t maxCodePoints) {
  size_t end = 0;
  for (size_t n = 0; n < maxCodePoints && end < utf8.size(); ++n) {
    end += Utf8SequenceLength(utf8.substr(end));
  }
  return utf8.substr(0, end);
}

}  // namespace platform
