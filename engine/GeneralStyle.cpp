#include "engine/GeneralStyle.h"

#include <cstring>

namespace app {

namespace {

GENERALSTYLE TheGeneralStyle = DefaultGeneralStyle();

void Derive(GENERALSTYLE &style) {
  style.EngineGravityX = style.GravityX * 0.0625;
  style.EngineGravityY = style.GravityY * 0.0625;
}

} // namespace

GENERALSTYLE DefaultGeneralStyle() {
  GENERALSTYLE style;
  std::memset(&style, 0, sizeof style);
  style.GravityX = 0.0;
  style.GravityY = 0.5;
  style.Lively = 0.5;
  style.GravityType = GravityParallel;
  Derive(style);
  return style;
}

const GENERALSTYLE &GetGeneralStyle(GENERALSTYLE *copy) {
  if (copy)
    *copy = TheGeneralStyle;
  return TheGeneralStyle;
}

void SetGeneralStyle(const GENERALSTYLE &style) {
  TheGeneralStyle = style;
  Derive(TheGeneralStyle);
}

} // namespace app
