#pragma once
// Before anything is written: are the system libraries the carried programs load present here? A
// client installed without them could not start, so the user is told which Debian packages to
// install instead. The needs are read from the carried programs themselves, so they cannot drift
// from what the build linked.

#include <string>
#include <string_view>
#include <vector>

// The shared libraries an ELF image names as needed, in its order; empty when the image is not a
// 64-bit little-endian ELF file, has no dynamic section or any offset points outside it. Always
// empty on Windows, whose programs carry their compiler's libraries and need none the system lacks.
std::vector<std::string> NeededLibraries(std::string_view image);

class LibraryProbe {
 public:
  virtual ~LibraryProbe() = default;
  // True when the dynamic loader finds and loads the library by this name.
  virtual bool Present(const std::string& soname) const = 0;
};

// Asks the dynamic loader itself, so its search paths and the library's own needs count.
class LoaderLibraryProbe : public LibraryProbe {
 public:
  bool Present(const std::string& soname) const override;
};

// The Debian package that ships soname; empty when it is not one the programs are known to load.
std::string DebianPackageOf(std::string_view soname);

struct RuntimeCheck {
  std::vector<std::string> missing;   // libraries not found, in the order first needed
  std::vector<std::string> packages;  // the packages that bring them, each once
  bool Passed() const { return missing.empty(); }
};

// Checks the libraries needed by every carried program and library that are not carried too.
RuntimeCheck CheckRuntime(const LibraryProbe& probe);
// What the message box tells the user when the check did not pass.
std::string RuntimeCheckText(const RuntimeCheck& check);
