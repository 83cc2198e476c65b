// What one undo step costs on a 2048 x 2048 picture with 1 % of its rows changed: recording the
// action against deflating the same difference bytes in one call, replaying it against
// inflating the stored block in one call, and the memory a recording needs beyond the block it
// stores (all heap bytes: zlib's state, the windows, the records).
#include "document/AppDoc.h"
#include "document/History.h"
#include "foundation/Image.h"
#include "foundation/Random.h"
#include "plugin/HostPicture.h"
#include "plugin/Options.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
#include <malloc.h>
#define HISTORY_BENCH_COUNTS_HEAP 1
#endif

namespace {

enum { Side = 2048, RowBytes = Side * 4, ChangedRows = Side / 100, RowStride = 100 };

// ---------------------------------------------------------------------------------------------
// Heap bytes in use while counting is on, and their peak (every allocation of the process goes
// through malloc: operator new, the buffer heap and zlib alike).

struct HeapCount {
  bool On = false;
  int64_t Current = 0;
  int64_t Peak = 0;
};
HeapCount Heap;

} // namespace

#ifdef HISTORY_BENCH_COUNTS_HEAP
extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void __libc_free(void *);

static void CountIn(void *p) {
  if (Heap.On && p != nullptr) {
    Heap.Current += static_cast<int64_t>(malloc_usable_size(p));
    Heap.Peak = std::max(Heap.Peak, Heap.Current);
  }
}
static void CountOut(void *p) {
  if (Heap.On && p != nullptr)
    Heap.Current -= static_cast<int64_t>(malloc_usable_size(p));
}

void *malloc(size_t n) {
  void *p = __libc_malloc(n);
  CountIn(p);
  return p;
}
void *calloc(size_t n, size_t size) {
  void *p = __libc_calloc(n, size);
  CountIn(p);
  return p;
}
void *realloc(void *old, size_t n) {
  // The old and the new block may both exist while the bytes move: counted as such.
  if (Heap.On && old != nullptr) {
    Heap.Peak = std::max(Heap.Peak, Heap.Current + static_cast<int64_t>(n));
    CountOut(old);
  }
  void *p = __libc_realloc(old, n);
  CountIn(p);
  return p;
}
void free(void *p) {
  CountOut(p);
  __libc_free(p);
}
}
#endif

namespace {

// ---------------------------------------------------------------------------------------------
// A host picture of random bytes and a document over it.

std::vector<unsigned char> HostColor, HostAlpha;

int32_t ReadColor(int32_t row, int32_t, int32_t count, unsigned char *buffer, int32_t) {
  std::memcpy(buffer, &HostColor[static_cast<size_t>(row) * count * 3], size_t(count) * 3);
  return 1;
}
int32_t ReadAlpha(int32_t row, int32_t, int32_t count, unsigned char *buffer, int32_t, int32_t) {
  std::memcpy(buffer, &HostAlpha[static_cast<size_t>(row) * count], size_t(count));
  return 1;
}
int32_t Ignore(int32_t, int32_t, int32_t, unsigned char *, int32_t) { return 1; }
int32_t IgnoreAlpha(int32_t, int32_t, int32_t, unsigned char *, int32_t, int32_t) { return 1; }

void OpenDocument(app::AppDoc &doc) {
  static const app::HostPictureInfo info{Side, Side, 24};
  static const app::HostRowChannel source{&ReadColor, &ReadAlpha};
  static const app::HostRowChannel destination{&Ignore, &IgnoreAlpha};
  if (HostColor.empty()) {
    app::SeedRandom(99);
    HostColor.resize(size_t(Side) * Side * 3);
    HostAlpha.resize(size_t(Side) * Side);
    for (auto &b : HostColor)
      b = static_cast<unsigned char>(app::Random());
    for (auto &b : HostAlpha)
      b = static_cast<unsigned char>(app::Random());
  }
  app::AcceptHostRecords(&info, &destination, &source, nullptr);
  doc.OnCreateDocument();
}

// The change of one action: 1 % of the rows, each byte moved by a random non-zero amount.
std::vector<unsigned char> MakeDelta() {
  std::vector<unsigned char> delta(size_t(ChangedRows) * RowBytes);
  for (auto &b : delta)
    b = static_cast<unsigned char>(1 + app::Random() % 255);
  return delta;
}

void Change(app::Image &picture, const std::vector<unsigned char> &delta) {
  for (int32_t r = 0; r < ChangedRows; ++r) {
    unsigned char *row = picture.GetWritableRow(r * RowStride);
    const unsigned char *d = &delta[size_t(r) * RowBytes];
    for (int32_t i = 0; i < RowBytes; ++i)
      row[i] = static_cast<unsigned char>(row[i] + d[i]);
  }
}

// The difference bytes of that change for the whole picture, and their deflated block.
std::vector<unsigned char> DifferenceBytes(const std::vector<unsigned char> &delta) {
  std::vector<unsigned char> difference(size_t(Side) * RowBytes, 0);
  for (int32_t r = 0; r < ChangedRows; ++r)
    std::memcpy(&difference[size_t(r) * RowStride * RowBytes], &delta[size_t(r) * RowBytes],
                RowBytes);
  return difference;
}

std::vector<unsigned char> Deflate(const std::vector<unsigned char> &in) {
  z_stream z{};
  deflateInit(&z, Z_DEFAULT_COMPRESSION);
  std::vector<unsigned char> out(deflateBound(&z, static_cast<uLong>(in.size())));
  z.next_in = const_cast<Bytef *>(in.data());
  z.avail_in = static_cast<uInt>(in.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

void SetHistoryMax(int32_t max) {
  app::OPTIONS o = app::GetOptions();
  o.HistoryMax = max;
  app::SetOptions(o);
}

// ---------------------------------------------------------------------------------------------

void BM_RecordAction(benchmark::State &state) {
  SetHistoryMax(100);
  app::AppDoc doc;
  OpenDocument(doc);
  const std::vector<unsigned char> delta = MakeDelta();
  for (auto _ : state) {
    state.PauseTiming();
    Change(doc.GetPicture(), delta);
    state.ResumeTiming();
    doc.RecordChange();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(Side) * RowBytes);
}
BENCHMARK(BM_RecordAction)->Unit(benchmark::kMillisecond);

void BM_DeflateDifferenceAlone(benchmark::State &state) {
  const std::vector<unsigned char> difference = DifferenceBytes(MakeDelta());
  size_t block = 0;
  for (auto _ : state) {
    block = Deflate(difference).size();
    benchmark::DoNotOptimize(block);
  }
  state.counters["block_bytes"] = double(block);
  state.SetBytesProcessed(state.iterations() * int64_t(difference.size()));
}
BENCHMARK(BM_DeflateDifferenceAlone)->Unit(benchmark::kMillisecond);

// Each iteration replays one step: undo and redo by turns.
void BM_UndoReplay(benchmark::State &state) {
  SetHistoryMax(100);
  app::AppDoc doc;
  OpenDocument(doc);
  Change(doc.GetPicture(), MakeDelta());
  doc.RecordChange();
  for (auto _ : state) {
    if (doc.CanUndo())
      doc.Undo();
    else
      doc.Redo();
  }
  state.SetBytesProcessed(state.iterations() * int64_t(Side) * RowBytes);
}
BENCHMARK(BM_UndoReplay)->Unit(benchmark::kMillisecond);

void BM_InflateBlockAlone(benchmark::State &state) {
  const std::vector<unsigned char> difference = DifferenceBytes(MakeDelta());
  const std::vector<unsigned char> block = Deflate(difference);
  std::vector<unsigned char> out(difference.size());
  for (auto _ : state) {
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<Bytef *>(block.data());
    z.avail_in = static_cast<uInt>(block.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    benchmark::DoNotOptimize(inflate(&z, Z_FINISH));
    inflateEnd(&z);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(out.size()));
}
BENCHMARK(BM_InflateBlockAlone)->Unit(benchmark::kMillisecond);

// The peak of heap bytes in use during one recording, less the stored block it leaves.
void BM_RecordingMemory(benchmark::State &state) {
  SetHistoryMax(100);
  app::AppDoc doc;
  OpenDocument(doc);
  const std::vector<unsigned char> delta = MakeDelta();
  const int64_t block = int64_t(Deflate(DifferenceBytes(delta)).size());
  int64_t extra = 0, stored = 0;
  for (auto _ : state) {
    Change(doc.GetPicture(), delta);
    Heap = HeapCount{true, 0, 0};
    doc.RecordChange();
    Heap.On = false;
    stored = Heap.Current; // what stays: the block, its item and record
    extra = Heap.Peak - block;
  }
#ifdef HISTORY_BENCH_COUNTS_HEAP
  state.counters["extra_bytes"] = double(extra);
  state.counters["kept_bytes"] = double(stored);
  state.counters["block_bytes"] = double(block);
#else
  state.SkipWithError("heap counting needs glibc without sanitizers");
#endif
}
BENCHMARK(BM_RecordingMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
