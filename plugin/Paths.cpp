#include "plugin/Paths.h"

#include <cstring>

namespace app {

PATH_PARTS SplitPath(const char *path) {
  PATH_PARTS parts;
  if (path == nullptr)
    return parts;
  std::string rest(path);
  if (rest.size() >= 2 && rest[1] == ':') {
    parts.Drive = rest.substr(0, 2);
    rest.erase(0, 2);
  }
  const size_t slash = rest.find_last_of("\\/");
  if (slash != std::string::npos) {
    parts.Directory = rest.substr(0, slash + 1);
    rest.erase(0, slash + 1);
  }
  const size_t dot = rest.find_last_of('.');
  if (dot != std::string::npos) {
    parts.Extension = rest.substr(dot);
    rest.erase(dot);
  }
  parts.Name = rest;
  return parts;
}

std::string MakePresetDirectory(const char *libraryFileName) {
  const PATH_PARTS library = SplitPath(libraryFileName);
  return library.Drive + library.Directory + "preset\\";
}

std::string MakeSettingsFileName(const char *libraryFileName, const char *settingsPath,
                                 const char *extension) {
  const PATH_PARTS library = SplitPath(libraryFileName);
  const PATH_PARTS folder = settingsPath != nullptr ? SplitPath(settingsPath) : library;
  return folder.Drive + folder.Directory + library.Name + (extension != nullptr ? extension : "");
}

} // namespace app
