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

// A program of this build started as Explorer or a console starts it: the
// command line (UTF-8) given as UTF-16, its standard output into a pipe the
// test reads. One a failed test leaves running is ended with it.
class ChildProcess {
 public:
  explicit ChildProcess(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&output_, &writeEnd, &inherit, 0)) return;
    SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring wide = platform::Utf8ToWide(commandLine);
    started_ = CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &process_) != 0;
    CloseHandle(writeEnd);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (output_) CloseHandle(output_);
    if (!started_) return;
    if (!Ended()) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  DWORD id() const { return process_.dwProcessId; }
  bool Ended() const { return started_ && WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }

  // All it writes, until it closes its output.
  std::string ReadOutput() {
    std::string out;
    char buffer[4096];
    DWORD n = 0;
    while (started_ && ::ReadFile(output_, buffer, sizeof buffer, &n, nullptr) && n > 0)
      out.append(buffer, n);
    return out;
  }
  // Its exit code once it ends, waiting at most `ms`; 0xFFFFFFFF if it runs on.
  DWORD ExitCode(DWORD ms = 0) const {
    DWORD code = 0xFFFFFFFF;
    if (started_ && WaitForSingleObject(process_.hProcess, ms) == WAIT_OBJECT_0)
      GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
  HANDLE output_ = nullptr;
  bool started_ = false;
};

#ifdef PLUMAGECTL_PATH
// Runs plumagectl.exe with `arguments`: its exit code; its standard output
// goes to `output` when one is given.
inline DWORD RunPlumagectl(const std::string& arguments, std::string* output = nullptr) {
  ChildProcess run("\"" + WinePath(PLUMAGECTL_PATH) + "\" " + arguments);
  const std::string out = run.ReadOutput();
  if (output) *output = out;
  return run.ExitCode(60000);
}
#endif

}  // namespace plumage::test
