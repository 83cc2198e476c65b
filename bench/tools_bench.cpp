// The tool's share of a turn: one burst of emissions, with one colour for the stroke and with a
// privately mixed colour (one registered settings record) per particle.
#include "document/Tools.h"
#include "engine/ColorStyle.h"
#include "engine/Core.h"
#include "engine/SprayStyle.h"
#include "foundation/Image.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ToolBurst(benchmark::State &state) {
  const bool randomColor = state.range(0) != 0;
  const app::SPRAYSTYLE savedSpray = app::CopySprayStyle(0);
  const app::COLORSTYLE savedColor = app::CopyColorStyle(0);
  app::SPRAYSTYLE spray = app::DefaultSprayStyle();
  spray.Count = 20;
  app::SetSprayStyle(spray, 0);
  app::COLORSTYLE color = app::DefaultColorStyle();
  color.Coloring = randomColor ? app::ColoringRandom : app::ColoringSingle;
  app::SetColorStyle(color, 0);
  app::DestroyTools();
  app::SelectTool(app::ToolIndexPaint);

  app::Image picture;
  picture.Reset(512, 512, 4);
  picture.Clear();
  app::Core engine;
  engine.SetPictureSize(512, 512);
  app::TOOL_EVENT event = {{100, 100}, &picture, &engine, app::ToolEventButtonDown, 0};
  app::DispatchToolEvent(event);
  int32_t turn = 0;
  for (auto _ : state) {
    // The pointer sweeps to and fro; erasing now and then keeps the cells from filling up.
    event.Position = {100.0 + (turn % 300), 100.0 + (turn % 7) * 40};
    event.EventCode = app::ToolEventTurn;
    app::DispatchToolEvent(event);
    if (++turn % 64 == 0) {
      state.PauseTiming();
      engine.EraseAllParticles();
      state.ResumeTiming();
    }
  }
  state.SetItemsProcessed(state.iterations() * spray.Count);
  event.EventCode = app::ToolEventButtonUp;
  app::DispatchToolEvent(event);
  app::DestroyTools();
  app::SetSprayStyle(savedSpray, 0);
  app::SetColorStyle(savedColor, 0);
}
BENCHMARK(BM_ToolBurst)->Arg(0)->Arg(1);

} // namespace
