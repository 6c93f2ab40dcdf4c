// What the Win32 platform and window tests share.
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

// A registry value as text, read through the wide calls: "<no key>" or
// "<no value>" when it is not there.
inline std::string RegistryText(HKEY root, const std::string& key, const std::string& name = "") {
  HKEY handle = nullptr;
  if (RegOpenKeyW(root, platform::Utf8ToWide(key).c_str(), &handle) != ERROR_SUCCESS)
    return "<no key>";
  wchar_t data[512] = {};
  DWORD size = sizeof data - sizeof(wchar_t);
  const LONG rc = RegQueryValueExW(handle, platform::Utf8ToWide(name).c_str(), nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS ? platform::WideToUtf8(data) : "<no value>";
}

// A value of a folder's DESKTOP.INI, as Explorer reads it; "" without it.
inline std::string DescriptorValue(const std::string& folder, const char* key) {
  wchar_t value[MAX_PATH] = {};
  GetPrivateProfileStringW(L".ShellClassInfo", platform::Utf8ToWide(key).c_str(), L"", value,
                           MAX_PATH, platform::Utf8ToWide(folder + "\\DESKTOP.INI").c_str());
  return platform::WideToUtf8(value);
}

#ifdef PLUMAGECTL_PATH
// Runs plumagectl.exe with `arguments` (UTF-8, given to it as UTF-16) and
// answers its exit code; its standard output is kept in `output` when one
// is given.
inline DWORD RunPlumagectl(const std::string& arguments, std::string* output = nullptr) {
  const std::wstring exe = platform::Utf8ToWide(WinePath(PLUMAGECTL_PATH));
  std::wstring commandLine = L"\"" + exe + L"\" " + platform::Utf8ToWide(arguments);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return 0xFFFFFFFF;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  std::string out;
  char buffer[4096];
  DWORD n = 0;
  while (started && ::ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0)
    out.append(buffer, n);
  CloseHandle(readEnd);
  if (output) *output = out;
  if (!started) return 0xFFFFFFFF;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0xFFFFFFFF;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}
#endif

}  // namespace plumage::test
