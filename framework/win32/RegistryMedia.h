// The settings store's two media on Windows, and the opening of a store as a run does it.
#pragma once

#include "framework/Registry.h"

#include <memory>

namespace app {

// The settings key under HKEY_CURRENT_USER.
extern const char SettingsKey[]; // "Software\ORVEK\Brushmote"

// The system registry under HKEY_CURRENT_USER\keyPath; a section such as "Panel\Spray" is the
// nested key "Panel" and its subkey "Spray".
std::unique_ptr<RegistryMedium> MakeSystemRegistryMedium(const char *keyPath = SettingsKey);
// The initialisation file at path; null takes the file named like the library with ".ini" in
// the settings directory. The root section is "App".
std::unique_ptr<RegistryMedium> MakeIniFileMedium(const char *path = nullptr);

// Chooses the medium by the switch file "useregistry" in the preset directory, opens the
// store for the pass and exchanges "RegistryVersion" in the root.
void BeginSettingsStore(Registry &store, bool loading);

} // namespace app
