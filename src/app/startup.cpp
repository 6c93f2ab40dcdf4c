#include "app/startup.h"

#include "base/paths.h"
#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "base/codepage.h"
#include "platform/system.h"

namespace plumage {

std::string JoinArguments(int argc, const char* const* argv) {
  std::string text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text.push_back(' ');
    text += argv[i];
  }
  return text;
}

std::string ComputeFolderName(std::string_view argumentText) {
  // Scan from the last character towards the first for a separator.
  for (std::size_t i = argumentText.size(); i > 0; --i)
    if (IsPathSeparator(argumentText[i - 1])) return std::string(argumentText.substr(i));
  return {};
}

std::string PickerTitle(std::string_view argumentText) {
  std::string shown(argumentText);
  if (Utf8Length(argumentText) > 20)
    shown = Utf8Left(argumentText, 3) + "..." + Utf8Right(argumentText, 15);
  return texts::change_icon::kTitlePrefix + shown;
}

void FindWindowsDirectory(Program& program) {
  RegistryManager& reg = program.Registry;
  std::string result;
  // The opens are not checked: a read from a key that did not open fails.
  reg.OpenKey(formats::kHkeyLocalMachine, kWin9xKey, reg.CurrentKey);
  reg.GetStringValue(reg.CurrentKey, kWin9xValue, result);
  reg.CloseKey(reg.CurrentKey);
  if (result.empty()) {
    reg.OpenKey(formats::kHkeyLocalMachine, kWinNtKey, reg.CurrentKey);
    reg.GetStringValue(reg.CurrentKey, kWinNtValue, result);
    reg.CloseKey(reg.CurrentKey);
  }
  if (!result.empty() && result.back() == '\0') result.pop_back();
  // Neither value there (always so on Linux unless a user stored one): the
  // program folder holds the shell icon cache file instead.
  if (result.empty()) result = program.os.system->ProgramFolder();
  program.WindowsDirectory = WithTrailingSeparator(result);
}

void BeginRun(Program& program, std::string argumentText) {
  program.ArgumentText = std::move(argumentText);
  program.FolderName = ComputeFolderName(program.ArgumentText);
  FindWindowsDirectory(program);
}

RunKind DecideRun(std::string_view argumentText) {
  if (argumentText.empty()) return RunKind::SettingsOnly;
  if (IsNetworkPath(WithTrailingSeparator(std::string(argumentText))))
    return RunKind::NetworkRefused;
  return RunKind::Picker;
}

}  // namespace plumage
