#include "folder/windows_paths.h"

#include "base/codepage.h"

namespace plumage {
namespace {

bool IsDriveStart(std::string_view text) {
  return text.size() >= 2 && text[1] == ':' &&
         ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

std::string WithoutTrailing(std::string_view folder, char separator) {
  std::string out(folder);
  // "/" and "C:\" keep their separator: they are roots.
  while (out.size() > 1 && out.back() == separator && !(out.size() == 3 && IsDriveStart(out)))
    out.pop_back();
  return out;
}

bool EndsInSeparator(std::string_view s) { return !s.empty() && (s.back() == '/' || s.back() == '\\'); }

}  // namespace

bool IsWindowsAbsolutePath(std::string_view path) {
  if (path.size() >= 3 && IsDriveStart(path) && (path[2] == '\\' || path[2] == '/')) return true;
  return path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
}

Result<WindowsPathMapping> ParseWindowsPathArgument(std::string_view text) {
  for (std::size_t eq = text.find('='); eq != std::string_view::npos; eq = text.find('=', eq + 1)) {
    std::string_view local = text.substr(0, eq), windows = text.substr(eq + 1);
    if (local.empty() || local[0] != '/') continue;
    if (windows.empty() || IsWindowsAbsolutePath(windows) ||
        (windows.size() == 2 && IsDriveStart(windows))) {
      WindowsPathMapping mapping{WithoutTrailing(local, '/'), std::string(windows)};
      if (mapping.windowsFolder.size() == 2) mapping.windowsFolder += '\\';
      for (char& c : mapping.windowsFolder)
        if (c == '/') c = '\\';
      mapping.windowsFolder = WithoutTrailing(mapping.windowsFolder, '\\');
      if (mapping.localFolder.find('|') != std::string::npos)
        return MakeError(ErrorKind::Unsupported,
                         "the folder " + mapping.localFolder + " cannot be mapped: its name holds '|'");
      return mapping;
    }
  }
  return MakeError(ErrorKind::Invalid,
                   "\"" + std::string(text) +
                       "\" is not LINUXFOLDER=WINDOWSFOLDER, as in /srv/share=\\\\nas\\share or "
                       "/mnt/win=C:\\");
}

std::string FormatWindowsPathMap(const WindowsPathMap& map) {
  std::string out;
  for (const auto& m : map) {
    if (!out.empty()) out += '|';
    out += m.localFolder + '|' + m.windowsFolder;
  }
  return out;
}

WindowsPathMap ParseWindowsPathMap(std::string_view stored) {
  std::vector<std::string_view> parts;
  while (!stored.empty()) {
    std::size_t bar = stored.find('|');
    parts.push_back(stored.substr(0, bar));
    if (bar == std::string_view::npos) break;
    stored.remove_prefix(bar + 1);
  }
  WindowsPathMap map;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    // A damaged entry is passed over; the others still serve.
    if (parts[i].empty() || parts[i][0] != '/' || !IsWindowsAbsolutePath(parts[i + 1])) continue;
    map.push_back({std::string(parts[i]), std::string(parts[i + 1])});
  }
  return map;
}

void UpdateWindowsPathMap(WindowsPathMap& map, const WindowsPathMapping& mapping) {
  for (auto it = map.begin(); it != map.end(); ++it)
    if (it->localFolder == mapping.localFolder) {
      if (mapping.windowsFolder.empty())
        map.erase(it);
      else
        it->windowsFolder = mapping.windowsFolder;
      return;
    }
  if (!mapping.windowsFolder.empty()) map.push_back(mapping);
}

std::optional<std::string> ToWindowsPath(const WindowsPathMap& map, std::string_view localPath) {
  const WindowsPathMapping* best = nullptr;
  for (const auto& m : map) {
    const std::string& f = m.localFolder;
    const bool holds = localPath.substr(0, f.size()) == f &&
                       (localPath.size() == f.size() || EndsInSeparator(f) ||
                        localPath[f.size()] == '/');
    if (holds && (!best || f.size() > best->localFolder.size())) best = &m;
  }
  if (!best) return std::nullopt;
  std::string rest(localPath.substr(best->localFolder.size()));
  while (!rest.empty() && rest.front() == '/') rest.erase(rest.begin());
  for (char& c : rest)
    if (c == '/') c = '\\';
  if (rest.empty()) return best->windowsFolder;
  return EndsInSeparator(best->windowsFolder) ? best->windowsFolder + rest
                                              : best->windowsFolder + '\\' + rest;
}

std::optional<std::string> FromWindowsPath(const WindowsPathMap& map, std::string_view windowsPath) {
  const WindowsPathMapping* best = nullptr;
  for (const auto& m : map) {
    const std::string& f = m.windowsFolder;
    if (windowsPath.size() < f.size()) continue;
    std::string_view head = windowsPath.substr(0, f.size());
    std::string headText(head), folderText(f);
    for (char& c : headText)
      if (c == '/') c = '\\';
    const bool holds = EqualsIgnoreCase(headText, folderText) &&
                       (windowsPath.size() == f.size() || EndsInSeparator(f) ||
                        windowsPath[f.size()] == '\\' || windowsPath[f.size()] == '/');
    if (holds && (!best || f.size() > best->windowsFolder.size())) best = &m;
  }
  if (!best) return std::nullopt;
  std::string rest(windowsPath.substr(best->windowsFolder.size()));
  while (!rest.empty() && (rest.front() == '\\' || rest.front() == '/')) rest.erase(rest.begin());
  for (char& c : rest)
    if (c == '\\') c = '/';
  if (rest.empty()) return best->localFolder;
  return best->localFolder == "/" ? "/" + rest : best->localFolder + "/" + rest;
}

}  // namespace plumage
