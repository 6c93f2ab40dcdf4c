#include "platform/posix/gio_metadata.h"

#include <gio/gio.h>
#include <sys/stat.h>

#include <cstdlib>
#include <memory>

namespace plumage::platform {
namespace {

struct GObjectUnref {
  void operator()(void* p) const { g_object_unref(p); }
};
using FilePtr = std::unique_ptr<GFile, GObjectUnref>;

std::string TakeMessage(GError* error) {
  std::string message = error && error->message ? error->message : "unknown error";
  if (error) g_error_free(error);
  return message;
}

}  // namespace

bool SessionBusKnown() {
  if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"); address && *address)
    return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (!runtime || !*runtime) return false;
  struct stat st {};
  return stat((std::string(runtime) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

std::string FileUri(const std::string& path) {
  gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr);
  if (!uri) return "file://" + path;
  std::string text = uri;
  g_free(uri);
  return text;
}

Status SetCustomIconMetadata(const std::string& folder, const std::string& uri) {
  FilePtr file(g_file_new_for_path(folder.c_str()));
  GError* error = nullptr;
  gboolean ok =
      uri.empty()
          ? g_file_set_attribute(file.get(), kCustomIconAttribute, G_FILE_ATTRIBUTE_TYPE_INVALID,
                                 nullptr, G_FILE_QUERY_INFO_NONE, nullptr, &error)
          : g_file_set_attribute_string(file.get(), kCustomIconAttribute, uri.c_str(),
                                        G_FILE_QUERY_INFO_NONE, nullptr, &error);
  if (!ok)
    return MakeError(ErrorKind::Io, "cannot " + std::string(uri.empty() ? "remove" : "set") + " " +
                                        kCustomIconAttribute + " of " + folder + ": " +
                                        TakeMessage(error));
  return Ok{};
}

}  // namespace plumage::platform
