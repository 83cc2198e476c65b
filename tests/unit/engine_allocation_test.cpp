// The engine allocates nothing while it turns: neither buffer blocks nor anything through
// operator new (this file replaces the global operator new with a counting one for the whole
// test program).
#include "engine/Core.h"
#include "foundation/Buffer.h"
#include "foundation/Image.h"
#include "foundation/Random.h"

#include "tests/unit/engine_test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
int64_t NewCalls = 0;

void *CountedAllocation(std::size_t size) {
  ++NewCalls;
  if (void *p = std::malloc(size == 0 ? 1 : size))
    return p;
  throw std::bad_alloc();
}
} // namespace

void *operator new(std::size_t size) { return CountedAllocation(size); }
void *operator new[](std::size_t size) { return CountedAllocation(size); }
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }

namespace {

class EngineAllocation : public enginetest::EngineTest {};

TEST_F(EngineAllocation, TurnsAndEmissionAllocateNothing) {
  SetGravity(0.5, 0.5, app::GravityRadial);
  SetLively(0.5);
  for (int32_t mode : {app::ModePaint, app::ModeErase, app::ModeBlur}) {
    app::Image picture;
    picture.Create(300, 200, 4);
    picture.Clear();
    app::Core engine;
    engine.SetPictureSize(300, 200);
    engine.SetMode(mode);
    app::SPRAYSTYLE style = enginetest::EngineStyle();
    style.UseSplit = true;
    style.SplitRate = 0.3;
    style.SplitMode = 2;
    style.SplitStep1 = 2;
    style.SplitStep2 = 3;
    style.UseSpin = true;
    style.SpinStep = 2;
    style.UseLimitedSpeed = true;
    style.Color.Coloring = app::ColoringCycle;
    const int32_t index = engine.RegisterSettings(style);

    const int64_t blocks = app::GetBufferHeapStatistics().Allocations;
    const int64_t news = NewCalls;
    for (int32_t turn = 0; turn < 40; ++turn) {
      for (int32_t i = 0; i < 30; ++i) {
        app::EMIT_REQUEST request = {{0.02 * (i % 7) - 0.06, 0.03 * (i % 5) - 0.06},
                                     {100.0 + turn, 80.0 + i},
                                     &picture,
                                     index,
                                     3};
        engine.AddParticle(request);
      }
      engine.Turn(picture);
    }

    EXPECT_EQ(app::GetBufferHeapStatistics().Allocations, blocks) << "mode " << mode;
    EXPECT_EQ(NewCalls, news) << "mode " << mode;
    EXPECT_GT(engine.GetParticleCount(), 50) << "mode " << mode;
    engine.EraseAllParticles();
    engine.ReleaseSettings(index);
    EXPECT_FALSE(engine.HasParticles());
  }
}

} // namespace
