// The names Windows machines use for folders of this machine: a Samba share
// (/srv/share is \\nas\share to its clients), a dual-boot disk (/mnt/win is
// C:\ when Windows runs). An icon file under a mapped folder is written into
// a descriptor by its Windows name, which is the name the reader of the
// descriptor can open, and read back by its local name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace plumage {

struct WindowsPathMapping {
  std::string localFolder;    // "/srv/share"
  std::string windowsFolder;  // "\\nas\share", "C:\"
  friend bool operator==(const WindowsPathMapping&, const WindowsPathMapping&) = default;
};
using WindowsPathMap = std::vector<WindowsPathMapping>;

// "LOCAL=WINDOWS" as typed on a command line. The Windows name begins with
// two backslashes or a drive letter and a colon, and the '=' before it is
// the one that splits, so either side may hold other '=' signs. An empty
// Windows name ("/srv/share=") asks for the mapping to be removed.
Result<WindowsPathMapping> ParseWindowsPathArgument(std::string_view text);

// The stored form: local and Windows names alternate, separated by '|',
// which no Windows name can hold. A local folder whose name holds '|'
// cannot be stored (the store refuses it).
std::string FormatWindowsPathMap(const WindowsPathMap& map);
WindowsPathMap ParseWindowsPathMap(std::string_view stored);

// Adds or replaces the mapping of a local folder, or removes it when the
// Windows name is empty.
void UpdateWindowsPathMap(WindowsPathMap& map, const WindowsPathMapping& mapping);

// The Windows name of a local path under a mapped folder (the longest
// mapped folder that holds it, whole names only), separators turned to
// backslashes; nothing when no mapping holds it.
std::optional<std::string> ToWindowsPath(const WindowsPathMap& map, std::string_view localPath);

// The local path of a Windows name under a mapped Windows folder (letter
// case ignored, as Windows ignores it); nothing when no mapping holds it.
std::optional<std::string> FromWindowsPath(const WindowsPathMap& map, std::string_view windowsPath);

// A path Windows can open as it stands: a drive path (C:\...) or a network
// path (\\server\share\...).
bool IsWindowsAbsolutePath(std::string_view path);

}  // namespace plumage
