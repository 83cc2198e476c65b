// The particle engine: a grid of cells laid over the picture, holding every live particle.
//
// One turn runs three passes in this order: draw (every particle stamps a soft brush and the
// accumulated colour is blended into the picture), forces (velocities change under the pull and
// push of neighbours, viscosity, global gravity, spin, brake and the speed limit) and move
// (particles age, die, split and move into the other grid, which then becomes the current one).
// New particles enter between turns through AddParticle. Everything random draws from
// app::Random(), so a turn replays identically from the same seed. No memory is allocated during
// a turn: all buffers are sized by SetPictureSize.
#pragma once

#include "engine/Particle.h"
#include "engine/ParticleInfoList.h"

#include <cstdint>
#include <memory>

namespace app {

class Image;

// A position in picture pixels.
struct PICTURE_POINT {
  double x; // to the right
  double y; // downward
};

// One particle to emit.
struct EMIT_REQUEST {
  VELOCITY StartVelocity;      // cells a turn (engine units)
  PICTURE_POINT StartPosition; // picture pixels
  Image *Picture;              // the picture; Blur samples the colour under the particle from it
  int32_t SettingsIndex;       // settings item the particle will reference
  int32_t Generations;         // SplitGenerations of the stroke's settings
};

// Engine modes, the same numbers as the tool indices.
enum { ModePaint = 0, ModeErase = 1, ModeBlur = 2 };

struct CoreMember;

class Core {
public:
  Core();
  Core(const Core &) = delete;
  Core &operator=(const Core &) = delete;
  ~Core();

  // Sizes the grid and every buffer for a picture and erases all particles. A negative size
  // throws code 11, a size whose buffers overflow the range-tested arithmetic code 12, and a
  // lack of memory code 3; the engine is then unchanged.
  void SetPictureSize(int32_t width, int32_t height);
  // Erases all particles, then sets the mode (ModePaint, ModeErase or ModeBlur; any other
  // value throws std::out_of_range and changes nothing).
  void SetMode(int32_t mode);
  int32_t GetMode() const;

  // One turn on the picture: Draw, ComputeForces, Move. The picture must have the size given
  // to SetPictureSize and 4 bytes a pixel; otherwise code 11 is thrown before anything changes.
  void Turn(Image &picture);
  // The three passes of a turn one by one (Turn runs them in this order).
  void Draw(Image &picture);
  void ComputeForces();
  void Move();

  // Inserts one particle into its cell, or drops it silently when the position lies outside
  // the grid's interior or the cell is full. An index that names no settings item in use
  // throws std::out_of_range.
  void AddParticle(const EMIT_REQUEST &request);
  // Register and Release of the settings list.
  int32_t RegisterSettings(const SPRAYSTYLE &engineStyle);
  void ReleaseSettings(int32_t index);
  // True unless the settings list is empty (also while a stroke holds a reference without
  // particles).
  bool HasParticles() const;
  // Releases every particle's settings reference and empties every cell.
  void EraseAllParticles();

  // Reading the state, for the document, the tools, tests and diagnostics.
  const ParticleInfoList &GetParticleInfos() const;
  int32_t GetParticleCount() const; // particles in the grid
  int32_t GetColumns() const;
  int32_t GetRows() const;
  int32_t GetOffsetX() const; // picture's top-left corner inside the grid, pixels
  int32_t GetOffsetY() const;
  int32_t GetPictureWidth() const;
  int32_t GetPictureHeight() const;
  // The current grid's cell (column, row); no range test.
  const CELL &GetCell(int32_t column, int32_t row) const;
  // Brush table for quarter-pixel offsets (fx, fy), 8 x 8 weights row by row.
  const unsigned char *GetBrush(int32_t fx, int32_t fy) const;

  // Puts a particle record into cell (column, row) as it is, adding a reference to its
  // settings item; false when the cell is not interior or full. For restoring a known state
  // (tests, benchmarks); emission goes through AddParticle.
  bool InsertParticle(int32_t column, int32_t row, const PARTICLE &particle);

private:
  std::unique_ptr<CoreMember> Member;
};

} // namespace app
