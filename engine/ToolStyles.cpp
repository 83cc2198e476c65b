// The per-tool spray and colour records, one of each for Paint, Erase and Blur.
#include "engine/ColorStyle.h"
#include "engine/SprayStyle.h"

#include "document/Tools.h"
#include "framework/Registry.h"

#include <cstdio>
#include <stdexcept>

namespace app {

namespace {

struct TOOL_STYLES {
  SPRAYSTYLE Spray[ToolCount];
  COLORSTYLE Color[ToolCount];
};

TOOL_STYLES MakeToolStyles() {
  TOOL_STYLES styles;
  for (int32_t i = 0; i < ToolCount; ++i) {
    styles.Spray[i] = DefaultSprayStyle();
    styles.Color[i] = DefaultColorStyle();
  }
  return styles;
}

TOOL_STYLES Styles = MakeToolStyles();

// A tool index 0..2, or -1 for the current tool; anything else would reach past the records.
int32_t ResolveTool(int32_t tool) {
  if (tool == -1)
    tool = GetCurrentTool();
  if (tool < 0 || tool >= ToolCount)
    throw std::out_of_range("tool index");
  return tool;
}

// Selects the section "<tool name>\<group>".
void SelectToolSection(Registry &store, int32_t tool, const char *group) {
  char section[64];
  std::snprintf(section, sizeof section, "%s\\%s", GetToolInfo(tool).Name, group);
  store.SelectSection(section);
}

void ExchangeSprayStyle(Registry &store, SPRAYSTYLE &s) {
  const SPRAYSTYLE d = DefaultSprayStyle();
  store.ExchangeDouble("Repulsion", s.Repulsion, d.Repulsion);
  store.ExchangeDouble("RepulsionArea", s.RepulsionArea, d.RepulsionArea);
  store.ExchangeDouble("Gravity", s.Gravity, d.Gravity);
  store.ExchangeDouble("gravityArea", s.gravityArea, d.gravityArea);
  store.ExchangeDouble("Brake", s.Brake, d.Brake);
  store.ExchangeDouble("Viscosity", s.Viscosity, d.Viscosity);
  store.ExchangeDouble("ViscosityArea", s.ViscosityArea, d.ViscosityArea);
  store.ExchangeInt("Life", s.Life, d.Life);
  store.ExchangeDouble("LimitedSpeed", s.LimitedSpeed, d.LimitedSpeed);
  store.ExchangeBool("UseLimitedSpeed", s.UseLimitedSpeed, d.UseLimitedSpeed);
  store.ExchangePoint("Velocity", s.Velocity, d.Velocity);
  store.ExchangeDouble("VelocityWiggle", s.VelocityWiggle, d.VelocityWiggle);
  store.ExchangeDouble("VelocityWidth", s.VelocityWidth, d.VelocityWidth);
  store.ExchangeDouble("VelocityRotationSpeed", s.VelocityRotationSpeed, d.VelocityRotationSpeed);
  store.ExchangeInt("VelocityMode", s.VelocityMode, d.VelocityMode);
  store.ExchangeInt("Count", s.Count, d.Count);
  store.ExchangeInt("Size", s.Size, d.Size);
  store.ExchangeDouble("Throwing", s.Throwing, d.Throwing);
  store.ExchangeBool("UseSpin", s.UseSpin, d.UseSpin);
  store.ExchangeInt("SpinStep", s.SpinStep, d.SpinStep);
  store.ExchangeDouble("SpinAngle", s.SpinAngle, d.SpinAngle);
  store.ExchangeDouble("SpinAngleWiggle", s.SpinAngleWiggle, d.SpinAngleWiggle);
  store.ExchangeBool("UseSplit", s.UseSplit, d.UseSplit);
  store.ExchangeInt("SplitMode", s.SplitMode, d.SplitMode);
  store.ExchangeInt("SplitStep1", s.SplitStep1, d.SplitStep1);
  store.ExchangeInt("SplitStep2", s.SplitStep2, d.SplitStep2);
  store.ExchangeDouble("SplitAngle1", s.SplitAngle1, d.SplitAngle1);
  store.ExchangeDouble("SplitAngle2", s.SplitAngle2, d.SplitAngle2);
  store.ExchangeDouble("SplitAngleWiggle", s.SplitAngleWiggle, d.SplitAngleWiggle);
  store.ExchangeInt("SplitLag", s.SplitLag, d.SplitLag);
  store.ExchangeInt("SplitGenerations", s.SplitGenerations, d.SplitGenerations);
  store.ExchangeDouble("SplitRate", s.SplitRate, d.SplitRate);
}

void ExchangeColorStyle(Registry &store, const TOOL_INFO &info, COLORSTYLE &c) {
  const COLORSTYLE d = DefaultColorStyle();
  for (int j = 0; j < 2; ++j) {
    for (int k = 0; k < 4; ++k) {
      if (k < 3 ? !info.UsesColorComponents : !info.UsesOpacity)
        continue;
      char name[16];
      std::snprintf(name, sizeof name, "Color%d_%d", j, k);
      const int shift = 8 * k;
      uint8_t byte = static_cast<uint8_t>(c.Colors[j] >> shift);
      store.ExchangeByte(name, byte, static_cast<uint8_t>(d.Colors[j] >> shift));
      c.Colors[j] = (c.Colors[j] & ~(0xFFu << shift)) | (uint32_t(byte) << shift);
    }
  }
  store.ExchangeBool("useFore", c.useFore, d.useFore);
  store.ExchangeInt("Coloring", c.Coloring, d.Coloring);
  store.ExchangeInt("CycleLength", c.CycleLength, d.CycleLength);
}

} // namespace

const SPRAYSTYLE &GetSprayStyle(int32_t tool) { return Styles.Spray[ResolveTool(tool)]; }

SPRAYSTYLE CopySprayStyle(int32_t tool) { return Styles.Spray[ResolveTool(tool)]; }

void SetSprayStyle(const SPRAYSTYLE &style, int32_t tool) {
  SPRAYSTYLE &stored = Styles.Spray[ResolveTool(tool)];
  stored = style;
  Validate(stored);
}

const COLORSTYLE &GetColorStyle(int32_t tool) { return Styles.Color[ResolveTool(tool)]; }

COLORSTYLE CopyColorStyle(int32_t tool) { return Styles.Color[ResolveTool(tool)]; }

void SetColorStyle(const COLORSTYLE &style, int32_t tool) {
  COLORSTYLE &stored = Styles.Color[ResolveTool(tool)];
  stored = style;
  ValidateColorStyle(stored);
}

void ExchangeSpraySettings(Registry &store) {
  for (int32_t tool = 0; tool < ToolCount; ++tool) {
    if (!GetToolInfo(tool).HasSprayStyle)
      continue;
    SelectToolSection(store, tool, "Spray");
    ExchangeSprayStyle(store, Styles.Spray[tool]);
    if (store.IsLoading())
      Validate(Styles.Spray[tool]);
  }
}

void ExchangeColorSettings(Registry &store) {
  for (int32_t tool = 0; tool < ToolCount; ++tool) {
    SelectToolSection(store, tool, "Color");
    ExchangeColorStyle(store, GetToolInfo(tool), Styles.Color[tool]);
    // The colour panel and the engine know only colorings 0..3 and cycles of a turn or more.
    if (store.IsLoading())
      ValidateColorStyle(Styles.Color[tool]);
  }
}

} // namespace app
