#include "plugin/Options.h"

namespace app {

namespace {

OPTIONS TheOptions = DefaultOptions();

} // namespace

OPTIONS DefaultOptions() { return OPTIONS{40, 1, ViewMatCheck, 100}; }

const OPTIONS &GetOptions(OPTIONS *copy) {
  if (copy)
    *copy = TheOptions;
  return TheOptions;
}

void SetOptions(const OPTIONS &options) { TheOptions = options; }

} // namespace app
