#include "framework/Registry.h"
#include "tests/unit/memory_medium.h"
#include "tests/unit/settings_group.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <memory>
#include <string>

namespace {

using Stored = testing_support::StoredValues;
using testing_support::MemoryMedium;

using testing_support::ExchangeGroup;
using testing_support::ExpectDefaults;
using testing_support::SETTINGS;

SETTINGS Load(Stored &values) {
  app::Registry store(std::unique_ptr<app::RegistryMedium>(new MemoryMedium(values)));
  store.Begin(true);
  EXPECT_TRUE(store.IsLoading());
  SETTINGS s;
  s.Text.Assign("before");
  ExchangeGroup(store, s);
  return s;
}

TEST(Registry, FirstRunAndOtherVersionsGiveExactlyTheDefaults) {
  Stored empty;
  ExpectDefaults(Load(empty));
  Stored newer{{"App/RegistryVersion", "2"}, {"Panel\\Spray/Int", "5"}};
  ExpectDefaults(Load(newer));
}

TEST(Registry, SaveThenLoadRoundTripsEveryType) {
  Stored values;
  {
    app::Registry store(std::unique_ptr<app::RegistryMedium>(new MemoryMedium(values)));
    store.Begin(false);
    EXPECT_FALSE(store.IsLoading());
    SETTINGS s;
    s.Int = INT_MIN;
    s.Bool = false;
    s.Byte = 0;
    s.Double = 0.123456789;
    s.Text.Assign("");
    s.Rect = app::RECT32{-10, -20, 30000, 40000};
    s.Point = app::DPOINT{-3.5, 1e-7};
    ExchangeGroup(store, s);
  }
  EXPECT_EQ(values["App/RegistryVersion"], "1");
  EXPECT_EQ(values["Panel\\Spray/WindowLeft"], "-10");
  EXPECT_EQ(values["Panel\\Spray/WindowTop"], "-20");
  EXPECT_EQ(values["Panel\\Spray/WindowRight"], "30000");
  EXPECT_EQ(values["Panel\\Spray/WindowBottom"], "40000");
  EXPECT_EQ(values["Panel\\Spray/VelocityX"], "-3.5");
  EXPECT_EQ(values["Panel\\Spray/VelocityY"], "1e-07");
  EXPECT_EQ(values["Panel\\Spray/Double"], "0.123457");

  SETTINGS s = Load(values);
  EXPECT_EQ(s.Int, INT_MIN);
  EXPECT_FALSE(s.Bool);
  EXPECT_EQ(s.Byte, 0);
  EXPECT_EQ(s.Double, 0.123457); // all the precision the store keeps
  EXPECT_FALSE(s.Text.IsNull());
  EXPECT_STREQ(s.Text.GetText(), "");
  EXPECT_EQ(s.Rect.left, -10);
  EXPECT_EQ(s.Rect.top, -20);
  EXPECT_EQ(s.Rect.right, 30000);
  EXPECT_EQ(s.Rect.bottom, 40000);
  EXPECT_EQ(s.Point.x, -3.5);
  EXPECT_EQ(s.Point.y, 1e-7);
}

TEST(Registry, StoredValuesAreBroughtIntoTheirTypes) {
  struct Case {
    const char *Int, *Bool, *Byte, *Double;
    int32_t ExpectInt;
    bool ExpectBool;
    uint8_t ExpectByte;
    double ExpectDouble;
  } cases[] = {
      {"12", "2", "300", "1.5", 12, true, 44, 1.5},
      {"-1", "-1", "-1", "-0", -1, true, 255, 0.0},
      {"abc", "0", "256", "abc", -7, false, 0, 0.0},                   // not numbers
      {"", "", "", "", -7, true, 200, 0.0},                            // empty texts
      {"99999999999", "x", "2147483648", "1e999", -7, true, 200, 0.5}, // out of range
      {" 42xyz", "1", "7", "nan", 42, true, 7, 0.5},
      {"2147483647", "0", "0", "-inf", INT_MAX, false, 0, 0.5},
  };
  for (const Case &c : cases) {
    Stored values{{"App/RegistryVersion", "1"},
                  {"Panel\\Spray/Int", c.Int},
                  {"Panel\\Spray/Bool", c.Bool},
                  {"Panel\\Spray/Byte", c.Byte},
                  {"Panel\\Spray/Double", c.Double}};
    SETTINGS s = Load(values);
    EXPECT_EQ(s.Int, c.ExpectInt) << c.Int;
    EXPECT_EQ(s.Bool, c.ExpectBool) << c.Bool;
    EXPECT_EQ(s.Byte, c.ExpectByte) << c.Byte;
    EXPECT_EQ(s.Double, c.ExpectDouble) << c.Double;
  }
}

TEST(Registry, MissingValuesOfAStoredVersionTakeDefaultsThroughTheirText) {
  Stored values{{"App/RegistryVersion", "1"}};
  SETTINGS s = Load(values);
  EXPECT_EQ(s.Int, -7);
  EXPECT_EQ(s.Double, 0.5);
  EXPECT_STREQ(s.Text.GetText(), "default text");

  app::Registry store(std::unique_ptr<app::RegistryMedium>(new MemoryMedium(values)));
  store.Begin(true);
  double third = 0.0;
  store.ExchangeDouble("Third", third, 1.0 / 3.0); // the default passes through "%g"
  EXPECT_EQ(third, 0.333333);
  app::String own("own text");
  store.ExchangeString("Missing", own, own.GetText()); // the default is the variable's own text
  EXPECT_STREQ(own.GetText(), "own text");
}

TEST(Registry, ParseStoredInt) {
  struct Case {
    const char *Text;
    int32_t Expected;
  } cases[] = {{"0", 0},           {"-2147483648", INT_MIN},
               {"2147483648", 99}, {"-2147483649", 99},
               {"+5", 5},          {"\t-3 ", -3},
               {"- 3", 99},        {"0x10", 0},
               {"12.7", 12},       {"", 99},
               {nullptr, 99}};
  for (const Case &c : cases)
    EXPECT_EQ(app::ParseStoredInt(c.Text, 99), c.Expected) << (c.Text ? c.Text : "null");
}

#ifndef _WIN32
TEST(Registry, NativeStoreLoadsDefaults) {
  // The native build keeps no settings: a whole pass loads the defaults.
  app::Registry store;
  store.Begin(true);
  SETTINGS s;
  ExchangeGroup(store, s);
  ExpectDefaults(s);
}
#endif

} // namespace
