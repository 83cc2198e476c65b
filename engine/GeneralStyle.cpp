#include "engine/GeneralStyle.h"

#include "framework/Registry.h"

#include <cmath>
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

void ExchangeGeneralSettings(Registry &store) {
  const GENERALSTYLE d = DefaultGeneralStyle();
  GENERALSTYLE &s = TheGeneralStyle;
  store.SelectSection(nullptr);
  store.ExchangeInt("GravityType", s.GravityType, d.GravityType);
  store.ExchangeDouble("GravityX", s.GravityX, d.GravityX);
  store.ExchangeDouble("GravityY", s.GravityY, d.GravityY);
  store.ExchangeDouble("Lively", s.Lively, d.Lively);
  if (!store.IsLoading())
    return;
  if (s.GravityType != GravityParallel && s.GravityType != GravityRadial)
    s.GravityType = GravityParallel;
  if (!(s.Lively >= 0))
    s.Lively = 0;
  else if (s.Lively > 1)
    s.Lively = 1;
  // A gravity that is not a finite number would turn every particle's position into one.
  if (!std::isfinite(s.GravityX))
    s.GravityX = d.GravityX;
  if (!std::isfinite(s.GravityY))
    s.GravityY = d.GravityY;
  Derive(s);
}

} // namespace app
