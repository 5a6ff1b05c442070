#pragma once
// The texts the main window draws its user slots with: the width a name takes, where the menu
// button goes after it, the level picture's cut and the picture specs of a user's photo.

#include <string>
#include <string_view>

namespace slot_texts {

// The pixels a name takes in the slot: 7 per character below U+0100, 13 per other one (counted
// as the program's wide strings count them), plus 7; 69 once that reaches 62.
int NameWidth(std::string_view utf8Name);
// The x of the slot's menu button: just after the name.
inline int MenuButtonX(std::string_view utf8Name) { return 84 + NameWidth(utf8Name); }
// The attribute list the slot's menu button is made from.
std::string MenuButtonAttributes(int slot, std::string_view utf8Name);

// The level picture "level.png" holds ten levels a row, 51 by 17 pixels each.
std::string LevelImage(int level, int fade);
// The user's level as the record keeps it (a number as text, leading digits counted); 0 when it is
// none or beyond kMaxLevel.
inline constexpr int kMaxLevel = 100000;
int LevelOf(std::string_view levelText);

// The photo of the selected slot (from the user folder, masked round) and of the others (faded).
// A picture the user folder does not hold (not downloaded yet, removed) shows the skin's default
// one.
std::string SelectedPicture(std::string_view userFolder, std::string_view picture);
std::string UnselectedPicture(std::string_view userFolder, std::string_view picture);
// A picture name that can stand inside an image spec; the default picture for any other.
std::string SafePicture(std::string_view picture);

}  // namespace slot_texts
