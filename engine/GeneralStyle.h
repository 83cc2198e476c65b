// The settings that act on all particles alike: global gravity and the motion scale.
#pragma once

#include <cmath>
#include <cstdint>

namespace app {

class Registry;

enum {
  GravityParallel = 0,
  GravityRadial = 1,
};

struct GENERALSTYLE {
  double GravityX;       // pixels a turn squared; radial: the tangential component
  double GravityY;       // pixels a turn squared, downward; radial: toward the centre
  double EngineGravityX; // GravityX / 16, cells a turn squared (derived)
  double EngineGravityY; // GravityY / 16 (derived)
  double Lively;         // share of the velocity by which a particle advances each turn
  int32_t GravityType;   // GravityParallel or GravityRadial
};

// The defaults with the derived fields computed: parallel, 0.5 downward, Lively 0.5.
GENERALSTYLE DefaultGeneralStyle();

// The one general style; copies it out too when copy is not null.
const GENERALSTYLE &GetGeneralStyle(GENERALSTYLE *copy = nullptr);
// Stores every field as given (no clamping), then recomputes the derived fields.
void SetGeneralStyle(const GENERALSTYLE &style);
// Loads or saves the general style in the root section; loading repairs the values.
void ExchangeGeneralSettings(Registry &store);

// The gravity acceleration in cells a turn squared at grid position (x, y) in cells, for a grid
// of columns x rows cells.
inline void GravityAt(const GENERALSTYLE &style, double x, double y, int32_t columns, int32_t rows,
                      double &ax, double &ay) {
  if (style.GravityType != GravityRadial) {
    ax = style.EngineGravityX;
    ay = style.EngineGravityY;
    return;
  }
  double dx = x - static_cast<double>(columns / 2);
  double dy = y - static_cast<double>(rows / 2);
  double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0) {
    ax = 0;
    ay = 0;
    return;
  }
  ax = (-dy * style.EngineGravityX - dx * style.EngineGravityY) / d;
  ay = (dx * style.EngineGravityX - dy * style.EngineGravityY) / d;
}

} // namespace app
