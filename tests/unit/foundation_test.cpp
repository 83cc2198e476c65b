#include "foundation/Buffer.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "foundation/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace {

using app::Exception;

int32_t CodeOf(void (*f)()) {
  try {
    f();
  } catch (const Exception &e) {
    return e.GetCode();
  }
  return 0;
}

TEST(RangeTestedArithmetic, LimitsOfTruncation) {
  struct Case {
    double x;
    bool ok;
    int32_t result;
  } cases[] = {{2147483647.0, true, INT32_MAX},
               {2147483647.5, false, 0},
               {-2147483648.0, true, INT32_MIN},
               {-2147483649.0, false, 0},
               {-1.9, true, -1},
               {1.9, true, 1},
               {NAN, false, 0},
               {INFINITY, false, 0}};
  for (const Case &c : cases) {
    bool ok = !c.ok;
    EXPECT_EQ(app::TruncateToInt(c.x, &ok), c.result) << c.x;
    EXPECT_EQ(ok, c.ok) << c.x;
  }
}

TEST(RangeTestedArithmetic, SumsDifferencesAndProducts) {
  bool ok = true;
  EXPECT_EQ(app::SubtractInts(0, INT32_MIN, &ok), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(app::SubtractInts(-1, INT32_MIN, &ok), INT32_MAX);
  EXPECT_TRUE(ok);
  EXPECT_EQ(app::AddInts(INT32_MAX, 1, &ok), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(app::AddInts(INT32_MIN, -1, &ok), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(app::MultiplyInts(-65536, 32768, &ok), INT32_MIN);
  EXPECT_TRUE(ok);
  EXPECT_EQ(app::MultiplyInts(65536, 65536, &ok), 0);
  EXPECT_FALSE(ok);
  // Without a flag an overflow throws code 12.
  EXPECT_EQ(CodeOf([] { app::MultiplyInts(65536, 65536); }), app::ErrorArithmetic);
  EXPECT_EQ(CodeOf([] { app::TruncateToInt(NAN); }), app::ErrorArithmetic);
}

TEST(Exceptions, ClassesAndFileNames) {
  Exception plain(app::ErrorSystem, 5);
  EXPECT_STREQ(plain.what(), "Application Error");
  EXPECT_EQ(plain.GetSystemError(), 5);

  std::string longName(300, 'n');
  app::FileException file(app::ErrorInvalidFile, longName.c_str());
  EXPECT_STREQ(file.what(), "Application File Error");
  EXPECT_EQ(std::string(file.GetFileName()), longName.substr(0, 259));
  EXPECT_EQ(file.GetSystemError(), 0);

  app::FileException empty;
  EXPECT_EQ(empty.GetCode(), 0);
  EXPECT_STREQ(empty.GetFileName(), "");
}

TEST(Buffer, EmptyBuffers) {
  app::UCharBuffer buffer;
  for (int32_t n : {0, -5}) {
    buffer.Allocate(n);
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(buffer.GetData(), nullptr);
    EXPECT_EQ(buffer.GetWritableData(), nullptr);
    EXPECT_EQ(buffer.GetLength(), 0);
  }
  buffer.Allocate(10);
  buffer.Resize(0);
  EXPECT_TRUE(buffer.IsEmpty());
}

TEST(Buffer, CopyOnWriteAndSharing) {
  app::UCharBuffer a;
  a.Allocate(4);
  std::memcpy(a.GetWritableData(), "abcd", 4);
  app::UCharBuffer b(a);
  EXPECT_EQ(a.GetData(), b.GetData());
  EXPECT_EQ(a.GetReferences(), 2);

  // Reserve never shrinks and keeps a large enough shared block shared.
  b.Reserve(3);
  EXPECT_EQ(a.GetData(), b.GetData());

  b.GetWritableData()[0] = 'X';
  EXPECT_NE(a.GetData(), b.GetData());
  EXPECT_EQ(a.GetReferences(), 1);
  EXPECT_EQ(std::memcmp(a.GetData(), "abcd", 4), 0);
  EXPECT_EQ(std::memcmp(b.GetData(), "Xbcd", 4), 0);

  // Growing a shared buffer keeps the old bytes at the front and leaves the sharer alone.
  app::UCharBuffer c(a);
  c.Resize(8);
  EXPECT_EQ(c.GetLength(), 8);
  EXPECT_EQ(std::memcmp(c.GetData(), "abcd", 4), 0);
  EXPECT_EQ(a.GetLength(), 4);
  EXPECT_EQ(a.GetReferences(), 1);

  // Swap exchanges holders without copying or counting.
  const unsigned char *aData = a.GetData(), *cData = c.GetData();
  a.Swap(c);
  EXPECT_EQ(a.GetData(), cData);
  EXPECT_EQ(c.GetData(), aData);
  EXPECT_EQ(a.GetLength(), 8);
  EXPECT_EQ(a.GetReferences(), 1);
}

TEST(Buffer, FailedAllocationsKeepTheOldState) {
  app::BufferHeapStatistics &heap = app::GetBufferHeapStatistics();
  app::UCharBuffer a;
  a.Allocate(4);
  std::memcpy(a.GetWritableData(), "abcd", 4);

  heap.FailCountdown = 0; // a failed reallocation keeps the old block
  EXPECT_THROW(a.Resize(100), Exception);
  EXPECT_EQ(a.GetLength(), 4);
  EXPECT_EQ(std::memcmp(a.GetData(), "abcd", 4), 0);

  app::UCharBuffer shared(a);
  heap.FailCountdown = 0; // a failed copy keeps the shared holder
  EXPECT_THROW(shared.GetWritableData(), Exception);
  EXPECT_EQ(shared.GetData(), a.GetData());
  EXPECT_EQ(a.GetReferences(), 2);

  heap.FailCountdown = 0; // a failed allocate leaves a holder without a block
  EXPECT_EQ(CodeOf([] {
              app::UCharBuffer b;
              app::GetBufferHeapStatistics().FailCountdown = 0;
              b.Allocate(8);
            }),
            app::ErrorOutOfMemory);
  app::UCharBuffer c;
  heap.FailCountdown = 0;
  EXPECT_THROW(c.Allocate(8), Exception);
  EXPECT_FALSE(c.IsEmpty());
  EXPECT_EQ(c.GetLength(), 0);
  EXPECT_EQ(c.GetData(), nullptr);
  c.Allocate(8);
  EXPECT_EQ(c.GetLength(), 8);
  heap.FailCountdown = -1;
}

TEST(Image, DerivedSizes) {
  app::Image image;
  image.Create(0, 0, 4);
  EXPECT_EQ(image.GetByteSize(), 0);

  image.Create(5, 2, 3);
  EXPECT_EQ(image.GetRowLength(), 15);
  EXPECT_EQ(image.GetRowPadding(), 1);
  EXPECT_EQ(image.GetStride(), 16);
  EXPECT_EQ(image.GetByteSize(), 32);
  EXPECT_EQ(image.GetPixel(2, 1) - image.GetBits(), 16 + 6);
  const app::IMAGE_HEADER &header = image.GetHeader();
  EXPECT_EQ(header.Size, 40u);
  EXPECT_EQ(header.Width, 5);
  EXPECT_EQ(header.Height, -2);
  EXPECT_EQ(header.BitCount, 24);
  EXPECT_EQ(header.Planes, 1);
}

TEST(Image, BadSizesThrowAndKeepTheOldSizes) {
  app::Image image;
  image.Create(7, 3, 4);
  struct Case {
    int32_t width, height;
  } cases[] = {{-1, 1}, {1, -1}, {65536, 65536}, {INT32_MAX, 1}, {536870912, 1}};
  for (const Case &c : cases) {
    try {
      image.Create(c.width, c.height, 4);
      ADD_FAILURE() << c.width << " x " << c.height << " was accepted";
    } catch (const Exception &e) {
      EXPECT_EQ(e.GetCode(), app::ErrorImageSize);
    }
    EXPECT_EQ(image.GetWidth(), 7);
    EXPECT_EQ(image.GetHeight(), 3);
  }
}

TEST(Image, StorageReuse) {
  app::Image image;
  image.Create(4, 4, 4);
  image.GetWritableBits()[0] = 42;
  const unsigned char *block = image.GetBits();
  // Create keeps a large enough block and its bytes; Reset never does.
  image.Create(2, 2, 4);
  EXPECT_EQ(image.GetBits(), block);
  EXPECT_EQ(image.GetBits()[0], 42);

  app::Image same;
  same.Create(2, 2, 4);
  const unsigned char *sameBlock = same.GetBits();
  same.CopyFrom(image);
  EXPECT_EQ(same.GetBits(), sameBlock);
  EXPECT_EQ(same.GetBits()[0], 42);

  app::Image other;
  other.Create(3, 1, 3);
  other.CopyFrom(image);
  EXPECT_EQ(other.GetWidth(), 2);
  EXPECT_EQ(other.GetBytesPerPixel(), 4);
  EXPECT_EQ(std::memcmp(other.GetBits(), image.GetBits(), 16), 0);

  image.Clear();
  EXPECT_EQ(image.GetBits()[0], 0);
}

TEST(Random, SeededSequencesRepeatWithinRange) {
  app::SeedRandom(7);
  int32_t first[64];
  for (int32_t &v : first) {
    v = app::Random();
    EXPECT_GE(v, 0);
    EXPECT_LE(v, app::RandomMax);
  }
  app::SeedRandom(7);
  for (int32_t v : first)
    EXPECT_EQ(app::Random(), v);
  // The sequence is fixed: both builds and every test run see the same numbers.
  app::SeedRandom(1);
  EXPECT_EQ(app::Random(), 41);
  EXPECT_EQ(app::Random(), 18467);
}

} // namespace
