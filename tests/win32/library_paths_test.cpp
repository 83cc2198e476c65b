// The folder rules as the running plug-in applies them to its own module and the host's
// settings path.
#include "framework/String.h"
#include "plugin/HostPicture.h"
#include "plugin/win32/Library.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int32_t NoRow(int32_t, int32_t, int32_t, unsigned char *, int32_t) { return 0; }
int32_t NoAlpha(int32_t, int32_t, int32_t, unsigned char *, int32_t, int32_t) { return 0; }

std::string ModuleFolder() {
  char name[MAX_PATH] = {};
  GetModuleFileNameA(app::GetLibraryHandle(), name, MAX_PATH);
  std::string path(name);
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string ModuleName() {
  char name[MAX_PATH] = {};
  GetModuleFileNameA(app::GetLibraryHandle(), name, MAX_PATH);
  std::string path(name);
  path = path.substr(path.find_last_of('\\') + 1);
  return path.substr(0, path.find_last_of('.'));
}

TEST(LibraryPaths, PresetAndSettingsFolders) {
  EXPECT_EQ(std::string(app::GetPresetDirectory().GetText()), ModuleFolder() + "preset\\");

  static app::HostPictureInfo info = {1, 1, 24};
  static app::HostRowChannel channel = {NoRow, NoAlpha};
  struct Case {
    const char *settingsPath;
    std::string expected;
  } cases[] = {{nullptr, ModuleFolder() + ModuleName() + ".ini"},
               {"", ModuleName() + ".ini"},
               {"C:\\users\\me\\host.cfg", "C:\\users\\me\\" + ModuleName() + ".ini"}};
  for (const Case &c : cases) {
    ASSERT_TRUE(app::AcceptHostRecords(&info, &channel, &channel, c.settingsPath));
    EXPECT_EQ(std::string(app::GetSettingsFileName(".ini").GetText()), c.expected);
  }
}

} // namespace
