// The items are resources of the program's own file, each of the item's type name and numeric id
// (the build writes them into a resource script, cmake/VymeraPayload.cmake). A resource, once
// loaded, stays mapped for the life of the module, so its bytes are returned as a view.
#include <windows.h>

#include <mutex>
#include <vector>

#include "platform/file_io.h"
#include "platform/payload.h"
#include "platform/payload_resources.h"
#include "platform/wide_text.h"

namespace platform {
namespace {

// The module the payload lives in: the one this code is linked into.
HMODULE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&OwnModule), &module);
  return module;
}

std::optional<std::string_view> ResourceBytes(std::string_view type, unsigned id) {
  if (id == 0 || id > 0xFFFF || type.empty()) return std::nullopt;
  HMODULE module = OwnModule();
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), Widen(type).c_str());
  if (!found) return std::nullopt;
  DWORD size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return std::nullopt;
  return std::string_view(static_cast<const char*>(bytes), size);
}

}  // namespace

std::span<const PayloadItem> ResolvePayload(std::span<const PayloadName> names) {
  // Every item the build listed is in the file; one that could not be found is left out.
  static std::once_flag once;
  static std::vector<PayloadItem> items;
  std::call_once(once, [&] {
    for (const PayloadName& name : names) {
      if (auto bytes = ResourceBytes(name.type, name.id)) {
        auto begin = reinterpret_cast<const unsigned char*>(bytes->data());
        items.push_back({name.type, name.id, begin, begin + bytes->size()});
      }
    }
  });
  return items;
}

std::optional<std::string_view> FindPayload(std::string_view type, unsigned id) { return ResourceBytes(type, id); }

bool WritePayload(unsigned id, std::string_view type, const std::string& path, PayloadUse use) {
  std::optional<std::string_view> bytes = FindPayload(type, id);
  if (!bytes || path.empty()) return false;
  // Files take the access of their folder, and whether one runs is told by its name, not a mode:
  // only private data has its access narrowed, to the user alone.
  AtomicFileWriter writer(path);
  if (!writer.Write(*bytes) || !writer.Commit()) return false;
  return use != PayloadUse::Private || RestrictToOwner(path);
}

}  // namespace platform
