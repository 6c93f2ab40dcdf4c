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

#ifdef PLUMAGECTL_PATH
// Runs plumagectl.exe with `arguments` and answers its exit code.
inline DWORD RunPlumagectl(const std::string& arguments) {
  const std::string exe = WinePath(PLUMAGECTL_PATH);
  std::string commandLine = "\"" + exe + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process))
    return 0xFFFFFFFF;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}
#endif

}  // namespace plumage::test
