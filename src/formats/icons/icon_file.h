// The icons of a file, as its directories describe them: an .ico file holds
// one icon; an executable or library (PE or NE) holds group icon resources,
// each with the images it names. Reading stops at locating the images; the
// images themselves are decoded when an icon is asked for.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/result.h"

namespace plumage::formats {

// One image of an icon: the bytes of a device-independent bitmap or of a
// PNG, as located by the directory (never beyond the file's data).
struct IconImageRef {
  int entry = 0;  // position in the icon's directory, from 0
  std::span<const std::uint8_t> bytes;
};

// One icon: the icon of an .ico file, or one group icon resource.
struct IconGroup {
  std::string name;                   // "#5" or "FOLDER"; empty for an .ico file
  int id = -1;                        // the resource number; -1 when named, or in an .ico file
  int entryCount = 0;                 // images its directory lists
  std::vector<IconImageRef> images;   // the images that could be located
  std::vector<std::string> problems;  // why the others (or the whole directory) could not
  std::size_t moreProblems = 0;       // beyond those kept
};

enum class IconFileKind {
  Ico,              // an icon file
  Pe,               // a 32 or 64-bit Windows executable or library
  Ne,               // a 16-bit executable, library or icon library (.icl)
  OtherExecutable,  // an MZ executable without a resource format this program reads
  NotIconFile,      // none of these: ExtractIconA's marker 1
};

struct IconFile {
  IconFileKind kind = IconFileKind::NotIconFile;
  std::string format;             // "ICO", "PE32", "PE32+", "NE", "MZ" or "" for messages
  std::vector<IconGroup> groups;  // in the file's own order
};

// Tells the formats apart by their bytes and reads the one found. A damaged
// directory of the file as a whole is an error; damage inside one icon is
// kept in that icon's problems.
Result<IconFile> ParseIconFile(std::span<const std::uint8_t> data);

Result<IconFile> ReadIcoFile(std::span<const std::uint8_t> data);
// `headerOffset` is where the "PE\0\0" or "NE" signature stands.
Result<IconFile> ReadPeFile(std::span<const std::uint8_t> data, std::uint32_t headerOffset);
Result<IconFile> ReadNeFile(std::span<const std::uint8_t> data, std::uint32_t headerOffset);

// An icon holds one image per size and depth, a dozen or two at most; only
// the first this many are looked at, so that a directory listing thousands
// of images cannot multiply the work of every listing.
inline constexpr int kMaxImagesPerIcon = 256;
// Reasons kept per icon; the rest are counted.
inline constexpr std::size_t kMaxProblemsKept = 8;

// Adds why an image or the icon could not be read, within the cap.
inline void NoteProblem(IconGroup& group, std::string problem) {
  if (group.problems.size() < kMaxProblemsKept)
    group.problems.push_back(std::move(problem));
  else
    ++group.moreProblems;
}

// The directory of a group icon resource (PE and NE share it): the resource
// numbers of its images, in order.
struct GroupEntry {
  std::uint16_t iconId = 0;
};
Result<std::vector<GroupEntry>> ReadGroupIconDirectory(std::span<const std::uint8_t> bytes);

// Resolves the images of a group against the icon resources of the file.
// `findIcon` returns the bytes of RT_ICON number `id`, or an error.
template <typename FindIcon>
void ResolveGroup(IconGroup& group, std::span<const std::uint8_t> groupBytes, FindIcon&& findIcon) {
  auto entries = ReadGroupIconDirectory(groupBytes);
  if (!entries) {
    NoteProblem(group, entries.error().message);
    return;
  }
  group.entryCount = static_cast<int>(entries->size());  // at most kMaxImagesPerIcon
  for (std::size_t i = 0; i < entries->size(); ++i) {
    const std::uint16_t id = (*entries)[i].iconId;
    Result<std::span<const std::uint8_t>> bytes = findIcon(id);
    if (!bytes) {
      NoteProblem(group, "image " + std::to_string(i + 1) + " (icon resource #" + std::to_string(id) +
                             "): " + bytes.error().message);
      continue;
    }
    group.images.push_back(IconImageRef{static_cast<int>(i), *bytes});
  }
}

}  // namespace plumage::formats
