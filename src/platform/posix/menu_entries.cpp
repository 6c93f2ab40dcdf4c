#include "platform/posix/menu_entries.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/posix/posix_files.h"

namespace plumage::platform {
namespace fs = std::filesystem;

namespace {

// The mark that tells our Nautilus script from the user's own scripts: its
// name changes with the caption, so the name cannot.
constexpr std::string_view kScriptMark = "# plumage-folder-verb";
constexpr std::string_view kThunarId = "<unique-id>plumage-folder-verb</unique-id>";
constexpr std::string_view kThunarHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value == '/' ? std::string(value) : fallback;
}

Status WriteEntry(const std::string& path, const std::string& text, bool executable) {
  if (Status s = WriteFileAtomically(path, text); !s) return s;
  // Dolphin runs only service menus that are executable, and a script must be.
  if (executable && chmod(path.c_str(), 0755) != 0)
    return MakeError(ErrorKind::Io, "cannot make " + path + " executable");
  return Ok{};
}

Status RemoveEntry(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
  if (ec) return MakeError(ErrorKind::Io, "cannot remove " + path + ": " + ec.message());
  return Ok{};
}

// A caption as a key file's value: the string type's backslash escaped.
std::string KeyFileText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

// The caption comes from the settings store, which anyone may edit: a line
// break in it must not become a line of an entry file.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return text;
}

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

std::string CaptionWithoutAccessKey(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out.push_back('&');
        ++i;
      }
      continue;
    }
    out.push_back(caption[i]);
  }
  return out;
}

std::string CaptionWithUnderscoreKey(std::string_view caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const char c = caption[i];
    if (c == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out.push_back('&');
        ++i;
      } else {
        out.push_back('_');
      }
    } else if (c == '_') {
      out += "__";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string DesktopExecArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted.push_back('\\');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  std::string value;
  for (char c : quoted) {
    if (c == '\\') value.push_back('\\');  // the string type's own escape
    if (c == '%') value.push_back('%');
    value.push_back(c);
  }
  return value;
}

std::string ShellWordArgument(const std::string& argument) {
  std::string out = "'";
  for (char c : argument) {
    if (c == '\'')
      out += "'\\''";
    else
      out.push_back(c);
  }
  out.push_back('\'');
  return out;
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string NautilusScript(const std::string& program) {
  const std::string exe = ShellWordArgument(program);
  std::string s = "#!/bin/sh\n";
  s += kScriptMark;
  s += ": gives the chosen folder an icon of its own.\n";
  s += "# GNOME Files runs it in the folder shown, with the chosen folder's name.\n";
  s += "case $1 in\n";
  s += "  '') exec " + exe + " \"$PWD\" ;;\n";
  s += "  /*) exec " + exe + " \"$1\" ;;\n";
  s += "  *) exec " + exe + " \"$PWD/$1\" ;;\n";
  s += "esac\n";
  return s;
}

std::string DolphinServiceMenu(const std::string& caption, const std::string& program,
                               const std::vector<TranslatedCaption>& translations) {
  // Dolphin shows "&" as the access key, as the verb key does. The entry's
  // own Name is never shown (the action's is); desktop-file-validate wants it.
  std::string s = "[Desktop Entry]\n";
  s += "Name=Plumage\n";
  s += "Type=Service\n";
  s += "ServiceTypes=KonqPopupMenu/Plugin\n";
  s += "MimeType=inode/directory;\n";
  s += "Actions=plumageChangeIcon;\n";
  s += "X-KDE-Priority=TopLevel\n";
  s += "\n[Desktop Action plumageChangeIcon]\n";
  s += "Name=" + KeyFileText(OneLine(caption)) + "\n";
  for (const TranslatedCaption& t : translations)
    s += "Name[" + OneLine(t.locale) + "]=" + KeyFileText(OneLine(t.caption)) + "\n";
  s += "Icon=plumage\n";
  s += "Exec=" + DesktopExecArgument(program) + " %f\n";
  return s;
}

std::string NemoAction(const std::string& caption, const std::string& program,
                       const std::vector<TranslatedCaption>& translations) {
  std::string s = "[Nemo Action]\n";
  s += "Name=" + KeyFileText(CaptionWithUnderscoreKey(OneLine(caption))) + "\n";
  for (const TranslatedCaption& t : translations)
    s += "Name[" + OneLine(t.locale) +
         "]=" + KeyFileText(CaptionWithUnderscoreKey(OneLine(t.caption))) + "\n";
  s += "Comment=Plumage: give this folder an icon of its own\n";
  s += "Exec=" + ShellWordArgument(program) + " %F\n";
  s += "Icon-Name=plumage\n";
  s += "Selection=s\n";
  s += "Extensions=dir;\n";
  return s;
}

std::string ThunarAction(const std::string& caption, const std::string& program) {
  std::string s = "<action>\n";
  s += "\t<icon>plumage</icon>\n";
  s += "\t<name>" + XmlEscape(CaptionWithoutAccessKey(OneLine(caption))) + "</name>\n";
  s += "\t<submenu></submenu>\n";
  s += "\t" + std::string(kThunarId) + "\n";
  s += "\t<command>" + XmlEscape(ShellWordArgument(program)) + " %f</command>\n";
  s += "\t<description>Plumage: give this folder an icon of its own</description>\n";
  s += "\t<range></range>\n";
  s += "\t<patterns>*</patterns>\n";
  s += "\t<directories/>\n";
  s += "</action>\n";
  return s;
}

std::string EmptyThunarActions() {
  return std::string(kThunarHeader) + "<actions>\n</actions>\n";
}

namespace {
// Where our action stands in the file: from its "<action>" to the line end
// after its "</action>".
bool FindOurAction(const std::string& text, std::size_t& begin, std::size_t& end) {
  const std::size_t id = text.find(kThunarId);
  if (id == std::string::npos) return false;
  begin = text.rfind("<action>", id);
  end = text.find("</action>", id);
  if (begin == std::string::npos || end == std::string::npos) return false;
  end += std::string_view("</action>").size();
  if (end < text.size() && text[end] == '\n') ++end;
  return true;
}
}  // namespace

Result<std::string> MergeThunarAction(const std::string& existing, const std::string& action) {
  if (existing.empty()) {
    std::string text = EmptyThunarActions();
    text.insert(text.rfind("</actions>"), action);
    return text;
  }
  std::size_t begin = 0, end = 0;
  if (FindOurAction(existing, begin, end)) {
    std::string text = existing;
    text.replace(begin, end - begin, action);
    return text;
  }
  std::string text = existing;
  const std::size_t close = text.rfind("</actions>");
  if (close != std::string::npos && text.find("<actions") < close) {
    // After the last action, so that a file that ends its actions on a line
    // of their own keeps that line as it was.
    std::size_t at = close;
    if (at > 0 && text[at - 1] != '\n') {
      text.insert(at, "\n");
      ++at;
    }
    text.insert(at, action);
    return text;
  }
  const std::size_t empty = text.find("<actions/>");
  if (empty != std::string::npos) {
    text.replace(empty, std::string_view("<actions/>").size(),
                 "<actions>\n" + action + "</actions>");
    return text;
  }
  return MakeError(ErrorKind::Invalid,
                   "no <actions> element: not a Thunar custom-actions file, left as it is");
}

std::string RemoveThunarAction(const std::string& existing, bool& removed) {
  std::size_t begin = 0, end = 0;
  removed = FindOurAction(existing, begin, end);
  if (!removed) return existing;
  std::string text = existing;
  text.erase(begin, end - begin);
  return text;
}

MenuPlaces MenuPlaces::FromEnvironment() {
  const std::string home = HomeFolder();
  // Relative entries of the list are ignored, as the base directory rules say.
  std::vector<std::string> dirs;
  const char* list = std::getenv("XDG_DATA_DIRS");
  std::string_view rest = list && *list ? list : "/usr/local/share:/usr/share";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string_view dir = rest.substr(0, colon);
    if (!dir.empty() && dir.front() == '/') dirs.emplace_back(dir);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  }
  return {EnvOr("XDG_DATA_HOME", home + "/.local/share"),
          EnvOr("XDG_CONFIG_HOME", home + "/.config"), std::move(dirs)};
}

namespace {
// A list that also names the user's own data folder does not make the user's
// entry one for every user.
std::string FirstInDataDirs(const std::vector<std::string>& dirs, const std::string& dataHome,
                            const std::string& name) {
  for (const std::string& dir : dirs) {
    std::error_code ec;
    if (dir == dataHome || fs::equivalent(dir, dataHome, ec)) continue;
    const std::string path = dir + "/" + name;
    if (fs::is_regular_file(path, ec)) return path;
  }
  return {};
}
constexpr const char* kDolphinName = "kio/servicemenus/plumage-folder-verb.desktop";
constexpr const char* kNemoName = "nemo/actions/plumage-folder-verb.nemo_action";
}  // namespace

std::string MenuPlaces::SystemDolphinFile() const {
  return FirstInDataDirs(dataDirs, dataHome, kDolphinName);
}
std::string MenuPlaces::SystemNemoFile() const {
  return FirstInDataDirs(dataDirs, dataHome, kNemoName);
}

std::string MenuPlaces::NautilusScripts() const {
  return dataHome + "/nautilus/scripts";
}
std::string MenuPlaces::DolphinFile() const {
  return dataHome + "/" + kDolphinName;
}
std::string MenuPlaces::NemoFile() const {
  return dataHome + "/" + kNemoName;
}
std::string MenuPlaces::ThunarFile() const {
  return configHome + "/Thunar/uca.xml";
}

MenuEntries::MenuEntries(MenuPlaces places, std::string program, std::string manifest)
    : places_(std::move(places)), program_(std::move(program)), manifest_(std::move(manifest)) {}

std::vector<std::string> MenuEntries::OurNautilusScripts() const {
  std::vector<std::string> found;
  std::error_code ec;
  for (fs::directory_iterator it(places_.NautilusScripts(), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string bytes;
    if (it->is_regular_file(ec) && ReadWholeFile(it->path().string(), bytes) &&
        bytes.find(kScriptMark) != std::string::npos)
      found.push_back(it->path().string());
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> MenuEntries::PresentFiles() const {
  std::vector<std::string> files = OurNautilusScripts();
  for (const std::string& f : {places_.DolphinFile(), places_.NemoFile()})
    if (Exists(f)) files.push_back(f);
  std::string uca;
  std::size_t b = 0, e = 0;
  if (ReadWholeFile(places_.ThunarFile(), uca) && FindOurAction(uca, b, e))
    files.push_back(places_.ThunarFile());
  return files;
}

std::vector<std::string> MenuEntries::SystemFiles() const {
  std::vector<std::string> files;
  for (const std::string& f : {places_.SystemDolphinFile(), places_.SystemNemoFile()})
    if (!f.empty()) files.push_back(f);
  return files;
}

Result<std::string> MenuEntries::MergedThunarFile(const std::string& caption, bool onlyPresent,
                                                  bool& write) const {
  std::string uca;
  const bool hadFile = ReadWholeFile(places_.ThunarFile(), uca);
  if (hadFile && uca.empty()) uca = EmptyThunarActions();  // an empty file: no actions yet
  std::size_t b = 0, e = 0;
  write = !onlyPresent || (hadFile && FindOurAction(uca, b, e));
  if (!write) return uca;
  auto merged = MergeThunarAction(uca, ThunarAction(caption, program_));
  if (!merged)
    return MakeError(ErrorKind::Invalid, places_.ThunarFile() + ": " + merged.error().message);
  return merged;
}

Status MenuEntries::WriteEntries(const std::string& caption, bool onlyPresent) {
  // Thunar's file first: one that cannot take our action stops everything
  // before any entry is written.
  bool writeThunar = false;
  const Result<std::string> merged = MergedThunarFile(caption, onlyPresent, writeThunar);
  if (!merged) return merged.error();

  // GNOME Files names a script's menu entry after the file and has no access
  // keys; a "/" cannot be in a name.
  std::string name = OneLine(CaptionWithoutAccessKey(caption));
  std::replace(name.begin(), name.end(), '/', '-');
  if (name.find_first_not_of(". ") == std::string::npos) name = "Plumage";
  const std::string script = places_.NautilusScripts() + "/" + name;
  const std::vector<std::string> old = OurNautilusScripts();
  if (!onlyPresent || !old.empty()) {
    if (Status s = WriteEntry(script, NautilusScript(program_), true); !s) return s;
    for (const std::string& f : old)
      if (f != script)
        if (Status s = RemoveEntry(f); !s) return s;
  }
  // The package's entry serves this user already: ours would be a second one.
  if (!places_.SystemDolphinFile().empty()) {
    if (Exists(places_.DolphinFile()))
      if (Status s = RemoveEntry(places_.DolphinFile()); !s) return s;
  } else if (!onlyPresent || Exists(places_.DolphinFile())) {
    if (Status s = WriteEntry(places_.DolphinFile(), DolphinServiceMenu(caption, program_), true);
        !s)
      return s;
  }
  if (!places_.SystemNemoFile().empty()) {
    if (Exists(places_.NemoFile()))
      if (Status s = RemoveEntry(places_.NemoFile()); !s) return s;
  } else if (!onlyPresent || Exists(places_.NemoFile())) {
    if (Status s = WriteEntry(places_.NemoFile(), NemoAction(caption, program_), false); !s)
      return s;
  }
  if (writeThunar)
    if (Status s = WriteEntry(places_.ThunarFile(), *merged, false); !s) return s;
  return Ok{};
}

Status MenuEntries::Install(const std::string& caption) {
  // A Thunar file that cannot take our action stops the install before any
  // folder is made.
  bool writeThunar = false;
  if (auto merged = MergedThunarFile(caption, false, writeThunar); !merged) return merged.error();
  // The folders that are missing now are the ones uninstall may take away.
  std::vector<std::string> made;
  std::vector<std::string> files = {places_.NautilusScripts() + "/x", places_.ThunarFile()};
  if (places_.SystemDolphinFile().empty()) files.push_back(places_.DolphinFile());
  if (places_.SystemNemoFile().empty()) files.push_back(places_.NemoFile());
  for (const std::string& file : files) {
    std::vector<fs::path> missing;
    for (fs::path dir = fs::path(file).parent_path(); !dir.empty() && dir != dir.root_path();
         dir = dir.parent_path()) {
      std::error_code ec;
      if (fs::exists(dir, ec)) break;
      missing.push_back(dir);
    }
    std::error_code ec;
    fs::create_directories(fs::path(file).parent_path(), ec);
    if (ec)
      return MakeError(ErrorKind::Io, "cannot create " + fs::path(file).parent_path().string() +
                                          ": " + ec.message());
    for (const fs::path& dir : missing) made.push_back(dir.string());
  }
  if (!made.empty()) {
    std::string list;
    std::string old;
    if (ReadWholeFile(manifest_, old)) list = old;
    for (const std::string& dir : made) list += dir + "\n";
    if (Status s = WriteFileAtomically(manifest_, list); !s) return s;
  }
  return WriteEntries(caption, false);
}

Status MenuEntries::Rename(const std::string& caption) {
  return WriteEntries(caption, true);
}

Status MenuEntries::Uninstall() {
  for (const std::string& f : OurNautilusScripts())
    if (Status s = RemoveEntry(f); !s) return s;
  for (const std::string& f : {places_.DolphinFile(), places_.NemoFile()})
    if (Status s = RemoveEntry(f); !s) return s;
  std::string uca;
  if (ReadWholeFile(places_.ThunarFile(), uca)) {
    bool removed = false;
    std::string rest = RemoveThunarAction(uca, removed);
    if (removed) {
      Status s = rest == EmptyThunarActions() ? RemoveEntry(places_.ThunarFile())
                                              : WriteEntry(places_.ThunarFile(), rest, false);
      if (!s) return s;
    }
  }
  // The folders install made, deepest first, where nothing else came in.
  std::string list;
  if (ReadWholeFile(manifest_, list)) {
    std::vector<std::string> dirs;
    std::size_t start = 0;
    while (start < list.size()) {
      std::size_t nl = list.find('\n', start);
      if (nl == std::string::npos) nl = list.size();
      if (nl > start) dirs.push_back(list.substr(start, nl - start));
      start = nl + 1;
    }
    std::sort(dirs.begin(), dirs.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& dir : dirs) {
      std::error_code ec;
      if (fs::is_directory(dir, ec) && fs::is_empty(dir, ec)) fs::remove(dir, ec);
    }
    if (Status s = RemoveEntry(manifest_); !s) return s;
  }
  return Ok{};
}

}  // namespace plumage::platform
