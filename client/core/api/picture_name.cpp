#include "client/core/api/picture_name.h"

namespace {

// Length of the well-formed UTF-8 sequence at text[0], or 0 when it is not one.
size_t SequenceLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                  : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool IsUnsafeCharacter(std::string_view character) {
  unsigned char first = static_cast<unsigned char>(character[0]);
  if (character.size() == 1) return first < 0x20 || first == 0x7F || first == '/' || first == '\\';
  // U+0080 to U+009F, the second set of control characters.
  return first == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0;
}

}  // namespace

std::string PictureBaseName(std::string_view uname) {
  std::string name;
  while (!uname.empty()) {
    size_t length = SequenceLength(uname);
    std::string_view character = uname.substr(0, length == 0 ? 1 : length);
    uname.remove_prefix(character.size());
    std::string_view kept = character;
    if (length == 0 || IsUnsafeCharacter(character)) kept = "_";
    if (kept == "." && (name.empty() || name.back() == '.')) kept = "_";
    if (name.size() + kept.size() > kMaxPictureNameBytes) break;
    name += kept;
  }
  // ".jpg" follows: a dot at the end would make ".." there.
  if (!name.empty() && name.back() == '.') name.back() = '_';
  return name.empty() ? "_" : name;
}
