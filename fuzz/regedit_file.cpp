// The settings store's parser and writer on any bytes: parsing never fails,
// a value set is found again once the file is written and read back, and a
// second round trip still reads and writes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "formats/regedit_document.h"
#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using plumage::formats::RegDocument;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RegDocument doc = RegDocument::Parse(bytes);
  doc.KeyExists(plumage::formats::kHkeyClassesRoot, "Folder\\shell\\PlumIcon");
  doc.SetValue(plumage::formats::kHkeyClassesRoot, "Folder\\shell\\PlumIcon", "NoWarning",
               plumage::formats::kRegSz, std::string(" 1\0", 3));
  const std::string once = doc.Serialize();
  RegDocument again = RegDocument::Parse(once);
  // Lines nobody understands are kept, but how two neighbouring garbage
  // lines are cut apart may differ after a rewrite; values may not.
  (void)RegDocument::Parse(again.Serialize());
  const auto* v = again.FindValue(plumage::formats::kHkeyClassesRoot, "Folder\\shell\\PlumIcon",
                                  "NoWarning");
  if (!v || v->data != std::string(" 1\0", 3)) std::abort();
  return 0;
}
