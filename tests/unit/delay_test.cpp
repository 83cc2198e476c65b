#include "document/Delay.h"
#include "foundation/Exception.h"
#include "foundation/Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using app::Delay;
using Bytes = std::vector<unsigned char>;

Bytes Compress(Delay &source) {
  app::DelayCompress compressor(source, true);
  app::UCharBuffer block;
  app::ReadAll(compressor, block);
  return Bytes(block.GetData(), block.GetData() + block.GetLength());
}

// The stored form of a change: deflate(after - before), and whether anything differed.
Bytes CompressDifference(const Bytes &after, const Bytes &before, bool *changed) {
  app::DelayBuffer a(after.data(), static_cast<int32_t>(after.size()));
  app::DelayBuffer b(before.data(), static_cast<int32_t>(before.size()));
  app::DelayDiff diff(a, b, false);
  Bytes block = Compress(diff);
  *changed = diff.HasChanged();
  return block;
}

Bytes Decompress(const Bytes &block) {
  app::DelayCompress inflater(
      std::make_unique<app::DelayBuffer>(block.data(), static_cast<int32_t>(block.size())), false);
  app::UCharBuffer out;
  app::ReadAll(inflater, out);
  return Bytes(out.GetData(), out.GetData() + out.GetLength());
}

// Replays a stored block onto the picture in place, as the undo and redo of the document do.
int32_t Apply(Bytes &picture, const Bytes &block, bool add) {
  app::DelayBuffer first(picture.data(), static_cast<int32_t>(picture.size()));
  app::DelayCompress inflater(
      std::make_unique<app::DelayBuffer>(block.data(), static_cast<int32_t>(block.size())), false);
  app::DelayDiff diff(first, inflater, add);
  return diff.Read(picture.data(), static_cast<int32_t>(picture.size()));
}

Bytes RandomBytes(size_t n) {
  Bytes b(n);
  for (auto &x : b)
    x = static_cast<unsigned char>(app::Random());
  return b;
}

TEST(Delay, DifferenceRoundTrips) {
  app::SeedRandom(7);
  const Bytes noise = RandomBytes(50000);
  Bytes sparse(100000, 128);
  Bytes sparseChanged = sparse;
  for (size_t i = 0; i < sparse.size(); i += 997)
    sparseChanged[i] = static_cast<unsigned char>(app::Random());
  struct Case {
    const char *name;
    Bytes before, after;
    bool changed;
  } cases[] = {
      {"identical", Bytes(30000, 77), Bytes(30000, 77), false},
      {"empty", Bytes(), Bytes(), false},
      {"one byte wrapping", Bytes{1, 250, 3}, Bytes{1, 4, 3}, true},
      {"noise over many windows", Bytes(noise.size(), 0), noise, true},
      {"sparse", sparse, sparseChanged, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    bool changed = !c.changed;
    const Bytes block = CompressDifference(c.after, c.before, &changed);
    EXPECT_EQ(changed, c.changed);
    const Bytes difference = Decompress(block);
    ASSERT_EQ(difference.size(), c.after.size());
    for (size_t i = 0; i < difference.size(); ++i)
      ASSERT_EQ(difference[i], static_cast<unsigned char>(c.after[i] - c.before[i])) << i;
    Bytes picture = c.before;
    EXPECT_EQ(Apply(picture, block, true), static_cast<int32_t>(picture.size()));
    EXPECT_EQ(picture, c.after);
    EXPECT_EQ(Apply(picture, block, false), static_cast<int32_t>(picture.size()));
    EXPECT_EQ(picture, c.before);
  }
  // The wrap-around case stores 4 - 250 = 10 modulo 256.
  bool changed = false;
  EXPECT_EQ(Decompress(CompressDifference(Bytes{4}, Bytes{250}, &changed)), Bytes{10});
  // An unchanged picture gives a short complete stream, an empty source the empty stream.
  EXPECT_LT(CompressDifference(Bytes(30000, 5), Bytes(30000, 5), &changed).size(), 100u);
  app::DelayBuffer empty(nullptr, 0);
  EXPECT_EQ(Compress(empty), (Bytes{0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01}));
}

TEST(Delay, DifferenceStopsAtTheShorterSource) {
  const Bytes a(20000, 9), b(12345, 4);
  for (bool firstShorter : {false, true}) {
    app::DelayBuffer x(firstShorter ? b.data() : a.data(), firstShorter ? 12345 : 20000);
    app::DelayBuffer y(firstShorter ? a.data() : b.data(), firstShorter ? 20000 : 12345);
    app::DelayDiff diff(x, y, true);
    app::UCharBuffer out;
    app::ReadAll(diff, out);
    EXPECT_EQ(out.GetLength(), 12345);
    EXPECT_EQ(out.GetData()[12344], 13);
    EXPECT_TRUE(diff.IsEnd());
  }
}

// Requests larger and smaller than the 8192-byte windows, straight into the caller's memory and
// through the windows, deliver every byte once: also the last window of a decompressor, which
// the stream end arrives with.
TEST(Delay, ReadsOfAnySizeDeliverEveryByte) {
  app::SeedRandom(3);
  const Bytes data = RandomBytes(20000);
  const Bytes zero(data.size(), 0);
  bool changed = false;
  const Bytes block = CompressDifference(data, zero, &changed);
  for (int32_t chunk : {1, 3000, 8192, 8193, 30000}) {
    SCOPED_TRACE(chunk);
    app::DelayBuffer base(zero.data(), static_cast<int32_t>(zero.size()));
    app::DelayCompress inflater(
        std::make_unique<app::DelayBuffer>(block.data(), static_cast<int32_t>(block.size())),
        false);
    app::DelayDiff diff(base, inflater, true);
    Bytes out(data.size() + 10);
    size_t total = 0;
    for (int32_t n; (n = diff.Read(out.data() + total, chunk)) > 0;)
      total += static_cast<size_t>(n);
    out.resize(total);
    EXPECT_EQ(out, data);

    // The same through windows: a difference of a decompressor and a buffer, consumed in steps.
    app::DelayCompress inflater2(
        std::make_unique<app::DelayBuffer>(block.data(), static_cast<int32_t>(block.size())),
        false);
    app::DelayBuffer base2(zero.data(), static_cast<int32_t>(zero.size()));
    app::DelayDiff windowed(inflater2, base2, false);
    Bytes seen;
    while (!windowed.IsEnd()) {
      const unsigned char *p = windowed.GetCurrent();
      const int32_t n = std::min(windowed.GetAvailable(), chunk);
      seen.insert(seen.end(), p, p + n);
      windowed.Advance(n);
    }
    EXPECT_EQ(seen, data);
  }
}

// A block that zlib cannot decode is an error, never a silently short difference.
TEST(Delay, DamagedBlockThrows) {
  app::SeedRandom(11);
  const Bytes data = RandomBytes(40000);
  app::DelayBuffer source(data.data(), static_cast<int32_t>(data.size()));
  const Bytes block = Compress(source);
  Bytes cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(block.size() / 2));
  Bytes badHeader = block;
  badHeader[0] = 0x12;
  Bytes badTrailer = block;
  badTrailer.back() ^= 0xFF;
  for (const Bytes *damaged : {&cut, &badHeader, &badTrailer}) {
    try {
      Decompress(*damaged);
      ADD_FAILURE() << "no exception for a damaged block of " << damaged->size() << " bytes";
    } catch (const app::Exception &e) {
      EXPECT_NE(e.GetCode(), 0);
    }
  }
}

TEST(Delay, OutOfMemoryWhileGrowingTheBlock) {
  const Bytes data(100, 1);
  app::DelayBuffer source(data.data(), 100);
  app::DelayCompress compressor(source, true);
  app::UCharBuffer block;
  app::GetBufferHeapStatistics().FailCountdown = 0;
  try {
    app::ReadAll(compressor, block);
    ADD_FAILURE() << "no exception";
  } catch (const app::Exception &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorOutOfMemory);
  }
  app::GetBufferHeapStatistics().FailCountdown = -1;
}

} // namespace
