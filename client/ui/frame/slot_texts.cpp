#include "client/ui/frame/slot_texts.h"

#include <charconv>
#include <cstdio>

#include "client/core/users/user_store.h"
#include "platform/file_io.h"
#include "platform/text.h"

namespace slot_texts {

namespace {
// The width of the UTF-16 units of one code point starting at text[i]; i moves past it.
int CharacterWidth(std::string_view text, size_t& i) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 1;
  if (i + length > text.size()) length = 1;
  unsigned codePoint = lead;
  if (length == 2) codePoint = ((lead & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
  i += length;
  if (length == 4) return 2 * 13;  // a surrogate pair: two wide characters
  return codePoint < 0x100 && length <= 2 ? 7 : 13;
}
}  // namespace

int NameWidth(std::string_view utf8Name) {
  int width = 0;
  for (size_t i = 0; i < utf8Name.size();) width += CharacterWidth(utf8Name, i);
  width += 7;
  return width >= 62 ? 69 : width;
}

std::string MenuButtonAttributes(int slot, std::string_view utf8Name) {
  return "name=\"User" + std::to_string(slot) + "_Menu\" float=\"true\" bkimage=\"usermenubtn.png\" pos=\"" +
         std::to_string(MenuButtonX(utf8Name)) + ", 22, 172, 26\" width=\"8\" height=\"4\" ";
}

std::string LevelImage(int level, int fade) {
  int column = level % 10 == 0 ? 10 : level % 10;
  int row = level / 10 - (level % 10 == 0 ? 1 : 0);
  char text[128];
  std::snprintf(text, sizeof text, "file='level.png' source='%d,%d,%d,%d' fade='%d'", 51 * column - 50, 17 * row,
                51 * column, 17 * row + 17, fade);
  return text;
}

int LevelOf(std::string_view levelText) {
  levelText = platform::TrimBlanks(levelText);
  int value = 0;
  auto [end, error] = std::from_chars(levelText.data(), levelText.data() + levelText.size(), value);
  (void)end;
  // Levels climb slowly: a number beyond any real level, or none, shows the first.
  if (error != std::errc() || value < 0 || value > kMaxLevel) return 0;
  return value;
}

std::string SafePicture(std::string_view picture) {
  if (picture.empty() || picture.find_first_of("'\"\\/") != std::string_view::npos) {
    return UserStore::kDefaultPicture;
  }
  return std::string(picture);
}

namespace {
bool InUserFolder(std::string_view userFolder, const std::string& picture) {
  return platform::PathExists(std::string(userFolder) + picture);
}
}  // namespace

std::string SelectedPicture(std::string_view userFolder, std::string_view picture) {
  std::string name = SafePicture(picture);
  if (!InUserFolder(userFolder, name)) return "file='" + std::string(UserStore::kDefaultPicture) + "' fade='255' mask='#000001'";
  return "file='" + std::string(userFolder) + name + "' fade='255' mask='#000001'";
}

std::string UnselectedPicture(std::string_view userFolder, std::string_view picture) {
  std::string name = SafePicture(picture);
  if (!InUserFolder(userFolder, name)) return "file='" + std::string(UserStore::kDefaultPicture) + "' fade='125'";
  return "file='../user/" + name + "' fade='125'";
}

}  // namespace slot_texts
