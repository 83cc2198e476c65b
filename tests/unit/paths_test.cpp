#include "plugin/Paths.h"

#include <gtest/gtest.h>

namespace {

TEST(Paths, SplitPathParts) {
  app::PATH_PARTS p = app::SplitPath("C:\\plugins\\x.y.dll");
  EXPECT_EQ(p.Drive, "C:");
  EXPECT_EQ(p.Directory, "\\plugins\\");
  EXPECT_EQ(p.Name, "x.y");
  EXPECT_EQ(p.Extension, ".dll");
  p = app::SplitPath("name");
  EXPECT_EQ(p.Drive + p.Directory + p.Extension, "");
  EXPECT_EQ(p.Name, "name");
}

TEST(Paths, PresetDirectoryBesideTheLibrary) {
  EXPECT_EQ(app::MakePresetDirectory("C:\\plugins\\x.dll"), "C:\\plugins\\preset\\");
  EXPECT_EQ(app::MakePresetDirectory("x.dll"), "preset\\");
}

TEST(Paths, SettingsDirectoryRule) {
  const char *library = "C:\\plugins\\brushmote.dll";
  struct Case {
    const char *settingsPath;
    const char *expected;
  } cases[] = {
      {nullptr, "C:\\plugins\\brushmote.ini"},                         // the library's own folder
      {"", "brushmote.ini"},                                           // the bare file name
      {"D:\\host\\prefs\\host.cfg", "D:\\host\\prefs\\brushmote.ini"}, // after the last \ ignored
      {"D:\\host\\prefs\\", "D:\\host\\prefs\\brushmote.ini"},
  };
  for (const Case &c : cases)
    EXPECT_EQ(app::MakeSettingsFileName(library, c.settingsPath, ".ini"), c.expected)
        << (c.settingsPath ? c.settingsPath : "(null)");
  EXPECT_EQ(app::MakeSettingsFileName(library, nullptr, ".spr"), "C:\\plugins\\brushmote.spr");
}

} // namespace
