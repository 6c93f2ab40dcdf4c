#include "platform/win32/native_platform.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace plumage::platform {

std::vector<std::string> NativePlatform::Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide) {
    for (int i = 0; i < count; ++i) args.push_back(WideToUtf8(wide[i]));
    LocalFree(wide);
    return args;
  }
  // Without shell32's splitter the C run-time's arguments, in the ANSI
  // code page, are all there is.
  for (int i = 0; i < argc; ++i) {
    const int n = MultiByteToWideChar(CP_ACP, 0, argv[i], -1, nullptr, 0);
    std::wstring text(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, argv[i], -1, text.data(), n);
    text.resize(text.size() - 1);
    args.push_back(WideToUtf8(text));
  }
  return args;
}

NativePlatform::Utf8Console::Utf8Console() {
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
      GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode)) {
    previous_ = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
  }
}

NativePlatform::Utf8Console::~Utf8Console() {
  if (previous_ != 0) SetConsoleOutputCP(previous_);
}

}  // namespace plumage::platform
