// Win32System and Win32Shell under Wine: the program folder, the running
// copy's claim, error texts, and the shell function found by its number.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using platform::Win32System;

TEST(Win32System, ProgramFolderIsTheExecutablesFolderWithItsIconsFolder) {
  Win32System system;
  const std::string folder = system.ProgramFolder();
  char exe[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, exe, MAX_PATH), 0u);
  std::string expected = exe;
  expected.resize(expected.find_last_of('\\') + 1);
  EXPECT_EQ(folder, expected);
  DWORD icons = GetFileAttributesA((folder + "Icons").c_str());
  ASSERT_NE(icons, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(icons & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(system.ExecutableName(), "test_win32");
}

TEST(Win32System, TheFirstCopyHoldsTheClaimUntilItEnds) {
  auto first = std::make_unique<Win32System>();
  EXPECT_FALSE(first->PreviousInstanceRunning());
  EXPECT_FALSE(first->PreviousInstanceRunning()) << "asking again changes nothing";
  {
    Win32System second;
    EXPECT_TRUE(second.PreviousInstanceRunning());
  }
  first.reset();
  Win32System third;
  EXPECT_FALSE(third.PreviousInstanceRunning()) << "the claim went with the first copy";
}

TEST(Win32System, ErrorsHaveTheSystemsTextsOnOneLine) {
  Win32System system;
  EXPECT_EQ(GetFileAttributesA("C:\\no such folder\\no such file"), INVALID_FILE_ATTRIBUTES);
  const long code = system.LastError();
  EXPECT_EQ(code, ERROR_PATH_NOT_FOUND);
  const std::string text = system.ErrorMessage(code);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  EXPECT_NE(system.ErrorMessage(ERROR_FILE_NOT_FOUND), text);
  EXPECT_EQ(platform::SystemErrorText(0xDEADBEEF), "error 3735928559");
}

TEST(Win32System, TheTickCounterMovesForward) {
  Win32System system;
  const std::uint32_t before = system.TickCount();
  Sleep(20);
  const std::uint32_t after = system.TickCount();
  EXPECT_GE(after - before, 15u);
}

TEST(Win32Shell, TheImageCacheFunctionIsExportedUnderItsNumber) {
  HMODULE shell32 = LoadLibraryA("shell32.dll");
  ASSERT_NE(shell32, nullptr);
  EXPECT_NE(reinterpret_cast<void*>(GetProcAddress(shell32, MAKEINTRESOURCEA(72))), nullptr);
}

TEST(Win32Text, AnsiAndUtf8RoundTrip) {
  // Wine's default ANSI code page here is Windows-1252.
  ASSERT_EQ(GetACP(), 1252u);
  EXPECT_EQ(platform::Utf8ToSystemAnsi("Ic\xC3\xB4nes \xE2\x82\xAC"), "Ic\xF4nes \x80");
  EXPECT_EQ(platform::SystemAnsiToUtf8("Ic\xF4nes \x80"), "Ic\xC3\xB4nes \xE2\x82\xAC");
  EXPECT_EQ(platform::Utf8ToSystemAnsi("\xE4\xB8\xAD"), "?") << "a character it lacks";
  EXPECT_EQ(platform::Utf8ToSystemAnsi(""), "");
}

}  // namespace
}  // namespace plumage::test
