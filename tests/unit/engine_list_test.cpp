#include "engine/ParticleInfoList.h"
#include "foundation/Buffer.h"
#include "foundation/Exception.h"
#include "foundation/Random.h"

#include "tests/unit/engine_test_support.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

using app::ParticleInfoList;
using app::SPRAYSTYLE;

SPRAYSTYLE WithLife(int32_t life) {
  SPRAYSTYLE style = enginetest::EngineStyle();
  style.Life = life;
  return style;
}

// Walks the tree and checks its invariants; returns the number of items in it.
int32_t CheckTree(const ParticleInfoList &list, int32_t at, int32_t &depthGuard) {
  const app::PARTICLE_INFO_ITEM &a = list.GetItem(at);
  EXPECT_GT(a.References, 0) << "item " << at << " in the tree must be in use";
  int32_t count = 1;
  int32_t previousBit = a.Bit;
  for (int32_t x = a.FirstChild; x != -1; x = list.GetItem(x).NextSibling) {
    if (++depthGuard > 100000) {
      ADD_FAILURE() << "cycle in the tree";
      return count;
    }
    const app::PARTICLE_INFO_ITEM &child = list.GetItem(x);
    EXPECT_GT(child.Bit, previousBit) << "children in increasing bit order, above the parent";
    EXPECT_EQ(app::FirstDifference(a.Key, child.Key, 0), child.Bit)
        << "a child equals its parent below its bit and differs at it";
    previousBit = child.Bit;
    count += CheckTree(list, x, depthGuard);
  }
  return count;
}

int32_t CheckTree(const ParticleInfoList &list) {
  if (list.GetRoot() == -1)
    return 0;
  EXPECT_EQ(list.GetItem(list.GetRoot()).Bit, -1);
  EXPECT_EQ(list.GetItem(list.GetRoot()).NextSibling, -1);
  int32_t guard = 0;
  return CheckTree(list, list.GetRoot(), guard);
}

TEST(ParticleKeyBits, FirstDifferenceFindsTheLowestDifferingBitFromTheStart) {
  struct Case {
    std::vector<int32_t> flipped; // bits set in b only
    int32_t start;
    int32_t expected;
  } cases[] = {
      {{}, 0, -1},          {{0}, 0, 0},         {{5}, 0, 5},        {{63}, 0, 63},
      {{64}, 0, 64},        {{1343}, 0, 1343},   {{3, 900}, 0, 3},   {{3, 900}, 4, 900},
      {{3, 900}, 900, 900}, {{3, 900}, 901, -1}, {{1343}, 1344, -1}, {{70, 71}, 71, 71},
  };
  for (const Case &c : cases) {
    unsigned char a[app::ParticleKeySize] = {};
    unsigned char b[app::ParticleKeySize] = {};
    for (int32_t bit : c.flipped)
      b[bit / 8] ^= static_cast<unsigned char>(1u << (bit % 8));
    EXPECT_EQ(app::FirstDifference(a, b, c.start), c.expected) << "start " << c.start;
  }
}

TEST(ParticleInfoList, SharesIdenticalRecordsAndEmptiesOnTheLastRelease) {
  ParticleInfoList list;
  EXPECT_TRUE(list.IsEmpty());
  const SPRAYSTYLE style = enginetest::EngineStyle();
  EXPECT_EQ(list.Register(style), 0);
  EXPECT_EQ(list.Register(style), 0);
  EXPECT_EQ(list.GetItem(0).References, 2);
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(list.GetCapacity(), 64);

  SPRAYSTYLE read = app::DefaultSprayStyle();
  app::ReadKey(list.GetItem(0), read);
  EXPECT_EQ(read.Brake, style.Brake);
  EXPECT_EQ(read.Life, style.Life);
  EXPECT_EQ(read.Color.Colors[0], style.Color.Colors[0]);

  list.Release(0);
  EXPECT_FALSE(list.IsEmpty());
  list.Release(0);
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetFreeHead(), 0);

  // A list that became empty starts over at position 0.
  const SPRAYSTYLE other = WithLife(7);
  EXPECT_EQ(list.Register(other), 0);
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(list.GetFreeHead(), -1);
  EXPECT_EQ(list.GetCapacity(), 64);
}

TEST(ParticleInfoList, RecordsDifferingInLifeBranchInsideLifesBytes) {
  ParticleInfoList list;
  EXPECT_EQ(list.Register(WithLife(20)), 0);
  EXPECT_EQ(list.Register(WithLife(21)), 1);
  const int32_t bit = list.GetItem(1).Bit;
  EXPECT_GE(bit, int32_t(offsetof(SPRAYSTYLE, Life) * 8));
  EXPECT_LT(bit, int32_t((offsetof(SPRAYSTYLE, Life) + 4) * 8));
  EXPECT_EQ(bit, int32_t(offsetof(SPRAYSTYLE, Life) * 8)); // 20 and 21 differ in bit 0
  EXPECT_EQ(list.GetItem(0).FirstChild, 1);
  EXPECT_EQ(CheckTree(list), 2);
}

TEST(ParticleInfoList, ReleasingAParentPromotesTheChildWithTheLargestBit) {
  ParticleInfoList list;
  // 20 = 10100b; 21, 22 and 16 each differ from it in one bit (0, 1 and 2) of Life.
  const int32_t root = list.Register(WithLife(20));
  const int32_t b0 = list.Register(WithLife(21));
  const int32_t b1 = list.Register(WithLife(22));
  const int32_t b2 = list.Register(WithLife(16));
  const int32_t lifeBit = int32_t(offsetof(SPRAYSTYLE, Life) * 8);
  EXPECT_EQ(list.GetItem(root).FirstChild, b0);
  EXPECT_EQ(list.GetItem(b0).NextSibling, b1);
  EXPECT_EQ(list.GetItem(b1).NextSibling, b2);
  EXPECT_EQ(list.GetItem(b2).Bit, lifeBit + 2);

  list.Release(root);
  EXPECT_EQ(list.GetRoot(), b2);
  EXPECT_EQ(list.GetItem(b2).Bit, -1);
  EXPECT_EQ(list.GetItem(b2).FirstChild, b0);
  EXPECT_EQ(list.GetItem(b0).NextSibling, b1);
  EXPECT_EQ(list.GetItem(b1).NextSibling, -1);
  EXPECT_EQ(CheckTree(list), 3);
  EXPECT_EQ(list.GetFreeHead(), root);

  // Every remaining key is still found; the freed position is reused for a new one.
  EXPECT_EQ(list.Register(WithLife(21)), b0);
  EXPECT_EQ(list.Register(WithLife(22)), b1);
  EXPECT_EQ(list.Register(WithLife(16)), b2);
  EXPECT_EQ(list.Register(WithLife(99)), root);
  EXPECT_EQ(list.GetItemCount(), 4);
  EXPECT_EQ(CheckTree(list), 4);
}

TEST(ParticleInfoList, GrowsInStepsOf64) {
  ParticleInfoList list;
  for (int32_t i = 0; i < 64; ++i)
    EXPECT_EQ(list.Register(WithLife(i)), i);
  EXPECT_EQ(list.GetCapacity(), 64);
  EXPECT_EQ(list.Register(WithLife(64)), 64);
  EXPECT_EQ(list.GetCapacity(), 128);
  EXPECT_EQ(list.GetItemCount(), 65);
  EXPECT_EQ(CheckTree(list), 65);
}

TEST(ParticleInfoList, FailuresChangeNothing) {
  ParticleInfoList list;
  for (int32_t i = 0; i < 64; ++i)
    list.Register(WithLife(i));
  app::GetBufferHeapStatistics().FailCountdown = 0;
  try {
    list.Register(WithLife(64));
    ADD_FAILURE() << "growing without memory must throw";
  } catch (const app::Exception &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorOutOfMemory);
  }
  app::GetBufferHeapStatistics().FailCountdown = -1;
  EXPECT_EQ(list.GetItemCount(), 64);
  EXPECT_EQ(CheckTree(list), 64);
  EXPECT_EQ(list.Register(WithLife(64)), 64);

  // Releasing what is not in use is refused: out of range, or free already.
  list.Release(3);
  EXPECT_THROW(list.Release(3), std::out_of_range);
  EXPECT_THROW(list.Release(-1), std::out_of_range);
  EXPECT_THROW(list.Release(65), std::out_of_range);
  EXPECT_EQ(list.GetFreeHead(), 3);
  EXPECT_EQ(CheckTree(list), 64);
}

// Random registrations and releases against a plain model of the reference counts: the tree
// keeps its invariants and holds exactly the keys in use, each once, with its count.
TEST(ParticleInfoList, KeepsItsInvariantsThroughRandomUse) {
  ParticleInfoList list;
  std::map<int32_t, int32_t> references; // index -> count
  std::map<int32_t, int32_t> indexOfVariant;
  std::map<int32_t, int32_t> variantOfIndex;
  app::SeedRandom(12345);
  for (int32_t step = 0; step < 4000; ++step) {
    const int32_t variant = app::Random() % 160;
    if (app::Random() % 3 != 0 || references.empty()) {
      SPRAYSTYLE style = enginetest::EngineStyle();
      // One key for each variant, with differences spread over the key: colour, a double, a
      // flag and an int.
      style.Color.Colors[0] = static_cast<uint32_t>(variant & 3);
      style.Repulsion = (variant >> 2) & 3;
      style.UseSplit = ((variant >> 4) & 1) != 0;
      style.Life = variant >> 5;
      const int32_t index = list.Register(style);
      auto known = indexOfVariant.find(variant);
      if (known != indexOfVariant.end() && references.count(known->second) != 0 &&
          variantOfIndex[known->second] == variant)
        EXPECT_EQ(index, known->second) << "a key in use is found again";
      else
        EXPECT_EQ(references.count(index), 0u) << "a new key gets a position not in use";
      indexOfVariant[variant] = index;
      variantOfIndex[index] = variant;
      ++references[index];
    } else {
      auto it = references.begin();
      std::advance(it, app::Random() % static_cast<int32_t>(references.size()));
      const int32_t index = it->first;
      list.Release(index);
      if (--it->second == 0)
        references.erase(it);
    }
    ASSERT_EQ(CheckTree(list), static_cast<int32_t>(references.size())) << "step " << step;
    ASSERT_EQ(list.IsEmpty(), references.empty());
    for (const auto &r : references)
      ASSERT_EQ(list.GetItem(r.first).References, r.second);
  }
}

} // namespace
