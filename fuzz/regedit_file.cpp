// The settings store's parser and writer on any bytes: parsing never fails,
// and what is written back parses to the same values and the same kept lines.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/regedit_document.h"
#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using plumage::platform::RegDocument;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RegDocument doc = RegDocument::Parse(bytes);
  doc.KeyExists(plumage::platform::kHkeyClassesRoot, "Folder\\shell\\PlumIcon");
  doc.SetValue(plumage::platform::kHkeyClassesRoot, "Folder\\shell\\PlumIcon", "NoWarning",
               plumage::platform::kRegSz, std::string(" 1\0", 3));
  const std::string once = doc.Serialize();
  RegDocument again = RegDocument::Parse(once);
  if (again.Serialize() != once) std::abort();
  if (again.RawLines().size() != doc.RawLines().size()) std::abort();
  const auto* v = again.FindValue(plumage::platform::kHkeyClassesRoot, "Folder\\shell\\PlumIcon",
                                  "NoWarning");
  if (!v || v->data != std::string(" 1\0", 3)) std::abort();
  return 0;
}
