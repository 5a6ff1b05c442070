#pragma once
// Unpacks the skin archive the installation wrote into the folder the client reads its skins from.

#include <string>

// Unpacks programFolder/res.zip into programFolder/res (made when missing). Items left read-only by
// an earlier unpacking are made writable first so they can be replaced; an item that fails is left
// and the next one tried. Directory items become folders below res. False when the archive could
// not be opened.
bool UnpackSkins(const std::string& programFolder);
