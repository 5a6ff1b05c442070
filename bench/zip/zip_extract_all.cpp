// Unpacks every item of an archive into the current folder under its stored name, as the installer
// does with the skin archive: zip_extract_all ARCHIVE. Exit status 1 when the archive cannot be opened
// or an item fails.
#include <cstdio>

#include "common/zip/zip_extractor.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zip_extract_all ARCHIVE\n");
    return 2;
  }
  ZipExtractor zip;
  if (ZipResult opened = zip.OpenArchive(argv[1]); opened != ZipResult::kOk) {
    std::fprintf(stderr, "cannot open %s: 0x%x\n", argv[1], static_cast<unsigned>(opened));
    return 1;
  }
  ZipItem count;
  zip.GetItem(-1, count);
  int failures = 0;
  for (int i = 0; i < count.index; ++i) {
    ZipItem item;
    ZipResult result = zip.GetItem(i, item);
    if (result == ZipResult::kOk) result = zip.ExtractItem(i, item.name);
    if (result != ZipResult::kOk) {
      std::fprintf(stderr, "item %d (%s): 0x%x\n", i, item.name.c_str(), static_cast<unsigned>(result));
      ++failures;
    }
  }
  zip.CloseArchive();
  return failures == 0 ? 0 : 1;
}
