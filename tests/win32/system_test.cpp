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

TEST(Win32Text, Utf8AndUtf16RoundTripBeyondTheBmp) {
  // "Φάκελος 写真 📁": Greek, CJK and a character that takes two UTF-16 units.
  const std::string utf8 =
      "\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82 \xE5\x86\x99\xE7\x9C\x9F "
      "\xF0\x9F\x93\x81";
  const std::wstring wide = platform::Utf8ToWide(utf8);
  EXPECT_EQ(wide, std::wstring(L"\u03A6\u03AC\u03BA\u03B5\u03BB\u03BF\u03C2 \u5199\u771F "
                               L"\xD83D\xDCC1"));
  EXPECT_EQ(platform::WideToUtf8(wide), utf8);
  EXPECT_EQ(platform::Utf8ToWide(""), L"");
  EXPECT_EQ(platform::WideToUtf8(std::wstring(L"a\0b", 3)), std::string("a\0b", 3));
}

TEST(Win32Text, StoredTextCrossesThroughWindows1252WhateverTheAnsiCodePage) {
  // Bytes the program made with its own Windows-1252 table: 0x80 is the
  // euro sign, 0x9C oe, whatever code page the system runs.
  EXPECT_EQ(platform::AnsiToWide("Ic\xF4nes \x80\x9C"), L"Ic\u00F4nes \u20AC\u0153");
  EXPECT_EQ(platform::WideToAnsi(L"Ic\u00F4nes \u20AC\u0153"), "Ic\xF4nes \x80\x9C");
  EXPECT_EQ(platform::WideToAnsi(L"\u5199"), "?") << "a character it lacks";
  EXPECT_EQ(platform::AnsiToWide(std::string("a\0b\0", 4)), std::wstring(L"a\0b\0", 4))
      << "multi-string values keep their NULs";
  EXPECT_TRUE(platform::FitsAnsi("C:\\Ic\xC3\xB4nes\\\xE2\x82\xAC.ico"));
  EXPECT_FALSE(platform::FitsAnsi("C:\\\xE5\x86\x99\xE7\x9C\x9F.ico"));
}

TEST(Win32Text, SystemErrorTextIsTheSystemsMessage) {
  const std::string text = platform::SystemErrorText(ERROR_FILE_NOT_FOUND);
  EXPECT_NE(text, "error 2");
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '\n') << "without its closing line break";
  EXPECT_EQ(platform::SystemErrorText(0xDEADu), "error 57005");
}

}  // namespace
}  // namespace plumage::test
