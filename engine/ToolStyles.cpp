// The per-tool spray and colour records, one of each for Paint, Erase and Blur.
#include "engine/ColorStyle.h"
#include "engine/SprayStyle.h"

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

} // namespace app
