// Costs of the particle engine's turn.
//
// The particles keep their places (Lively 0), so that the density stays what the benchmark
// asks for while every pass still does its full work: each particle is drawn, interacts with
// its neighbours, ages and is placed into the next grid every turn.
//
// - BM_EngineTurn/<particles per cell>: a whole 1024 x 1024 picture covered at that density,
//   drawing included; the counter particle_turns is particle-turns per second.
// - BM_EngineGridStep/<particles per cell>: the same without drawing (forces and move only).
// - BM_EngineDrawPass/<particles per cell>: the draw pass alone (stamps and flushes).
// - BM_EngineTurn100/<side>: 100 particles on a side x side picture; a turn should cost what
//   its particles touch, not the picture's area.
#include "engine/ColorStyle.h"
#include "engine/Core.h"
#include "engine/GeneralStyle.h"
#include "engine/SprayStyle.h"
#include "foundation/Image.h"
#include "foundation/Random.h"

#include <benchmark/benchmark.h>

namespace {

struct Scene {
  app::Image Picture;
  app::Core Engine;
  app::GENERALSTYLE Saved;

  Scene(int32_t side) {
    Saved = app::GetGeneralStyle();
    app::GENERALSTYLE general = app::DefaultGeneralStyle();
    general.Lively = 0;
    app::SetGeneralStyle(general);
    app::SeedRandom(1);
    Picture.Create(side, side, 4);
    Picture.Clear();
    Engine.SetPictureSize(side, side);
  }
  ~Scene() { app::SetGeneralStyle(Saved); }

  int32_t Settings() {
    app::SPRAYSTYLE style = app::DefaultSprayStyle();
    style.Color = app::DefaultColorStyle();
    style.Life = 1 << 30;
    app::ToEngineUnits(style);
    return Engine.RegisterSettings(style);
  }

  // perCell particles at random places in every cell of the block of cells.
  void Fill(int32_t index, int32_t first, int32_t last, int32_t perCell) {
    for (int32_t r = first; r <= last; ++r)
      for (int32_t c = first; c <= last; ++c)
        for (int32_t k = 0; k < perCell; ++k) {
          app::PARTICLE p = {};
          p.FractionX = static_cast<uint16_t>(app::Random());
          p.FractionY = static_cast<uint16_t>(app::Random());
          p.SettingsIndex = index;
          Engine.InsertParticle(c, r, p);
        }
  }
};

// Runs `step` over and over on a 1024 x 1024 picture whose cells 1 to 65 (those that cover the
// picture) hold range(0) particles each, and reports the particle-turns a second.
template <typename Step> void MeasureParticleTurns(benchmark::State &state, Step step) {
  Scene scene(1024);
  scene.Fill(scene.Settings(), 1, 65, static_cast<int32_t>(state.range(0)));
  int64_t particleTurns = 0;
  for (auto _ : state) {
    particleTurns += scene.Engine.GetParticleCount();
    step(scene);
  }
  state.counters["particle_turns"] =
      benchmark::Counter(static_cast<double>(particleTurns), benchmark::Counter::kIsRate);
  state.counters["particles"] = scene.Engine.GetParticleCount();
}

// A whole turn: draw, forces, move.
void BM_EngineTurn(benchmark::State &state) {
  MeasureParticleTurns(state, [](Scene &scene) { scene.Engine.Turn(scene.Picture); });
}
BENCHMARK(BM_EngineTurn)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

// The grid step alone, without drawing.
void BM_EngineGridStep(benchmark::State &state) {
  MeasureParticleTurns(state, [](Scene &scene) {
    scene.Engine.ComputeForces();
    scene.Engine.Move();
  });
}
BENCHMARK(BM_EngineGridStep)->Arg(4)->Unit(benchmark::kMillisecond);

// The drawing pass alone.
void BM_EngineDrawPass(benchmark::State &state) {
  MeasureParticleTurns(state, [](Scene &scene) { scene.Engine.Draw(scene.Picture); });
}
BENCHMARK(BM_EngineDrawPass)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_EngineTurn100(benchmark::State &state) {
  const int32_t side = static_cast<int32_t>(state.range(0));
  Scene scene(side);
  // 100 particles, 4 to a cell, in a block of 5 x 5 cells in the middle of the grid.
  const int32_t middle = scene.Engine.GetColumns() / 2;
  scene.Fill(scene.Settings(), middle - 2, middle + 2, 4);
  for (auto _ : state)
    scene.Engine.Turn(scene.Picture);
  state.counters["particles"] = scene.Engine.GetParticleCount();
}
BENCHMARK(BM_EngineTurn100)->Arg(512)->Arg(4096)->Unit(benchmark::kMicrosecond);

} // namespace
