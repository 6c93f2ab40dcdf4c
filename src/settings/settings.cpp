#include "settings/settings.h"

#include <cctype>

#include "app/program.h"
#include "app/texts.h"
#include "app/user_interface.h"
#include "base/codepage.h"
#include "platform/desktop.h"
#include "platform/system.h"

namespace plumage {

std::string CleanRegistryText(std::string text) {
  if (text.empty() || text == std::string(1, '\0')) return {};
  if (text.back() == '\0') text.pop_back();
  return text;
}

double LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  double value = 0;
  bool digits = false;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
    value = value * 10 + (text[i] - '0');
    digits = true;
    ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
      value += (text[i] - '0') * scale;
      scale /= 10;
      digits = true;
      ++i;
    }
  }
  if (!digits) return 0;
  return negative ? -value : value;
}

std::int16_t LanguageOfCaption(std::string_view caption) {
  return EqualsIgnoreCase(caption, texts::kVerbCaption.fr) ? 1 : 0;
}

void LoadSettings(Program& program, IUserInterface& ui) {
  RegistryManager& reg = program.Registry;
  if (!reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey)) {
    ui.SetWaitCursor(false);
    ui.MessageBox(texts::Tr(program.Language, texts::kNotInstalled),
                  texts::Tr(program.Language, texts::kErrorTitle), MessageIcon::Exclamation);
    return;
  }
  std::string text;
  reg.GetStringValue(reg.CurrentKey, "", text);
  program.Language = LanguageOfCaption(CleanRegistryText(text));

  text.clear();
  reg.GetStringValue(reg.CurrentKey, kDefaultLibraryValue, text);
  program.DefaultLibrary = CleanRegistryText(text);

  text.clear();
  reg.GetStringValue(reg.CurrentKey, kNoWarningValue, text);
  // Only an exact 1 switches the reminder off; anything else keeps the value.
  if (LeadingNumber(CleanRegistryText(text)) == 1) program.NoWarning = 1;

  reg.CloseKey(reg.CurrentKey);
}

namespace {
// True when the value is stored: the program-wide value follows only then,
// so memory never says what the store does not.
bool WriteVerbValue(Program& program, const char* name, const std::string& text) {
  RegistryManager& reg = program.Registry;
  if (!reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey)) return false;
  const bool stored = reg.SetStringValue(reg.CurrentKey, name, text);
  reg.CloseKey(reg.CurrentKey);
  return stored;
}
}  // namespace

bool StoreDefaultLibrary(Program& program, const std::string& path) {
  if (!WriteVerbValue(program, kDefaultLibraryValue, path)) return false;
  program.DefaultLibrary = path;
  return true;
}

bool StoreNoWarning(Program& program, bool reminderOff) {
  // A blank, then the digit: the form a non-negative number is written in.
  if (!WriteVerbValue(program, kNoWarningValue, reminderOff ? " 1" : " 0")) return false;
  program.NoWarning = reminderOff ? 1 : 0;
  return true;
}

bool StoreLanguage(Program& program, std::int16_t language) {
  const std::string caption = texts::Tr(language, texts::kVerbCaption);
  // The store first: the file managers' entries are renamed only for a
  // language that the next run will read back.
  if (!WriteVerbValue(program, "", caption)) return false;
  program.Language = language;
  program.HelpFile = HelpFileFor(program, language);
  VerbCaptionChanged(program, caption);
  return true;
}

void VerbCaptionChanged(Program& program, const std::string& caption) {
  if (program.os.desktop) program.os.desktop->VerbCaptionChanged(caption);
}

namespace {
// A switch of the verb key: only a number there decides; a missing,
// empty or damaged value leaves the program doing what it does by default.
bool VerbSwitch(Program& program, const char* name, bool byDefault) {
  RegistryManager& reg = program.Registry;
  if (!reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey)) return byDefault;
  std::string text;
  const bool stored = reg.GetStringValue(reg.CurrentKey, name, text);
  reg.CloseKey(reg.CurrentKey);
  if (!stored) return byDefault;
  const std::string clean = CleanRegistryText(text);
  const std::size_t first = clean.find_first_not_of(' ');
  if (first == std::string::npos || !std::isdigit(static_cast<unsigned char>(clean[first])))
    return byDefault;
  return LeadingNumber(clean) != 0;
}
}  // namespace

bool LinuxIconsEnabled(Program& program) { return VerbSwitch(program, kLinuxIconsValue, true); }

bool KeepIconInsideEnabled(Program& program) {
  return VerbSwitch(program, kKeepIconInsideValue,
                    !(program.os.system && program.os.system->ReadsFolderDescriptors()));
}

bool StoreKeepIconInside(Program& program, bool on) {
  return WriteVerbValue(program, kKeepIconInsideValue, on ? " 1" : " 0");
}

std::string StoredWindowsPaths(Program& program) {
  RegistryManager& reg = program.Registry;
  if (!reg.OpenKey(kVerbRoot, kVerbKey, reg.CurrentKey)) return {};
  std::string text;
  reg.GetStringValue(reg.CurrentKey, kWindowsPathsValue, text);
  reg.CloseKey(reg.CurrentKey);
  return CleanRegistryText(text);
}

bool StoreWindowsPaths(Program& program, const std::string& stored) {
  return WriteVerbValue(program, kWindowsPathsValue, stored);
}

bool StoreLinuxIcons(Program& program, bool on) {
  return WriteVerbValue(program, kLinuxIconsValue, on ? " 1" : " 0");
}

std::string HelpFileFor(Program& program, std::int16_t language) {
  return program.os.system->ProgramFolder() + texts::Tr(language, texts::kHelpFile);
}

}  // namespace plumage
