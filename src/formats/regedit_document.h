// The REGEDIT4 text form of registry keys and values, as the Linux build
// keeps its registry: parsed from untrusted bytes, and written back with
// every value's type and exact bytes. Lines the parser does not understand
// are kept verbatim, in place, so that a rewrite loses nothing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plumage::formats {

struct RegEntry {
  // A parsed value, or (when `raw` is set) a line kept as it was read.
  bool isDefault = false;  // "@": the key's default value
  std::string name;        // ANSI bytes
  std::uint32_t type = 0;
  std::string data;        // the value's bytes, exactly
  std::optional<std::string> raw;  // the unparsed line, its line end included
};

struct RegKey {
  std::uint32_t root = 0;  // kHkey... value
  std::string path;        // below the root, "\"-separated, ANSI, as written
  std::vector<RegEntry> entries;
  std::optional<std::string> raw;  // a key line that did not parse
};

class RegDocument {
 public:
  // Parses any bytes. Never fails: what cannot be understood is kept raw and
  // makes the document damaged.
  static RegDocument Parse(std::string_view bytes);

  // The REGEDIT4 text (CRLF line ends, Windows-1252 bytes).
  std::string Serialize() const;

  // True when some line could not be understood (or the header is missing).
  bool damaged() const { return damaged_; }
  // The lines that did not parse, in file order.
  std::vector<std::string> RawLines() const;

  // A key exists when it or a key below it is in the document; roots always
  // exist. Names compare without regard to case.
  bool KeyExists(std::uint32_t root, std::string_view path) const;
  const RegEntry* FindValue(std::uint32_t root, std::string_view path,
                            std::string_view name) const;
  // Creates the key's block when needed and sets the value.
  void SetValue(std::uint32_t root, std::string_view path, std::string_view name,
                std::uint32_t type, std::string_view data);
  // Adds an empty block for the key (and nothing for its parents, which
  // exist through it).
  void CreateKey(std::uint32_t root, std::string_view path);
  // Removes the key and every key below it.
  void DeleteKeyTree(std::uint32_t root, std::string_view path);

  static std::optional<std::uint32_t> RootFromName(std::string_view name);
  static const char* RootName(std::uint32_t root);
  // The canonical form for comparisons: separators collapsed, upper case.
  static std::string CanonicalPath(std::string_view path);

 private:
  RegKey* FindKey(std::uint32_t root, std::string_view path);
  const RegKey* FindKey(std::uint32_t root, std::string_view path) const;

  std::vector<std::string> preamble_;  // raw lines before the first key
  std::vector<RegKey> keys_;
  bool damaged_ = false;
};

}  // namespace plumage::formats
