// One icon of a file written out as an .ico file of its own: every image of
// the icon (each size and depth, PNG images too), so that whatever reads it
// later chooses among them as it would in the original file.
#pragma once

#include <string>

#include "formats/icons/icon_file.h"
#include "base/result.h"

namespace plumage::formats {

// The icon numbered as ExtractIcon numbers them: the index-th icon of the
// file, or for a negative index other than -1 the icon whose resource
// number is minus the index (executables and libraries only). Nothing when
// there is no such icon.
const IconGroup* GroupAtIndex(const IconFile& file, int index);

// The bytes of an .ico file holding the group's images in its order. The
// directory entries are made from each image's own header. Fails when the
// group has no image that could be located and read.
Result<std::string> WriteIcoFile(const IconGroup& group);

}  // namespace plumage::formats
