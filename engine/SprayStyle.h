// The spray settings: forces, life, emission, spin and split of the particles of one tool.
//
// Stored values use pixels, turns and degrees (SpinAngle, SplitAngle1 and SplitAngle2 are in
// radians). At the start of every stroke the tool converts a working copy with ToEngineUnits,
// where lengths are measured in cells of 16 pixels.
#pragma once

#include "engine/ColorStyle.h"

#include <cstddef>
#include <cstdint>

namespace app {

class Registry;

// Number of tools, each with its own spray and colour style: 0 Paint, 1 Erase, 2 Blur.
enum { ToolCount = 3 };

// The index of the current tool, 0..2. Defined by the tools module, which owns the current
// tool; the per-tool accessors below resolve the tool index -1 through it.
int32_t GetCurrentTool();

// Velocity modes (direction sweep of emission).
enum {
  VelocityLeftSpin = 0,
  VelocityRightSpin = 1,
  VelocityWiper = 2,
  VelocityRandom = 3,
  VelocityNoSweep = 4, // admitted by validation; the tools define no sweep for it
};

struct VELOCITY {
  double x; // to the right
  double y; // downward
};

// Natural alignment; the bytes not covered by a field are zero wherever a record is built.
// The part from Color up to UseSplit is what the engine reads for every particle; the first
// SprayStyleKeySize bytes (that part and its zero tail) are the key under which the particle
// settings list shares identical engine-unit records.
struct SPRAYSTYLE {
  COLORSTYLE Color; // filled from the tool's colour style when a stroke starts
  double Repulsion;
  double RepulsionArea;
  double Gravity;
  double gravityArea;
  double Brake;
  double Viscosity;
  double ViscosityArea;
  double LimitedSpeed;
  double SpinAngle;        // radians
  double SpinAngleWiggle;  // degrees
  double SplitAngle1;      // radians
  double SplitAngle2;      // radians
  double SplitAngleWiggle; // degrees
  double SplitRate;
  int32_t Life;
  int32_t SpinStep;
  int32_t SplitMode;
  int32_t SplitStep1;
  int32_t SplitStep2;
  int32_t SplitLag;
  bool UseLimitedSpeed;
  bool UseSpin;
  bool UseSplit;
  // Used only while emitting:
  VELOCITY Velocity;
  double VelocityWiggle;
  double VelocityWidth;         // degrees
  double VelocityRotationSpeed; // degrees a turn
  double Throwing;
  int32_t VelocityMode;
  int32_t Count;
  int32_t Size;
  int32_t SplitGenerations;
};

enum { SprayStyleKeySize = 168 };
static_assert(offsetof(SPRAYSTYLE, Color) == 0 && offsetof(SPRAYSTYLE, Repulsion) == 24 &&
                  offsetof(SPRAYSTYLE, SplitRate) == 128 && offsetof(SPRAYSTYLE, Life) == 136 &&
                  offsetof(SPRAYSTYLE, SplitLag) == 156 &&
                  offsetof(SPRAYSTYLE, UseLimitedSpeed) == 160 &&
                  offsetof(SPRAYSTYLE, UseSplit) == 162,
              "per-particle part of the spray record");
static_assert(offsetof(SPRAYSTYLE, Velocity) == SprayStyleKeySize,
              "the particle settings key is the leading 168 bytes");
static_assert(sizeof(SPRAYSTYLE) == 232, "spray record layout");

// Copies the per-particle part of a record into a key: all bytes zero, then the fields from
// Color up to UseSplit one by one, so that the key's bytes depend only on the field values.
// Since the key has the record's own layout, a key copied back with memcpy over the leading
// SprayStyleKeySize bytes of a SPRAYSTYLE gives those fields again.
void MakeSprayStyleKey(const SPRAYSTYLE &style, unsigned char (&key)[SprayStyleKeySize]);

// Fills every field but Color with the defaults (SplitRate 0, which validation raises).
void SetDefaults(SPRAYSTYLE &style);
// A record with every byte zero, then the defaults (Color zero).
SPRAYSTYLE DefaultSprayStyle();
// Clamps the fields into their ranges; a value that is not a number becomes the lower bound.
void Validate(SPRAYSTYLE &style);
// Converts a working copy into engine units (the stored records are never converted).
void ToEngineUnits(SPRAYSTYLE &style);

// The stored spray style of a tool (0..2; -1 the current tool). Unknown indices throw
// std::out_of_range.
const SPRAYSTYLE &GetSprayStyle(int32_t tool = -1);
SPRAYSTYLE CopySprayStyle(int32_t tool = -1);
// Stores the whole record for the tool, then validates the stored copy.
void SetSprayStyle(const SPRAYSTYLE &style, int32_t tool = -1);

// Loads or saves the three spray styles in the sections "<tool name>\Spray"; loaded records
// are validated.
void ExchangeSpraySettings(Registry &store);

// The settings in exchange order, as indices into SprayRangeTable.
enum SprayValue {
  SprayRepulsion,
  SprayRepulsionArea,
  SprayGravity,
  SprayGravityArea,
  SprayBrake,
  SprayViscosity,
  SprayViscosityArea,
  SprayLife,
  SprayLimitedSpeed,
  SprayUseLimitedSpeed,
  SprayVelocity,
  SprayVelocityWiggle,
  SprayVelocityWidth,
  SprayVelocityRotationSpeed,
  SprayVelocityMode,
  SprayCount,
  SpraySize,
  SprayThrowing,
  SprayUseSpin,
  SpraySpinStep,
  SpraySpinAngle,
  SpraySpinAngleWiggle,
  SprayUseSplit,
  SpraySplitMode,
  SpraySplitStep1,
  SpraySplitStep2,
  SpraySplitAngle1,
  SpraySplitAngle2,
  SpraySplitAngleWiggle,
  SpraySplitLag,
  SpraySplitGenerations,
  SpraySplitRate,
  SprayValueCount
};

// Slider ends and input lower bounds of the detail dialogs, one pair per settings index; a
// pair whose upper end is 0 gives only its lower end.
struct SPRAY_RANGE {
  int32_t Lower;
  int32_t Upper;
};
extern const SPRAY_RANGE SprayRangeTable[SprayValueCount];

} // namespace app
