// The carried programs are ELF images; the dynamic loader answers for the libraries they need.
#include <dlfcn.h>
#include <elf.h>

#include <cstring>
#include <optional>

#include "installer/runtime_check.h"

namespace {

// Reads a T at offset when all of it lies inside image.
template <class T>
std::optional<T> ReadAt(std::string_view image, uint64_t offset) {
  if (offset > image.size() || image.size() - offset < sizeof(T)) return std::nullopt;
  T value;
  std::memcpy(&value, image.data() + offset, sizeof(T));
  return value;
}

// The string at offset of a string table [start, start + size) inside image.
std::optional<std::string> StringAt(std::string_view image, uint64_t start, uint64_t size, uint64_t offset) {
  if (start > image.size() || size > image.size() - start || offset >= size) return std::nullopt;
  std::string_view table = image.substr(start, size);
  size_t end = table.find('\0', offset);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(table.substr(offset, end - offset));
}

}  // namespace

std::vector<std::string> NeededLibraries(std::string_view image) {
  auto header = ReadAt<Elf64_Ehdr>(image, 0);
  if (!header || std::memcmp(header->e_ident, ELFMAG, SELFMAG) != 0 || header->e_ident[EI_CLASS] != ELFCLASS64 ||
      header->e_ident[EI_DATA] != ELFDATA2LSB || header->e_shentsize != sizeof(Elf64_Shdr)) {
    return {};
  }
  auto section = [&](uint64_t index) {
    return ReadAt<Elf64_Shdr>(image, header->e_shoff + index * sizeof(Elf64_Shdr));
  };
  std::vector<std::string> needed;
  for (uint64_t i = 0; i < header->e_shnum; ++i) {
    auto dynamic = section(i);
    if (!dynamic) return {};
    if (dynamic->sh_type != SHT_DYNAMIC) continue;
    auto strings = section(dynamic->sh_link);
    if (!strings || strings->sh_type != SHT_STRTAB) return {};
    uint64_t count = dynamic->sh_size / sizeof(Elf64_Dyn);
    for (uint64_t k = 0; k < count; ++k) {
      auto entry = ReadAt<Elf64_Dyn>(image, dynamic->sh_offset + k * sizeof(Elf64_Dyn));
      if (!entry) return {};
      if (entry->d_tag == DT_NULL) break;
      if (entry->d_tag != DT_NEEDED) continue;
      auto name = StringAt(image, strings->sh_offset, strings->sh_size, entry->d_un.d_val);
      if (!name) return {};
      needed.push_back(std::move(*name));
    }
    return needed;
  }
  return needed;
}

bool LoaderLibraryProbe::Present(const std::string& soname) const {
  void* handle = dlopen(soname.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (!handle) return false;
  dlclose(handle);
  return true;
}

