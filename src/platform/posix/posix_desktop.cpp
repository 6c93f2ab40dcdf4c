#include "platform/posix/posix_desktop.h"

#include <cstdio>
#include <filesystem>

#include "platform/posix/folder_icon.h"
#include "platform/posix/gio_metadata.h"
#include "platform/posix/posix_files.h"

namespace plumage::platform {

using formats::IPngCodec;

namespace fs = std::filesystem;

namespace {
std::string FullPath(const std::string& path) {
  std::error_code ec;
  fs::path full = fs::absolute(path, ec);
  return ec ? path : full.lexically_normal().string();
}

// The .directory of a folder after `edit`; a text that comes back empty
// deletes the file.
Status EditDirectoryFile(const std::string& folder,
                         const std::function<std::string(const std::string&)>& edit) {
  const std::string path = (fs::path(folder) / kKdeDirectoryFile).string();
  std::string text;
  std::error_code ec;
  // KDE's .directory is a few lines; a larger one is not what we edit.
  constexpr std::size_t kMaxDirectoryFileBytes = 1u << 20;
  if (auto read = ReadRegularFile(path, kMaxDirectoryFileBytes); read)
    text = std::move(*read);
  else if (read.error().kind != ErrorKind::NotFound)
    return read.error();
  const std::string edited = edit(text);
  if (edited != text && !edited.empty()) return WriteFileAtomically(path, edited);
  // Nothing to write: what killed runs left beside the file goes all the same.
  RemoveStaleSiblings(path);
  if (edited == text) return Ok{};
  fs::remove(path, ec);
  if (ec) return MakeError(ErrorKind::Io, "cannot remove " + path + ": " + ec.message());
  return Ok{};
}
}  // namespace

PosixDesktop::PosixDesktop(ISystem& system, FileIconSource& icons, IPngCodec& png)
    : report([this](const std::string& problem) {
        std::fprintf(stderr, "%s: %s\n", system_.ExecutableName().c_str(), problem.c_str());
      }),
      system_(system),
      icons_(icons),
      png_(png) {}

std::string PosixDesktop::PlumageProgram() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    fs::path beside = exe.parent_path() / "plumage";
    if (fs::is_regular_file(beside, ec)) return beside.string();
  }
  return "plumage";
}

MenuEntries PosixDesktop::Menu() {
  return MenuEntries(places, PlumageProgram(), system_.ProgramFolder() + "menu-entries.txt");
}

void PosixDesktop::Tell(const std::string& problem) {
  if (report) report(problem);
}

void PosixDesktop::VerbCaptionChanged(const std::string& caption) {
  if (Status s = Menu().Rename(caption); !s)
    Tell("the file managers' menu entries keep their old caption: " + s.error().message);
}

void PosixDesktop::SetMetadata(const std::string& folder, const std::string& uri) {
  if (metadataUnavailable_) return;
  const std::string left = std::string(kCustomIconAttribute) +
                           ", the folder icon of GNOME Files, Nemo and Caja, is left as it was";
  if (!SessionBusKnown()) {
    metadataUnavailable_ = true;
    Tell(kNoSessionBusNotice + left + " (DESKTOP.INI and .directory are written)");
    return;
  }
  if (Status s = SetCustomIconMetadata(folder, uri); !s) {
    metadataUnavailable_ = true;
    Tell(s.error().message + ": " + left +
         " (GIO keeps metadata through gvfs's metadata service; DESKTOP.INI and .directory are "
         "written)");
  }
}

void PosixDesktop::FolderIconSet(const std::string& folderText, const std::string& iconFile,
                                 std::int32_t index) {
  const std::string folder = FullPath(folderText);
  const std::string source = FullPath(iconFile);
  IconHandle icon = icons_.ExtractLargestIcon(source, index);
  if (!icon.IsIcon()) {
    // The file managers would show an icon the folder no longer has.
    Tell("the Linux file managers show no icon for " + folder + ": " +
         (icon.reason().empty() ? source + " holds no icon at index " + std::to_string(index)
                                : icon.reason()));
    FolderIconCleared(folder);
    return;
  }
  const fs::path dir = fs::path(system_.ProgramFolder()) / kFolderIconsFolder;
  std::error_code ec;
  fs::create_directories(dir, ec);
  const std::string png = (dir / FolderIconPngName(source, index)).string();
  Result<std::vector<std::uint8_t>> bytes = png_.Encode(IconToRgba(icon.bitmap()));
  Status written = bytes ? WriteFileAtomically(png, std::string(bytes->begin(), bytes->end()))
                         : Status(bytes.error());
  if (!written) {
    Tell("the Linux file managers show no icon for " + folder + ": " + written.error().message);
    return;
  }
  SetMetadata(folder, FileUri(png));
  if (Status s = EditDirectoryFile(
          folder, [&png](const std::string& text) { return SetDirectoryIcon(text, png); });
      !s)
    Tell("Dolphin does not show the folder's icon: " + s.error().message);
}

void PosixDesktop::FolderIconCleared(const std::string& folderText) {
  const std::string folder = FullPath(folderText);
  SetMetadata(folder, "");
  if (Status s = EditDirectoryFile(folder,
                                   [](const std::string& text) {
                                     bool changed = false;
                                     return ClearDirectoryIcon(text, changed);
                                   });
      !s)
    Tell("Dolphin still shows the folder's old icon: " + s.error().message);
}

}  // namespace plumage::platform
