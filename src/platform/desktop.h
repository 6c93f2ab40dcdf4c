// What the program asks of the desktop around it beyond Windows' own shell:
// the context-menu entries of the file managers, and the icon those file
// managers show for a folder. Windows needs neither (the verb key and
// DESKTOP.INI do both), so a platform may leave it out: Platform::desktop is
// null there, and callers skip it.
#pragma once

#include <cstdint>
#include <string>

namespace plumage::platform {

class IDesktop {
 public:
  virtual ~IDesktop() = default;

  // The verb's caption (the menu text, with its "&" access key) is now
  // `caption`: the file managers' entries that this program put there are
  // renamed to follow it. Entries that were never installed stay absent.
  virtual void VerbCaptionChanged(const std::string& caption) = 0;

  // The folder's descriptor now names icon `index` of `iconFile`: the file
  // managers show that icon for the folder too.
  virtual void FolderIconSet(const std::string& folder, const std::string& iconFile,
                             std::int32_t index) = 0;

  // The folder's descriptor no longer names an icon: the file managers'
  // custom icon goes too.
  virtual void FolderIconCleared(const std::string& folder) = 0;
};

}  // namespace plumage::platform
