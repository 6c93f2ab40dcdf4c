// What the Win32 platform tests share.
#pragma once

#include <windows.h>

#include <string>

namespace plumage::test {

// A path of the build tree (a Linux path) as Windows programs under Wine
// see it: on drive Z:, which Wine maps to the Linux root.
inline std::string WinePath(std::string linuxPath) {
  for (char& c : linuxPath)
    if (c == '/') c = '\\';
  return "Z:" + linuxPath;
}

// A name no other run of the tests uses at the same time.
inline std::string UniqueName(const std::string& stem) {
  return stem + "-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(GetTickCount());
}

}  // namespace plumage::test
