// The colour rules of a spray: which colour a particle paints with and how it changes with age.
//
// Each of the three tools (0 Paint, 1 Erase, 2 Blur) keeps its own colour style. Colours are
// uint32 values whose little-endian bytes are red, green, blue, alpha.
#pragma once

#include <cstdint>

namespace app {

class Registry;

// Coloring modes.
enum {
  ColoringSingle = 0,
  ColoringGradation = 1,
  ColoringCycle = 2,
  ColoringRandom = 3,
};

// 20 bytes, 4-byte aligned; the three bytes after useFore are zero wherever a record is built.
struct COLORSTYLE {
  uint32_t Colors[2];  // [0] the fore colour, [1] the back colour
  bool useFore;        // single colouring with the Paint tool uses Colors[0] (else Colors[1])
  int32_t Coloring;    // ColoringSingle .. ColoringRandom
  int32_t CycleLength; // turns of one colour cycle
};
static_assert(sizeof(COLORSTYLE) == 20, "colour block layout");

// Default colours: opaque red and opaque black.
enum : uint32_t {
  DefaultForeColor = 0xFF0000FFu,
  DefaultBackColor = 0xFF000000u,
};

// A record with the defaults (opaque red and black, useFore, single colouring, cycle of 6),
// every byte between fields zero.
COLORSTYLE DefaultColorStyle();

// Repairs a record: a Coloring outside 0..3 becomes single, a CycleLength below 1 becomes 1.
void ValidateColorStyle(COLORSTYLE &style);

// The stored colour style of a tool (0..2; -1 the current tool). Unknown indices throw
// std::out_of_range.
const COLORSTYLE &GetColorStyle(int32_t tool = -1);
COLORSTYLE CopyColorStyle(int32_t tool = -1);
// Stores the record for the tool, then repairs the stored copy (ValidateColorStyle).
void SetColorStyle(const COLORSTYLE &style, int32_t tool = -1);

// Loads or saves the three colour styles in the sections "<tool name>\Color". Loaded values
// are stored as read; only SetColorStyle repairs them.
void ExchangeColorSettings(Registry &store);

// The colour a particle paints with in this turn.
//   color: the colour block of the particle's settings item; life: that item's Life;
//   age: the particle's age in turns (0 when emitted); mode: the engine mode (0 Paint,
//   1 Erase, 2 Blur); sample: the colour the particle picked up from the picture (Blur only).
// Colorings outside 0..3, and cycle colouring with a CycleLength below 2, give Colors[0].
uint32_t ParticleColor(const COLORSTYLE &color, int32_t life, int32_t age, int32_t mode,
                       uint32_t sample);

// Blends the two colours channel by channel: ((32767 - t) * c0 + t * c1) / 32767, t 0..32767.
uint32_t MixColors(uint32_t c0, uint32_t c1, int32_t t);
// The per-particle colour of random colouring: MixColors of the two colours with one fresh
// app::Random() draw, so the result lies on the line between them.
uint32_t MixRandomColor(const COLORSTYLE &style);

} // namespace app
