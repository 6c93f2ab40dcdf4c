#include "formats/regedit_document.h"

#include <cstdio>

#include "base/codepage.h"
#include "formats/registry_values.h"

namespace plumage::formats {
namespace {

constexpr std::string_view kHeader = "REGEDIT4";

struct PhysicalLine {
  std::string_view text;   // without its line end
  std::string_view whole;  // with its line end
};

// Splits at CRLF, LF or CR, keeping each line's own end.
std::vector<PhysicalLine> SplitLines(std::string_view bytes) {
  std::vector<PhysicalLine> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t i = start;
    while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') ++i;
    std::size_t end = i;
    if (i < bytes.size()) {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
        i += 2;
      else
        ++i;
    }
    lines.push_back({bytes.substr(start, end - start), bytes.substr(start, i - start)});
    start = i;
  }
  return lines;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text at s[0] == '"', undoing the \\ and \" escapes;
// returns the position after the closing quote, or npos.
std::size_t ReadQuoted(std::string_view s, std::string& out) {
  std::size_t i = 1;
  while (i < s.size()) {
    char c = s[i];
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      out.push_back(s[i + 1]);
      i += 2;
    } else if (c == '"') {
      return i + 1;
    } else {
      out.push_back(c);
      ++i;
    }
  }
  return std::string_view::npos;
}

bool ParseHexBytes(std::string_view s, std::string& out) {
  std::size_t i = 0;
  bool expectByte = true;
  while (i < s.size()) {
    char c = s[i];
    if (c == ' ' || c == '\t' || c == '\\' || c == '\r' || c == '\n') {
      ++i;
    } else if (c == ',') {
      if (expectByte) return false;
      expectByte = true;
      ++i;
    } else {
      if (!expectByte || i + 1 >= s.size()) return false;
      int hi = HexDigit(s[i]);
      int lo = HexDigit(s[i + 1]);
      if (hi < 0 || lo < 0) return false;
      out.push_back(static_cast<char>(hi * 16 + lo));
      expectByte = false;
      i += 2;
    }
  }
  // "hex:" alone is an empty value; a trailing comma is not a value.
  return !(expectByte && !out.empty());
}

// Parses one logical value line into `entry`; false when it is not one.
bool ParseValue(std::string_view line, RegEntry& entry) {
  line = Trim(line);
  std::size_t i = 0;
  if (line.empty()) return false;
  if (line[0] == '@') {
    entry.isDefault = true;
    i = 1;
  } else if (line[0] == '"') {
    std::size_t after = ReadQuoted(line, entry.name);
    if (after == std::string_view::npos) return false;
    i = after;
  } else {
    return false;
  }
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i >= line.size() || line[i] != '=') return false;
  ++i;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  std::string_view data = line.substr(i);
  if (!data.empty() && data[0] == '"') {
    std::string text;
    std::size_t after = ReadQuoted(data, text);
    if (after == std::string_view::npos || !Trim(data.substr(after)).empty()) return false;
    entry.type = kRegSz;
    entry.data = text + '\0';
    return true;
  }
  if (data.starts_with("dword:")) {
    std::string_view digits = Trim(data.substr(6));
    if (digits.empty() || digits.size() > 8) return false;
    std::uint32_t v = 0;
    for (char c : digits) {
      int d = HexDigit(c);
      if (d < 0) return false;
      v = v * 16 + static_cast<std::uint32_t>(d);
    }
    entry.type = kRegDword;
    for (int k = 0; k < 4; ++k) entry.data.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    return true;
  }
  if (data.starts_with("hex:")) {
    entry.type = kRegBinary;
    return ParseHexBytes(data.substr(4), entry.data);
  }
  if (data.starts_with("hex(")) {
    std::size_t close = data.find("):");
    if (close == std::string_view::npos || close == 4 || close > 12) return false;
    std::uint32_t type = 0;
    for (char c : data.substr(4, close - 4)) {
      int d = HexDigit(c);
      if (d < 0) return false;
      type = type * 16 + static_cast<std::uint32_t>(d);
    }
    entry.type = type;
    return ParseHexBytes(data.substr(close + 2), entry.data);
  }
  return false;
}

std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

std::string HexList(std::string_view data) {
  std::string out;
  char buf[4];
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
    if (i) out.push_back(',');
    out += buf;
  }
  return out;
}

std::string SerializeValue(const RegEntry& e) {
  std::string line = e.isDefault ? "@=" : "\"" + Escape(e.name) + "\"=";
  const std::string& d = e.data;
  bool plainText = e.type == kRegSz && !d.empty() && d.back() == '\0' &&
                   d.find('\0') == d.size() - 1 && d.find_first_of("\r\n") == std::string::npos;
  if (plainText) {
    line += "\"" + Escape(std::string_view(d).substr(0, d.size() - 1)) + "\"";
  } else if (e.type == kRegDword && d.size() == 4) {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(d[static_cast<std::size_t>(k)]);
    char buf[16];
    std::snprintf(buf, sizeof buf, "dword:%08x", v);
    line += buf;
  } else if (e.type == kRegBinary) {
    line += "hex:" + HexList(d);
  } else {
    char buf[24];
    std::snprintf(buf, sizeof buf, "hex(%x):", e.type);
    line += buf + HexList(d);
  }
  return line + "\r\n";
}

std::string WithLineEnd(const std::string& raw) {
  if (!raw.empty() && (raw.back() == '\n' || raw.back() == '\r')) return raw;
  return raw + "\r\n";
}

bool EndsInBackslash(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  line = Trim(line);
  return !line.empty() && line.back() == '\\';
}

bool IsComment(std::string_view line) {
  line = Trim(line);
  return !line.empty() && line[0] == ';';
}

}  // namespace

std::optional<std::uint32_t> RegDocument::RootFromName(std::string_view name) {
  std::string upper = UpperCaseUtf8(name);
  if (upper == "HKEY_CLASSES_ROOT" || upper == "HKCR") return kHkeyClassesRoot;
  if (upper == "HKEY_CURRENT_USER" || upper == "HKCU") return kHkeyCurrentUser;
  if (upper == "HKEY_LOCAL_MACHINE" || upper == "HKLM") return kHkeyLocalMachine;
  return std::nullopt;
}

const char* RegDocument::RootName(std::uint32_t root) {
  switch (root) {
    case kHkeyClassesRoot: return "HKEY_CLASSES_ROOT";
    case kHkeyCurrentUser: return "HKEY_CURRENT_USER";
    case kHkeyLocalMachine: return "HKEY_LOCAL_MACHINE";
    default: return nullptr;
  }
}

std::string RegDocument::CanonicalPath(std::string_view path) {
  std::string out;
  for (char c : path) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out.push_back(c);
  }
  if (!out.empty() && out.back() == '\\') out.pop_back();
  return UpperCaseUtf8(AnsiToUtf8(out));
}

RegDocument RegDocument::Parse(std::string_view bytes) {
  RegDocument doc;
  auto lines = SplitLines(bytes);
  bool headerSeen = false;
  // Continuation lines are indented; a blank or key line never continues one.
  auto continues = [&](std::size_t next) {
    if (next >= lines.size()) return false;
    std::string_view t = lines[next].text;
    return !t.empty() && (t[0] == ' ' || t[0] == '\t') && !Trim(t).empty();
  };
  for (std::size_t n = 0; n < lines.size(); ++n) {
    std::string_view text = lines[n].text;
    std::string whole(lines[n].whole);
    std::string_view trimmed = Trim(text);
    if (!headerSeen && !trimmed.empty()) {
      headerSeen = true;
      if (trimmed == kHeader) continue;
      doc.damaged_ = true;  // not a REGEDIT4 file: keep it all, read what parses
    }
    if (trimmed.empty()) {
      // Blank lines are dropped, except one between a kept line that ends in
      // a backslash and an indented line: written back without it, the first
      // would continue into the second and read differently.
      std::vector<RegEntry>* entries = doc.keys_.empty() ? nullptr : &doc.keys_.back().entries;
      const std::string* last = nullptr;
      if (entries && !entries->empty() && entries->back().raw) last = &*entries->back().raw;
      if (!entries && !doc.preamble_.empty()) last = &doc.preamble_.back();
      if (last && EndsInBackslash(*last) && continues(n + 1)) {
        if (entries) {
          RegEntry blank;
          blank.raw = whole;
          entries->push_back(std::move(blank));
        } else {
          doc.preamble_.push_back(whole);
        }
      }
      continue;
    }
    if (trimmed.front() == '[') {
      RegKey key;
      bool ok = trimmed.back() == ']' && trimmed.size() > 2 && trimmed[1] != '-';
      if (ok) {
        std::string_view inner = trimmed.substr(1, trimmed.size() - 2);
        std::size_t sep = inner.find('\\');
        auto root = RootFromName(inner.substr(0, sep));
        if (root) {
          key.root = *root;
          key.path = sep == std::string_view::npos ? "" : std::string(inner.substr(sep + 1));
        } else {
          ok = false;
        }
      }
      if (!ok) {
        key.raw = whole;
        doc.damaged_ = true;
      }
      doc.keys_.push_back(std::move(key));
      continue;
    }
    // A value line; a hex value may go on over lines that end in a backslash.
    std::string logical(text);
    const bool hexValue = (trimmed.front() == '"' || trimmed.front() == '@') &&
                          trimmed.find("=hex") != std::string_view::npos;
    while (hexValue && Trim(logical).back() == '\\' && continues(n + 1)) {
      ++n;
      logical += "\n";
      logical += lines[n].text;
      whole += lines[n].whole;
    }
    RegEntry entry;
    bool parsed = !doc.keys_.empty() && ParseValue(logical, entry);
    if (!parsed) {
      entry = RegEntry{};
      entry.raw = whole;
      if (!IsComment(text)) doc.damaged_ = true;
    }
    if (doc.keys_.empty())
      doc.preamble_.push_back(whole);
    else
      doc.keys_.back().entries.push_back(std::move(entry));
  }
  return doc;
}

std::string RegDocument::Serialize() const {
  std::string out = std::string(kHeader) + "\r\n";
  for (const auto& raw : preamble_) out += WithLineEnd(raw);
  for (const auto& key : keys_) {
    out += "\r\n";
    if (key.raw) {
      out += WithLineEnd(*key.raw);
    } else {
      out += "[";
      out += RootName(key.root);
      if (!key.path.empty()) out += "\\" + key.path;
      out += "]\r\n";
    }
    for (const auto& e : key.entries) out += e.raw ? WithLineEnd(*e.raw) : SerializeValue(e);
  }
  return out;
}

std::vector<std::string> RegDocument::RawLines() const {
  std::vector<std::string> lines = preamble_;
  for (const auto& key : keys_) {
    if (key.raw) lines.push_back(*key.raw);
    for (const auto& e : key.entries)
      if (e.raw) lines.push_back(*e.raw);
  }
  return lines;
}

RegKey* RegDocument::FindKey(std::uint32_t root, std::string_view path) {
  const std::string want = CanonicalPath(path);
  RegKey* found = nullptr;
  for (auto& key : keys_)
    if (!key.raw && key.root == root && CanonicalPath(key.path) == want) found = &key;
  return found;  // the last block of that key: later blocks win, as on import
}

const RegKey* RegDocument::FindKey(std::uint32_t root, std::string_view path) const {
  return const_cast<RegDocument*>(this)->FindKey(root, path);
}

bool RegDocument::KeyExists(std::uint32_t root, std::string_view path) const {
  if (!RootName(root)) return false;
  const std::string want = CanonicalPath(path);
  if (want.empty()) return true;
  for (const auto& key : keys_) {
    if (key.raw || key.root != root) continue;
    std::string have = CanonicalPath(key.path);
    if (have == want || (have.size() > want.size() && have.compare(0, want.size(), want) == 0 &&
                         have[want.size()] == '\\'))
      return true;
  }
  return false;
}

const RegEntry* RegDocument::FindValue(std::uint32_t root, std::string_view path,
                                       std::string_view name) const {
  const std::string want = CanonicalPath(path);
  const std::string wantName = UpperCaseUtf8(AnsiToUtf8(name));
  const RegEntry* found = nullptr;
  for (const auto& key : keys_) {
    if (key.raw || key.root != root || CanonicalPath(key.path) != want) continue;
    for (const auto& e : key.entries) {
      if (e.raw) continue;
      bool match = name.empty() ? (e.isDefault || e.name.empty())
                                : (!e.isDefault && UpperCaseUtf8(AnsiToUtf8(e.name)) == wantName);
      if (match) found = &e;
    }
  }
  return found;
}

void RegDocument::SetValue(std::uint32_t root, std::string_view path, std::string_view name,
                           std::uint32_t type, std::string_view data) {
  if (auto* existing = const_cast<RegEntry*>(FindValue(root, path, name))) {
    existing->type = type;
    existing->data = std::string(data);
    return;
  }
  CreateKey(root, path);
  RegEntry entry;
  entry.isDefault = name.empty();
  entry.name = std::string(name);
  entry.type = type;
  entry.data = std::string(data);
  FindKey(root, path)->entries.push_back(std::move(entry));
}

void RegDocument::CreateKey(std::uint32_t root, std::string_view path) {
  if (FindKey(root, path)) return;
  RegKey key;
  key.root = root;
  key.path = std::string(path);
  keys_.push_back(std::move(key));
}

void RegDocument::DeleteKeyTree(std::uint32_t root, std::string_view path) {
  const std::string want = CanonicalPath(path);
  std::erase_if(keys_, [&](const RegKey& key) {
    if (key.raw || key.root != root) return false;
    std::string have = CanonicalPath(key.path);
    return have == want || want.empty() ||
           (have.size() > want.size() && have.compare(0, want.size(), want) == 0 &&
            have[want.size()] == '\\');
  });
}

}  // namespace plumage::formats
