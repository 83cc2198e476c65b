#include "plugin/Options.h"

#include "framework/Registry.h"

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

void ExchangeOptionSettings(Registry &store) {
  const OPTIONS d = DefaultOptions();
  OPTIONS &o = TheOptions;
  store.SelectSection(nullptr);
  store.ExchangeInt("TurnInterval", o.TurnInterval, d.TurnInterval);
  store.ExchangeInt("DisplayingInterval", o.DisplayingInterval, d.DisplayingInterval);
  store.ExchangeInt("ViewMat", o.ViewMat, d.ViewMat);
  store.ExchangeInt("HistoryMax", o.HistoryMax, d.HistoryMax);
  if (!store.IsLoading())
    return;
  if (o.TurnInterval < 1)
    o.TurnInterval = 1;
  if (o.DisplayingInterval < 1)
    o.DisplayingInterval = 1;
  if (o.HistoryMax < 0)
    o.HistoryMax = 0;
}

} // namespace app
