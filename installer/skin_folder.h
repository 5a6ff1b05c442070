#pragma once
// The file steps of unpacking the skins that each system does its own way: the skin folder opened
// without trusting a link in its place, links on the way to an item taken away, a read-only item
// made writable again, and a file cut short removed. Each step names an item by its path below the
// folder (with "/" separators) and reaches it through the folder held open where the system can.

#include <string>

#include "platform/unique_fd.h"

class SkinFolder {
 public:
  // Makes the folder at path (a link in its place taken away first) and opens it.
  explicit SkinFolder(std::string path);

  bool IsOpen() const { return static_cast<bool>(fd_); }
  int Descriptor() const { return fd_.get(); }

  // Removes every link that stands on the way to name, its own place included, so that what follows
  // lands in real folders and files.
  void RemoveLinksOnTheWay(const std::string& name) const;
  // A file (never what a link points at) that an earlier unpacking left read-only becomes writable.
  void MakeWritable(const std::string& name) const;
  // Removes name when it is a file.
  void RemoveFile(const std::string& name) const;

 private:
  std::string path_;
  platform::UniqueFd fd_;
};
