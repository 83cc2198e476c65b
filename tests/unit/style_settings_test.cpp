// Loading and saving the settings records through the settings store over an in-memory medium.
#include "engine/ColorStyle.h"
#include "engine/GeneralStyle.h"
#include "engine/SprayStyle.h"
#include "framework/Registry.h"
#include "plugin/Options.h"
#include "tests/unit/memory_medium.h"
#include "tests/unit/saved_records.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

using app::Registry;

// Stored texts and the keys asked for while loading, over the shared in-memory medium.
struct MemoryStore {
  testing_support::StoredValues Values;
  std::set<std::string> Read; // "section/name" of every value asked for while loading

  void Set(const std::string &section, const std::string &name, const std::string &text) {
    Values[section + "/" + name] = text;
  }
  const std::string *Find(const std::string &section, const std::string &name) const {
    auto v = Values.find(section + "/" + name);
    return v == Values.end() ? nullptr : &v->second;
  }
  std::string Get(const std::string &section, const std::string &name) const {
    const std::string *text = Find(section, name);
    return text != nullptr ? *text : std::string();
  }
  size_t CountIn(const std::string &section) const {
    size_t n = 0;
    for (const auto &v : Values)
      n += v.first.compare(0, section.size() + 1, section + "/") == 0;
    return n;
  }
};

// Keeps every record the tests touch and puts it back afterwards.
class StyleSettings : public ::testing::Test {
protected:
  testing_support::SavedRecords Saved;

  // One pass over every group of this file, in the run's order.
  static void Pass(MemoryStore &store, bool loading) {
    Registry registry(testing_support::MakeMemoryMedium(store.Values, &store.Read));
    registry.Begin(loading);
    app::ExchangeOptionSettings(registry);
    app::ExchangeSpraySettings(registry);
    app::ExchangeColorSettings(registry);
    app::ExchangeGeneralSettings(registry);
  }
  // A store that holds the current version and the given values.
  static MemoryStore Stored(std::initializer_list<std::array<const char *, 3>> values) {
    MemoryStore store;
    store.Set("App", "RegistryVersion", "1");
    for (const auto &v : values)
      store.Set(v[0], v[1], v[2]);
    return store;
  }
};

TEST_F(StyleSettings, EmptyStoreLoadsTheDefaults) {
  // Scramble everything first, so that every field must come from loading.
  app::SetOptions({5, 5, 2, 5});
  app::SPRAYSTYLE junk = app::DefaultSprayStyle();
  junk.Repulsion = 99;
  junk.Count = 1;
  app::COLORSTYLE junkColor = app::DefaultColorStyle();
  junkColor.Colors[0] = junkColor.Colors[1] = 0x01020304;
  junkColor.Coloring = 2;
  for (int32_t i = 0; i < app::ToolCount; ++i) {
    app::SetSprayStyle(junk, i);
    app::SetColorStyle(junkColor, i);
  }
  app::SetGeneralStyle({3, 4, 0, 0, 0.9, 1});

  for (bool versioned : {false, true}) {
    MemoryStore store = versioned ? Stored({}) : MemoryStore();
    Pass(store, true);
    const app::OPTIONS &o = app::GetOptions();
    EXPECT_EQ(40, o.TurnInterval);
    EXPECT_EQ(1, o.DisplayingInterval);
    EXPECT_EQ(0, o.ViewMat);
    EXPECT_EQ(100, o.HistoryMax);
    for (int32_t i = 0; i < app::ToolCount; ++i) {
      app::SPRAYSTYLE want = app::DefaultSprayStyle();
      want.SplitRate = 0.0001;
      want.Color = app::GetSprayStyle(i).Color; // not part of the spray group
      app::SPRAYSTYLE got = app::CopySprayStyle(i);
      unsigned char a[app::SprayStyleKeySize], b[app::SprayStyleKeySize];
      app::MakeSprayStyleKey(want, a);
      app::MakeSprayStyleKey(got, b);
      EXPECT_EQ(0, std::memcmp(a, b, sizeof a)) << i;
      EXPECT_EQ(want.Count, got.Count);
      EXPECT_EQ(want.Throwing, got.Throwing);
      EXPECT_EQ(want.VelocityMode, got.VelocityMode);
      const app::COLORSTYLE &c = app::GetColorStyle(i);
      EXPECT_EQ(0, c.Coloring);
      EXPECT_TRUE(c.useFore);
      EXPECT_EQ(6, c.CycleLength);
      // Only the bytes the tool stores are loaded: opacity for all, colour for Paint.
      EXPECT_EQ(0xFFu, c.Colors[0] >> 24) << i;
      EXPECT_EQ(i == 0 ? 0xFF0000FFu : 0xFF020304u, c.Colors[0]) << i;
    }
    const app::GENERALSTYLE &g = app::GetGeneralStyle();
    EXPECT_EQ(0, g.GravityType);
    EXPECT_EQ(0.0, g.GravityX);
    EXPECT_EQ(0.5, g.GravityY);
    EXPECT_EQ(0.5 / 16, g.EngineGravityY);
    EXPECT_EQ(0.5, g.Lively);
  }
}

TEST_F(StyleSettings, SetOptionsStoresWithoutCorrection) {
  app::SetOptions({0, -2, 9, 0});
  app::OPTIONS copy{};
  const app::OPTIONS &o = app::GetOptions(&copy);
  EXPECT_EQ(0, o.TurnInterval);
  EXPECT_EQ(-2, o.DisplayingInterval);
  EXPECT_EQ(9, copy.ViewMat);
  EXPECT_EQ(0, copy.HistoryMax);
}

TEST_F(StyleSettings, OutOfRangeValuesLoadInsideTheBounds) {
  MemoryStore store = Stored({
      {"App", "TurnInterval", "0"},
      {"App", "DisplayingInterval", "-8"},
      {"App", "ViewMat", "7"},
      {"App", "HistoryMax", "-3"},
      {"Paint\\Spray", "RepulsionArea", "0"},
      {"Paint\\Spray", "VelocityMode", "7"},
      {"Paint\\Spray", "SpinStep", "0"},
      {"Paint\\Spray", "Brake", "1e300"},
      {"Erase\\Spray", "RepulsionArea", "40"},
      {"Erase\\Spray", "VelocityMode", "-2"},
      {"Erase\\Spray", "Life", "-5"},
      {"Erase\\Spray", "Viscosity", "nan"},
      {"Erase\\Spray", "Repulsion", "-1e999"},
      {"Blur\\Spray", "gravityArea", "not a number"},
      {"Blur\\Spray", "SplitMode", "99999999999"},
      {"Blur\\Spray", "VelocityX", "inf"},
      {"Blur\\Spray", "VelocityY", "-12.5"},
      {"Paint\\Color", "Coloring", "9"},
      {"Paint\\Color", "CycleLength", "-4"},
      {"Erase\\Color", "Color0_3", "300"},
      {"App", "GravityType", "2"},
      {"App", "GravityX", "nan"},
      {"App", "GravityY", "-2"},
      {"App", "Lively", "1.7"},
  });
  Pass(store, true);
  const app::OPTIONS &o = app::GetOptions();
  EXPECT_EQ(1, o.TurnInterval);
  EXPECT_EQ(1, o.DisplayingInterval);
  EXPECT_EQ(7, o.ViewMat); // taken as stored
  EXPECT_EQ(0, o.HistoryMax);

  const app::SPRAYSTYLE &paint = app::GetSprayStyle(0);
  EXPECT_EQ(0.0001, paint.RepulsionArea);
  EXPECT_EQ(4, paint.VelocityMode);
  EXPECT_EQ(1, paint.SpinStep);
  EXPECT_EQ(1.0, paint.Brake);
  const app::SPRAYSTYLE &erase = app::GetSprayStyle(1);
  EXPECT_EQ(16.0, erase.RepulsionArea);
  EXPECT_EQ(0, erase.VelocityMode);
  EXPECT_EQ(0, erase.Life);
  EXPECT_GE(erase.Viscosity, 0.0);
  EXPECT_LE(erase.Viscosity, 1.0);
  EXPECT_EQ(2.5, erase.Repulsion); // an infinity reads as the default
  const app::SPRAYSTYLE &blur = app::GetSprayStyle(2);
  EXPECT_EQ(0.0001, blur.gravityArea); // text that is not a number reads as 0
  EXPECT_GE(blur.SplitMode, 0);
  EXPECT_LE(blur.SplitMode, 2);
  EXPECT_EQ(0.0, blur.Velocity.x);
  EXPECT_EQ(-12.5, blur.Velocity.y);

  EXPECT_EQ(0, app::GetColorStyle(0).Coloring);
  EXPECT_EQ(1, app::GetColorStyle(0).CycleLength);
  EXPECT_EQ(44u, app::GetColorStyle(1).Colors[0] >> 24); // the low 8 bits of 300

  const app::GENERALSTYLE &g = app::GetGeneralStyle();
  EXPECT_EQ(0, g.GravityType);
  EXPECT_EQ(0.0, g.GravityX);
  EXPECT_EQ(-2.0, g.GravityY);
  EXPECT_EQ(-0.125, g.EngineGravityY);
  EXPECT_EQ(1.0, g.Lively);

  store.Set("App", "Lively", "-0.1");
  Pass(store, true);
  EXPECT_EQ(0.0, app::GetGeneralStyle().Lively);
}

TEST_F(StyleSettings, SavedValuesLoadBackAndNameTheirSections) {
  app::SetOptions({25, 3, 2, 0});
  app::SPRAYSTYLE s = app::DefaultSprayStyle();
  s.Velocity = {1.5, -2.25};
  s.UseSpin = true;
  s.SplitRate = 0.125;
  s.Count = 42;
  app::SetSprayStyle(s, 1);
  app::COLORSTYLE c = app::DefaultColorStyle();
  c.Colors[0] = 0x80112233;
  c.Colors[1] = 0x7F445566;
  c.useFore = false;
  c.Coloring = 2;
  c.CycleLength = 9;
  app::SetColorStyle(c, 0);
  app::SetColorStyle(c, 1);
  app::GENERALSTYLE g = app::DefaultGeneralStyle();
  g.GravityType = 1;
  g.GravityX = 0.25;
  g.Lively = 3; // only loading clamps
  app::SetGeneralStyle(g);
  EXPECT_EQ(3.0, app::GetGeneralStyle().Lively);

  MemoryStore store;
  Pass(store, false);
  EXPECT_EQ("1", store.Get("App", "RegistryVersion"));
  EXPECT_EQ("25", store.Get("App", "TurnInterval"));
  EXPECT_EQ("1.5", store.Get("Erase\\Spray", "VelocityX"));
  EXPECT_EQ("-2.25", store.Get("Erase\\Spray", "VelocityY"));
  // 32 settings, Velocity in two values.
  EXPECT_EQ(33u, store.CountIn("Paint\\Spray"));
  EXPECT_EQ(33u, store.CountIn("Blur\\Spray"));
  EXPECT_EQ(11u, store.CountIn("Paint\\Color"));
  EXPECT_EQ(5u, store.CountIn("Erase\\Color")); // opacity only
  EXPECT_EQ("128", store.Get("Erase\\Color", "Color0_3"));
  EXPECT_EQ(nullptr, store.Find("Erase\\Color", "Color0_0"));
  EXPECT_EQ("3", store.Get("App", "Lively"));

  // Scramble, then load what was saved.
  app::SetOptions(app::DefaultOptions());
  app::SetSprayStyle(app::DefaultSprayStyle(), 1);
  app::SetColorStyle(app::DefaultColorStyle(), 0);
  app::SetColorStyle(app::DefaultColorStyle(), 1);
  app::SetGeneralStyle(app::DefaultGeneralStyle());
  store.Read.clear();
  Pass(store, true);
  EXPECT_EQ(25, app::GetOptions().TurnInterval);
  EXPECT_EQ(0, app::GetOptions().HistoryMax);
  const app::SPRAYSTYLE &e = app::GetSprayStyle(1);
  EXPECT_EQ(1.5, e.Velocity.x);
  EXPECT_EQ(-2.25, e.Velocity.y);
  EXPECT_TRUE(e.UseSpin);
  EXPECT_EQ(0.125, e.SplitRate);
  EXPECT_EQ(42, e.Count);
  EXPECT_EQ(c.Colors[0], app::GetColorStyle(0).Colors[0]);
  EXPECT_EQ(c.Colors[1], app::GetColorStyle(0).Colors[1]);
  EXPECT_FALSE(app::GetColorStyle(0).useFore);
  EXPECT_EQ(9, app::GetColorStyle(1).CycleLength);
  // Erase keeps its own colour bytes and takes only the opacity from the store.
  EXPECT_EQ(0x80000000u | (app::DefaultForeColor & 0xFFFFFF), app::GetColorStyle(1).Colors[0]);
  EXPECT_EQ(0u, store.Read.count("Erase\\Color/Color0_0"));
  EXPECT_EQ(1u, store.Read.count("Erase\\Color/Color1_3"));
  EXPECT_EQ(1, app::GetGeneralStyle().GravityType);
  EXPECT_EQ(0.25 / 16, app::GetGeneralStyle().EngineGravityX);
  EXPECT_EQ(1.0, app::GetGeneralStyle().Lively);
}

} // namespace
