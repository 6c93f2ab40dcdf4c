// A folder's custom icon in GIO's metadata (metadata::custom-icon), which
// GNOME Files, Nemo and Caja show in place of the folder icon. GIO keeps
// metadata through gvfs's metadata service on the session bus; this is the
// one place that speaks to GIO.
#pragma once

#include <string>

#include "base/result.h"

namespace plumage::platform {

inline constexpr const char* kCustomIconAttribute = "metadata::custom-icon";

// True when a session bus can be reached without starting one: an address
// in DBUS_SESSION_BUS_ADDRESS, or the bus socket in XDG_RUNTIME_DIR.
bool SessionBusKnown();

// The file URI of a local path, as GIO writes it.
std::string FileUri(const std::string& path);

// Sets metadata::custom-icon of `folder` to `uri`, or removes it for an
// empty `uri`.
Status SetCustomIconMetadata(const std::string& folder, const std::string& uri);

}  // namespace plumage::platform
