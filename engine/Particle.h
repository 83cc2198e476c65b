// The engine's plain records: particles, grid cells and force accumulators. (The drawing
// accumulator is kept inside the engine as two planes, coverages and mean colours.)
//
// The engine measures lengths in cells of 16 pixels. A particle in cell (c, r) is at grid
// position (c + FractionX / 32768, r + FractionY / 32768) cells, which is picture position
// 16 * grid position - (OffsetX, OffsetY) pixels.
#pragma once

#include <cstdint>

namespace app {

enum {
  CellPixels = 16,      // pixels a cell
  CellCapacity = 32,    // particles a cell holds at most
  FractionUnit = 32768, // fraction units a cell
  DrawRingRows = 64,    // picture rows of the drawing accumulator
  BrushSide = 8,        // a brush stamp covers 8 x 8 pixels
  BrushPhases = 16,     // 4 x 4 quarter-pixel positions
  BrushSourceSide = 36, // the soft blob the brush tables are made from
};

// 28 bytes.
struct PARTICLE {
  uint16_t FractionX; // position inside the cell, 0 .. 32767 in units of 1/32768 cell
  uint16_t FractionY;
  float VelocityX;       // cells a turn, x to the right
  float VelocityY;       // y downward
  int32_t Age;           // turns survived; 0 when emitted
  int32_t SettingsIndex; // the particle's item in the settings list; it holds one reference
  int32_t Generations;   // further split generations it may start
  uint32_t Sample;       // colour picked up from the picture (Blur), RGBA bytes
};
static_assert(sizeof(PARTICLE) == 28, "particle layout");

// Slots 0 .. Count - 1 hold particles in arrival order.
struct CELL {
  PARTICLE Slots[CellCapacity];
  int32_t Count;
};

// The accumulator of one particle in one forces pass.
struct SUM {
  double ForceX; // summed pair forces
  double ForceY;
  double FlowX; // weighted sum of neighbour velocities
  double FlowY;
  double FlowWeight; // sum of the weights
};

} // namespace app
