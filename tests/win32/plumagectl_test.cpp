// plumagectl.exe under Wine: a folder named in any script, or by a path
// that begins with '/', is that folder; the icon path is written as chosen.
// (Install and uninstall in each scope: the installer's test.)
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_files.h"
#include "support/temp_dir.h"
#include "win32_test_util.h"

namespace plumage::test {
namespace {

using platform::Utf8ToWide;

// A folder made for a test, its DESKTOP.INI left deletable at the end.
class Win32Plumagectl : public ::testing::Test {
 protected:
  void MakeFolder(const std::string& name) {
    folder = dir.str() + "\\" + name;
    ASSERT_TRUE(CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr)) << folder;
  }
  void TearDown() override {
    SetFileAttributesW(Utf8ToWide(folder + "\\DESKTOP.INI").c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  TempDir dir;
  std::string folder;
};

// "Φάκελος 写真 📁" lacks the ANSI code page and holds a character beyond
// the BMP: it is the folder named on the command line, gets its DESKTOP.INI
// (Windows-1252 while its values fit) and is printed back whole by show. On
// Windows the full path names a file of the machine that reads the folder:
// it is written as chosen, no copy kept inside.
TEST_F(Win32Plumagectl, AFolderNamedInAnyScriptGetsThePathAsChosen) {
  MakeFolder("\xCE\xA6\xCE\xAC\xCE\xBA\xCE\xB5\xCE\xBB\xCE\xBF\xCF\x82 \xE5\x86\x99\xE7\x9C\x9F \xF0\x9F\x93\x81");
  char system[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
  const std::string icon = std::string(system) + "\\shell32.dll";
  ASSERT_EQ(RunPlumagectl("set \"" + folder + "\" \"" + icon + "\" 3"), 0u);
  std::string bytes, shown;
  ASSERT_TRUE(platform::ReadWholeFile(folder + "\\DESKTOP.INI", bytes));
  EXPECT_EQ(std::tuple(DescriptorValue(folder, "IconFile"), DescriptorValue(folder, "IconIndex"),
                       bytes.substr(0, 2) == "\xFF\xFE",
                       (GetFileAttributesW(Utf8ToWide(folder).c_str()) & FILE_ATTRIBUTE_SYSTEM) != 0,
                       GetFileAttributesW(Utf8ToWide(folder + "\\FolderIcon.ico").c_str())),
            std::tuple(icon, "3", false, true, INVALID_FILE_ATTRIBUTES));
  ASSERT_EQ(RunPlumagectl("show \"" + folder + "\"", &shown), 0u);
  // The C run-time writes text mode: CR LF.
  EXPECT_NE(shown.find("Folder: " + folder + "\r\nIcon file: " + icon + "\r\n"), std::string::npos) << shown;
}

// Options begin with '-' on Windows too: a path that begins with '/' (one
// of the present drive on Windows, a Linux path under Wine) is an
// argument, not a "/option".
TEST_F(Win32Plumagectl, APathThatBeginsWithASlashIsAFolder) {
  MakeFolder("Slash");
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  ASSERT_NE(unixName, nullptr) << "not under Wine";
  char* name = unixName(Utf8ToWide(folder).c_str());
  const std::string slashed = name;
  HeapFree(GetProcessHeap(), 0, name);
  std::string out;
  const DWORD status = RunPlumagectl("set --force " + slashed + " C:\\Icons\\game.ico 2", &out);
  EXPECT_EQ(std::tuple(status, DescriptorValue(folder, "IconIndex")), std::tuple(0u, "2"))
      << slashed << "\n" << out;
}

}  // namespace
}  // namespace plumage::test
