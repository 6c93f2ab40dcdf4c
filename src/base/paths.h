// Paths as the program composes them. Windows separates with a backslash;
// the Linux build composes with '/', and both count as separators when a
// path is taken apart.
#pragma once

#include <string>
#include <string_view>

namespace plumage {

// The separator paths are composed with is the target system's own.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

inline bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

// The path with a separator appended when it does not end in one.
inline std::string WithTrailingSeparator(std::string path) {
  if (path.empty() || !IsPathSeparator(path.back())) path.push_back(kPathSeparator);
  return path;
}

// A path that begins with two separators (\\server\share, //server/share)
// names a network location.
inline bool IsNetworkPath(std::string_view path) {
  return path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]) &&
         path[0] == path[1];
}

}  // namespace plumage
