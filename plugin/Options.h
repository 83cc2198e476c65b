// The plug-in-wide options that belong to no spray: engine pace, redraw rate, mat, history size.
#pragma once

#include <cstdint>

namespace app {

class Registry;

enum {
  ViewMatCheck = 0,
  ViewMatBlack = 1,
  ViewMatWhite = 2,
};

struct OPTIONS {
  int32_t TurnInterval;       // least milliseconds between two engine turns
  int32_t DisplayingInterval; // the view redraws the picture every this many turns
  int32_t ViewMat;            // ViewMatCheck, ViewMatBlack or ViewMatWhite
  int32_t HistoryMax;         // most undo entries kept
};

// 40 ms, every turn, check pattern, 100 entries.
OPTIONS DefaultOptions();

// The one options record; copies it out too when copy is not null.
const OPTIONS &GetOptions(OPTIONS *copy = nullptr);
// Stores all four fields as given.
void SetOptions(const OPTIONS &options);
// Loads or saves the options in the root section; loading raises values below their bounds.
void ExchangeOptionSettings(Registry &store);

} // namespace app
