#include "platform/files.h"

#include "base/codepage.h"

namespace plumage::platform {
namespace {

// A UTF-8 text cut into characters: a lead byte with its continuation
// bytes; a stray byte stands alone.
std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t j = i + 1;
    while (j < text.size() && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80) ++j;
    out.push_back(text.substr(i, j - i));
    i = j;
  }
  return out;
}

}  // namespace

bool MatchesWildcard(const std::string& name, const std::string& pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  const std::string upperName = UpperCaseUtf8(name);
  const std::string upperPattern = UpperCaseUtf8(pattern);
  const auto n = Characters(upperName);
  const auto p = Characters(upperPattern);
  // Greedy match with one remembered star: linear in practice, never
  // exponential.
  std::size_t i = 0, j = 0;
  std::size_t star = std::string::npos, resume = 0;
  while (i < n.size()) {
    if (j < p.size() && (p[j] == "?" || p[j] == n[i])) {
      ++i;
      ++j;
    } else if (j < p.size() && p[j] == "*") {
      star = j++;
      resume = i;
    } else if (star != std::string::npos) {
      j = star + 1;
      i = ++resume;
    } else {
      return false;
    }
  }
  while (j < p.size() && p[j] == "*") ++j;
  return j == p.size();
}

const char* AttributeStoreName(AttributeStore store) {
  switch (store) {
    case AttributeStore::Native: return "the file system's own attributes";
    case AttributeStore::DosAttrib: return "user.DOSATTRIB";
    case AttributeStore::Ntfs: return "NTFS attributes";
    case AttributeStore::Fat: return "FAT attributes";
    case AttributeStore::Smb: return "the server's attributes";
    case AttributeStore::None: break;
  }
  return "nowhere";
}

}  // namespace plumage::platform
