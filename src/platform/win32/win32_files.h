// Small file helpers of the Windows platform layer, under the names the
// Linux layer gives them, for the front ends.
#pragma once

#include <string>

#include "base/result.h"

namespace plumage::platform {

// The whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Writes a sibling, flushes it and moves it over `path` (MoveFileExW with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), so the file is either
// complete or untouched. An existing file's attributes carry over.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);
Status WriteFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace plumage::platform
