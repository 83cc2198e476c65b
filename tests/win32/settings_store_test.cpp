// The settings store against the real registry and real initialisation files.
#include "foundation/Exception.h"
#include "framework/Registry.h"
#include "framework/win32/ErrorReport.h"
#include "framework/win32/RegistryMedia.h"
#include "plugin/win32/Library.h"
#include "tests/unit/settings_group.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

const char TestKey[] = "Software\\ORVEK\\Brushmote Test";

std::string ReadWholeFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::string &path, const std::string &bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::string TempIniPath() {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "brushmote_store_test.ini";
}

using testing_support::ExchangeGroup;
using testing_support::ExpectDefaults;
using testing_support::SETTINGS;

class StoreFixture : public ::testing::Test {
protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  void Clean() {
    RegDeleteTreeA(HKEY_CURRENT_USER, TestKey);
    DeleteFileA(TempIniPath().c_str());
  }
  bool UsesRegistry() const { return Registry; }
  bool Registry = true;

  std::unique_ptr<app::RegistryMedium> Medium() {
    return UsesRegistry() ? app::MakeSystemRegistryMedium(TestKey)
                          : app::MakeIniFileMedium(TempIniPath().c_str());
  }
  SETTINGS Load() {
    app::Registry store(Medium());
    store.Begin(true);
    SETTINGS s;
    s.Text.Assign("before");
    ExchangeGroup(store, s);
    return s;
  }
  void Save(SETTINGS &s) {
    app::Registry store(Medium());
    store.Begin(false);
    ExchangeGroup(store, s);
  }
  // Writes a raw value into a section as the other programs or a user could have left it.
  void PutRaw(const char *section, const char *name, DWORD type, const void *bytes, DWORD size) {
    std::string key = std::string(TestKey) + (section ? std::string("\\") + section : "");
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, name, 0, type, static_cast<const BYTE *>(bytes), size);
    RegCloseKey(handle);
  }
  void PutText(const char *section, const char *name, const char *text) {
    if (UsesRegistry())
      PutRaw(section, name, REG_SZ, text, DWORD(strlen(text) + 1));
    else
      WritePrivateProfileStringA(section ? section : "App", name, text, TempIniPath().c_str());
  }
  void PutVersion(int32_t version) {
    if (UsesRegistry())
      PutRaw(nullptr, "RegistryVersion", REG_DWORD, &version, 4);
    else
      PutText(nullptr, "RegistryVersion", std::to_string(version).c_str());
  }
};

// Each test runs once over the registry medium and once over the initialisation file.
class SettingsMedia : public StoreFixture, public ::testing::WithParamInterface<bool> {
protected:
  void SetUp() override {
    Registry = GetParam();
    StoreFixture::SetUp();
  }
};

TEST_P(SettingsMedia, FirstRunAndOtherVersionGiveExactlyTheDefaults) {
  ExpectDefaults(Load());
  PutVersion(2);
  PutText("Panel\\Spray", "Text", "stored");
  ExpectDefaults(Load());
}

TEST_P(SettingsMedia, SaveThenLoadRoundTripsEveryType) {
  SETTINGS saved;
  saved.Int = INT_MIN;
  saved.Bool = false;
  saved.Byte = 0;
  saved.Double = 0.123456789;
  saved.Text.Assign(std::string(3000, 'q').append("end").c_str());
  saved.Rect = app::RECT32{-10, -20, 30000, INT_MAX};
  saved.Point = app::DPOINT{-3.5, 1e-7};
  Save(saved);
  SETTINGS s = Load();
  EXPECT_EQ(s.Int, INT_MIN);
  EXPECT_FALSE(s.Bool);
  EXPECT_EQ(s.Byte, 0);
  EXPECT_EQ(s.Double, 0.123457);
  EXPECT_EQ(s.Text.GetLength(), 3003);
  EXPECT_EQ(s.Text.Compare(saved.Text.GetText()), 0);
  EXPECT_EQ(s.Rect.left, -10);
  EXPECT_EQ(s.Rect.top, -20);
  EXPECT_EQ(s.Rect.right, 30000);
  EXPECT_EQ(s.Rect.bottom, INT_MAX);
  EXPECT_EQ(s.Point.x, -3.5);
  EXPECT_EQ(s.Point.y, 1e-7);

  saved.Text.Assign(""); // an empty stored text loads empty, not as the default
  Save(saved);
  EXPECT_STREQ(Load().Text.GetText(), "");
}

TEST_P(SettingsMedia, SectionsLandWhereTheyBelong) {
  SETTINGS saved;
  Save(saved);
  if (UsesRegistry()) {
    HKEY key = nullptr;
    std::string nested = std::string(TestKey) + "\\Panel\\Spray";
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, nested.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "WindowLeft", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(RegQueryValueExA(key, "VelocityX", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, TestKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    int32_t version = 0;
    size = 4;
    EXPECT_EQ(RegQueryValueExA(key, "RegistryVersion", nullptr, &type,
                               reinterpret_cast<BYTE *>(&version), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(version, 1);
    RegCloseKey(key);
  } else {
    std::string text = ReadWholeFile(TempIniPath());
    EXPECT_NE(text.find("[App]"), std::string::npos);
    EXPECT_NE(text.find("RegistryVersion=1"), std::string::npos);
    EXPECT_NE(text.find("[Panel\\Spray]"), std::string::npos);
    EXPECT_NE(text.find("WindowLeft=0"), std::string::npos);
  }
}

TEST_P(SettingsMedia, BadStoredTextsLoadAsDefaultsOrNumbers) {
  PutVersion(1);
  struct Case {
    const char *Int, *Byte, *Double;
    int32_t ExpectInt;
    uint8_t ExpectByte;
    double ExpectDouble;
  } cases[] = {
      {"abc", "x", "abc", -7, 200, 0.0},
      {"-5", "-1", "nan", -5, 255, 0.5},
      {"99999999999", "300", "1e999", -7, 44, 0.5},
  };
  for (const Case &c : cases) {
    PutText("Panel\\Spray", "Int", c.Int);
    PutText("Panel\\Spray", "Byte", c.Byte);
    PutText("Panel\\Spray", "Double", c.Double);
    SETTINGS s = Load();
    // A text where the registry keeps integers is not one: the default.
    EXPECT_EQ(s.Int, UsesRegistry() ? -7 : c.ExpectInt) << c.Int;
    EXPECT_EQ(s.Byte, UsesRegistry() ? 200 : c.ExpectByte) << c.Byte;
    EXPECT_EQ(s.Double, c.ExpectDouble) << c.Double;
  }
}

INSTANTIATE_TEST_SUITE_P(Media, SettingsMedia, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool> &info) {
                           return info.param ? "Registry" : "IniFile";
                         });

class SettingsRegistry : public StoreFixture {};

TEST_F(SettingsRegistry, WrongTypesAndSizesLoadAsDefaults) {
  PutRaw(nullptr, "RegistryVersion", REG_DWORD, "\x01\0\0\0", 4);
  const unsigned char two[] = {1, 2};
  const unsigned char eight[] = {1, 0, 0, 0, 0, 0, 0, 0};
  int32_t dword = 5;
  PutRaw("Panel\\Spray", "Int", REG_BINARY, two, 2);          // too short
  PutRaw("Panel\\Spray", "Bool", REG_QWORD, eight, 8);        // too long
  PutRaw("Panel\\Spray", "Byte", REG_SZ, "12", 3);            // a text
  PutRaw("Panel\\Spray", "Text", REG_DWORD, &dword, 4);       // a number where a text belongs
  PutRaw("Panel\\Spray", "WindowLeft", REG_DWORD, &dword, 4); // the one good value
  PutRaw("Panel\\Spray", "Double", REG_BINARY, "1.5", 3);     // binary, not a text
  SETTINGS s = Load();
  EXPECT_EQ(s.Int, -7);
  EXPECT_TRUE(s.Bool);
  EXPECT_EQ(s.Byte, 200);
  EXPECT_STREQ(s.Text.GetText(), "default text");
  EXPECT_EQ(s.Rect.left, 5);
  EXPECT_EQ(s.Double, 0.5);
}

TEST_F(SettingsRegistry, TextsWithoutTerminatorOrOfAnySizeStayInTheirBuffer) {
  PutRaw(nullptr, "RegistryVersion", REG_DWORD, "\x01\0\0\0", 4);
  PutRaw("Panel\\Spray", "Text", REG_SZ, "abcdef", 3); // no terminating zero
  PutRaw("Panel\\Spray", "Double", REG_SZ, "2.5", 3);
  EXPECT_STREQ(Load().Text.GetText(), "abc");
  EXPECT_EQ(Load().Double, 2.5);
  std::string big(200000, 'z');
  PutRaw("Panel\\Spray", "Text", REG_SZ, big.c_str(), DWORD(big.size() + 1));
  EXPECT_EQ(Load().Text.GetLength(), 200000);
  PutRaw("Panel\\Spray", "Text", REG_SZ, "", 0); // no bytes at all
  SETTINGS s = Load();
  EXPECT_FALSE(s.Text.IsNull());
  EXPECT_STREQ(s.Text.GetText(), "");
}

TEST_F(SettingsRegistry, SavingFailureIsReportedWithTheSystemText) {
  static std::string Shown;
  app::ErrorMessageShower previous =
      app::SetErrorMessageShower([](HWND, const char *text, const char *, UINT) { Shown = text; });
  Shown.clear();
  try {
    app::Registry store(Medium());
    store.Begin(false);
    store.SelectSection(std::string(300, 'k').c_str()); // longer than any key name may be
    FAIL() << "no exception";
  } catch (const app::Exception &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorSystem);
    EXPECT_NE(e.GetSystemError(), 0);
    app::ReportException(nullptr, e);
    app::String expected;
    expected.FormatSystemMessage(e.GetSystemError(), {""});
    EXPECT_EQ(Shown, expected.GetText());
    EXPECT_FALSE(Shown.empty());
  }
  app::SetErrorMessageShower(previous);
}

TEST(SettingsIniFile, WriteFailureNamesTheFile) {
  std::string path = TempIniPath() + "\\no\\such\\folder\\x.ini";
  app::Registry store(app::MakeIniFileMedium(path.c_str()));
  try {
    store.Begin(false);
    FAIL() << "no exception";
  } catch (const app::FileException &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorSystem);
    EXPECT_EQ(std::string(e.GetFileName()), path);
  }
}

// The run's own store: the switch file in the preset folder beside the module, the real key and
// the initialisation file named like the module.
class SettingsSwitch : public ::testing::Test {
protected:
  void SetUp() override {
    Preset = app::GetPresetDirectory().GetText();
    CreateDirectoryA(Preset.c_str(), nullptr);
    Switch = Preset + "useregistry";
    Ini = app::GetSettingsFileName(".ini").GetText();
    Clean();
  }
  void TearDown() override { Clean(); }
  void Clean() {
    DeleteFileA(Switch.c_str());
    DeleteFileA(Ini.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, app::SettingsKey);
  }
  // Saves one value with the run's store and tells where it landed: 'r' registry, 'i' file.
  char SaveAndLocate() {
    {
      app::Registry store;
      app::BeginSettingsStore(store, false);
      int32_t value = 1;
      store.ExchangeInt("Probe", value, 0);
    }
    bool inRegistry = false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, app::SettingsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      inRegistry = RegQueryValueExA(key, "Probe", nullptr, nullptr, nullptr, nullptr) == 0;
      RegCloseKey(key);
    }
    bool inFile = ReadWholeFile(Ini).find("Probe=1") != std::string::npos;
    Clean();
    return inRegistry && !inFile ? 'r' : inFile && !inRegistry ? 'i' : '?';
  }
  std::string Preset, Switch, Ini;
};

TEST_F(SettingsSwitch, FirstByteChoosesTheMedium) {
  struct Case {
    const char *Content; // null: no switch file
    char Expected;
  } cases[] = {{"Y", 'r'}, {"yes\r\n", 'r'}, {"n", 'i'}, {"", 'i'}, {nullptr, 'i'}, {" y", 'i'}};
  for (const Case &c : cases) {
    if (c.Content != nullptr)
      WriteWholeFile(Switch, c.Content);
    EXPECT_EQ(SaveAndLocate(), c.Expected) << (c.Content ? c.Content : "no file");
  }
}

TEST_F(SettingsSwitch, LoadingPassOfTheRunGivesDefaultsOnFirstRun) {
  WriteWholeFile(Switch, "y");
  app::Registry store;
  app::BeginSettingsStore(store, true);
  EXPECT_TRUE(store.IsLoading());
  SETTINGS s;
  ExchangeGroup(store, s);
  ExpectDefaults(s);
}

} // namespace
