// What the Win32 platform tests share.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/win32_text.h"

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
// Runs plumagectl.exe with `arguments` (UTF-8, given to it as UTF-16) and
// answers its exit code; its standard output is kept in `output` when one
// is given.
inline DWORD RunPlumagectl(const std::string& arguments, std::string* output = nullptr) {
  const std::wstring exe = platform::Utf8ToWide(WinePath(PLUMAGECTL_PATH));
  std::wstring commandLine = L"\"" + exe + L"\" " + platform::Utf8ToWide(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (output) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return 0xFFFFFFFF;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  }
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr,
                                      output != nullptr, 0, nullptr, nullptr, &startup, &process);
  if (writeEnd) CloseHandle(writeEnd);
  if (!started) {
    if (readEnd) CloseHandle(readEnd);
    return 0xFFFFFFFF;
  }
  if (output) {
    output->clear();
    char buffer[4096];
    DWORD n = 0;
    while (::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
      output->append(buffer, n);
    CloseHandle(readEnd);
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}
#endif

}  // namespace plumage::test
