#include "folder/descriptor.h"

#include <cstdio>
#include <optional>

#include "base/paths.h"
#include "base/codepage.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "settings/settings.h"

namespace plumage {

std::string ReadIniValue(platform::IPrivateProfile& profile, const std::string& file,
                         const std::string& section, const std::string& key) {
  const std::optional<std::string> value = profile.ReadText(section, key, file);
  if (!value || value->empty()) return kVide;
  // The buffer of 255 blanks, counted in characters: a value of up to 252
  // comes back whole (the NUL after it stops the trimming); a longer one
  // fills the 253 taken, loses its trailing blanks and then one more
  // character.
  if (Utf8Length(*value) <= 252) return *value;
  std::string text = Utf8Left(*value, 253);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  const std::size_t length = Utf8Length(text);
  return length == 0 ? text : Utf8Left(text, length - 1);
}

int GetPathKind(platform::IFileSystem& files, const std::string& path) {
  auto attributes = files.GetAttributes(path);
  if (!attributes) return 0;
  return (*attributes & platform::kAttributeDirectory) != 0 ? 2 : 1;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || IsPathSeparator(folder.back())) return folder + name;
  return folder + kPathSeparator + name;
}

std::string DescriptorName(platform::IFileSystem& files, const std::string& folder,
                           const std::string& name) {
  auto names = files.List(folder, name, platform::kAttributeHidden | platform::kAttributeSystem);
  if (!names || names->empty()) return name;
  for (const auto& found : *names)
    if (found == name) return found;
  return names->front();
}

DescriptorPlace LocateDescriptor(platform::IFileSystem& files, const std::string& argumentText) {
  DescriptorPlace place;
  place.folder = argumentText;
  // One trailing separator goes; a root given as the separator alone keeps it.
  if (place.folder.size() > 1 && IsPathSeparator(place.folder.back())) place.folder.pop_back();
  place.driveRoot = files.IsDriveRoot(place.folder);
  const char* name = place.driveRoot ? kAutorunInf : kDesktopIni;
  place.descriptor = JoinPath(place.folder, DescriptorName(files, place.folder, name));
  return place;
}

std::string IndexText(std::string_view stored) {
  double value = LeadingNumber(stored);
  if (value == 0) value = 0;  // no "-0"
  char text[32];
  // Whole numbers come out as digits alone, others as their shortest form.
  std::snprintf(text, sizeof text, "%.15G", value);
  return text;
}

bool ParseIconIndex(std::string_view selectedNo, std::int32_t& index) {
  while (!selectedNo.empty() && selectedNo.front() == ' ') selectedNo.remove_prefix(1);
  while (!selectedNo.empty() && selectedNo.back() == ' ') selectedNo.remove_suffix(1);
  std::size_t i = 0;
  bool negative = false;
  if (i < selectedNo.size() && (selectedNo[i] == '-' || selectedNo[i] == '+')) {
    negative = selectedNo[i] == '-';
    ++i;
  }
  if (i == selectedNo.size()) return false;
  std::int64_t value = 0;
  for (; i < selectedNo.size(); ++i) {
    char c = selectedNo[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return false;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return false;
  index = static_cast<std::int32_t>(value);
  return true;
}

}  // namespace plumage
