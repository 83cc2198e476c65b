// The plug-in's folder rules, as pure functions of the library's file name and the host's
// settings path (both in the system's path syntax: drive "C:", backslash-separated folders).
#pragma once

#include <string>

namespace app {

struct PATH_PARTS {
  std::string Drive;     // "C:" or empty
  std::string Directory; // up to and including the last backslash (or slash); may be empty
  std::string Name;      // file name without extension
  std::string Extension; // from the last dot of the file name, or empty
};

PATH_PARTS SplitPath(const char *path);

// "<drive><directory>preset\" of the library's file name.
std::string MakePresetDirectory(const char *libraryFileName);

// The library's file name with `extension`, in the settings directory: the drive and folder of
// `settingsPath` when it is not null (what follows its last backslash is ignored, so an empty
// path gives the bare file name), otherwise those of the library.
std::string MakeSettingsFileName(const char *libraryFileName, const char *settingsPath,
                                 const char *extension);

} // namespace app
