// The shared settings of the particles: every distinct engine-unit spray record is kept once
// and found again by its exact key bytes.
//
// Each particle stores only the index of its item and holds one reference to it; tools hold
// one more for the stroke in progress. Lookup walks a bitwise prefix tree that lives inside
// the items themselves (no separate nodes): a child differs from its parent first at its
// `Bit`, and the children of an item are chained in increasing order of `Bit`. Items are never
// moved, so an index stays valid while it is referenced; storage grows in steps of 64 items.
#pragma once

#include "engine/SprayStyle.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace app {

enum { ParticleKeySize = SprayStyleKeySize, ParticleKeyBits = ParticleKeySize * 8 };

// One shared settings record (184 bytes).
struct PARTICLE_INFO_ITEM {
  // The leading part of an engine-unit SPRAYSTYLE, Color up to UseSplit in the record's own
  // layout, every byte between fields and after UseSplit zero. Bit n is bit n % 8 (0 the least
  // significant) of byte n / 8.
  alignas(8) unsigned char Key[ParticleKeySize];
  int32_t References;  // holders while in use; while free, the next free item (-1 ends)
  int32_t Bit;         // first bit in which Key differs from the parent's Key; -1 for the root
  int32_t NextSibling; // next item in the parent's child chain, -1 if none
  int32_t FirstChild;  // first item of this item's child chain, -1 if none
};
static_assert(sizeof(PARTICLE_INFO_ITEM) == 184, "settings item layout");

// Reads one field of the settings in a key, given its offset in SPRAYSTYLE; for example
// KeyField<double>(item, offsetof(SPRAYSTYLE, Brake)).
template <typename T> inline T KeyField(const PARTICLE_INFO_ITEM &item, size_t offset) {
  T value;
  std::memcpy(&value, item.Key + offset, sizeof(T));
  return value;
}

// Copies the settings of a key into the leading part of a record (the emission fields of
// `style` are left as they are).
void ReadKey(const PARTICLE_INFO_ITEM &item, SPRAYSTYLE &style);

// The first bit at or after bit `start` in which two keys differ, -1 if none does.
int32_t FirstDifference(const unsigned char *a, const unsigned char *b, int32_t start);

struct ParticleInfoListMember;

class ParticleInfoList {
public:
  ParticleInfoList();
  ParticleInfoList(const ParticleInfoList &) = delete;
  ParticleInfoList &operator=(const ParticleInfoList &) = delete;
  ~ParticleInfoList();

  // Finds the item with the key of `style` (engine units) and adds a reference, or inserts a
  // new item with one reference. Returns the item's index. Throws code 3 when storage cannot
  // grow; the list is then unchanged.
  int32_t Register(const SPRAYSTYLE &style);
  // One more holder of an item in use.
  void AddReference(int32_t index);
  // One holder less; the last release takes the item out of the tree onto the free chain.
  // Releasing an index that is not in use throws std::out_of_range and changes nothing.
  void Release(int32_t index);

  // True when no item is in use.
  bool IsEmpty() const;
  // True when `index` names an item that is in use.
  bool IsInUse(int32_t index) const;

  // Reading the items (indices 0 .. GetItemCount() - 1); no range test.
  const PARTICLE_INFO_ITEM &GetItem(int32_t index) const;
  // The items themselves, for the engine's per-particle reads.
  const PARTICLE_INFO_ITEM *GetItems() const;

  // The tree's bookkeeping, for diagnostics and tests.
  int32_t GetItemCount() const; // item positions handed out so far (in use or free)
  int32_t GetCapacity() const;  // items the storage has room for
  int32_t GetFreeHead() const;  // first free item, -1 if none
  int32_t GetRoot() const;      // -1 when the list is empty

private:
  std::unique_ptr<ParticleInfoListMember> Member;
};

} // namespace app
