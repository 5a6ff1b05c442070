#pragma once
// Unpacks the skin archive the installation wrote into the folder the client reads its skins from.

#include <atomic>
#include <string>
#include <vector>

// What unpacking made below the program folder, and where it stopped.
struct SkinUnpacking {
  std::vector<std::string> files;    // "res/..." of every item written
  std::vector<std::string> folders;  // "res" and every folder below it that holds an item
  std::string failed;                // the full path that could not be made or written; empty: all landed
  bool cancelled = false;            // stopped between two items on request
  bool Ok() const { return failed.empty() && !cancelled; }
};

// Unpacks programFolder/res.zip into programFolder/res, every item of it: the first item that does
// not land whole ends the unpacking and is named (a partly written file is removed). A link standing
// where a folder or an item goes is replaced, never written through; items left read-only by an
// earlier unpacking are made writable first. cancel (may be null) is asked between items.
SkinUnpacking UnpackSkins(const std::string& programFolder, const std::atomic<bool>* cancel = nullptr);
