// Loads fuzzed bytes as a document and exercises every read of the result.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/xml/xml_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  XmlDocument document;
  document.LoadText(text);
  (void)document.Validate();
  std::vector<const XmlElement*> pending{&document.Root()};
  while (!pending.empty()) {
    const XmlElement* element = pending.back();
    pending.pop_back();
    (void)element->Name();
    for (int i = 0; i < element->AttributeCount(); ++i) (void)element->AttributeValue(i);
    for (int i = 0; i < element->TextCount(); ++i) (void)element->Text(i);
    for (const XmlElement* child : element->Children()) pending.push_back(child);
  }
  // The write layout indents by depth, so its size grows with depth times elements; keep it to
  // inputs whose output stays small.
  if (size < 4096) {
    std::optional<std::string> written = document.Serialize();
    XmlDocument again;
    again.LoadText(written.value_or(""));
  }
  return 0;
}
