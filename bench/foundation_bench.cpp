// Foundation costs that the document pays on every recorded action: copying the picture into
// its previous-state copy, and sharing versus unsharing a buffer.
#include "foundation/Buffer.h"
#include "foundation/Image.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ImageCopyFrom(benchmark::State &state) {
  const int32_t side = static_cast<int32_t>(state.range(0));
  app::Image source, copy;
  source.Create(side, side, 4);
  source.Clear();
  copy.CopyFrom(source);
  for (auto _ : state) {
    copy.CopyFrom(source);
    benchmark::DoNotOptimize(copy.GetBits());
  }
  state.SetBytesProcessed(state.iterations() * int64_t(source.GetByteSize()));
}
BENCHMARK(BM_ImageCopyFrom)->Arg(512)->Arg(2048);

void BM_BufferShareThenWrite(benchmark::State &state) {
  app::UCharBuffer original;
  original.Allocate(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    app::UCharBuffer copy(original);
    benchmark::DoNotOptimize(copy.GetWritableData());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BufferShareThenWrite)->Arg(4096)->Arg(1 << 20);

} // namespace
