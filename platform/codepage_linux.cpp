// The code-page conversion through iconv (glibc's CP936 tables).
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

}  // namespace

std::string ToCodePage(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return ConvertWithReplacement(ToGbk(), utf8, Utf8SequenceLength);
}

std::string FromCodePage(std::string_view codePage) {
  if (IsAscii(codePage)) return std::string(codePage);
  return ConvertWithReplacement(FromGbk(), codePage, [](std::string_view) { return size_t{1}; });
}

}  // namespace platform
