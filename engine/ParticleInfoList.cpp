#include "engine/ParticleInfoList.h"

#include "foundation/Buffer.h"

#include <stdexcept>

namespace app {

namespace {

enum { GrowthStep = 64, KeyWords = ParticleKeySize / 8 };
static_assert(ParticleKeySize % 8 == 0, "keys are compared eight bytes at a time");

uint64_t LoadWord(const unsigned char *key, int32_t word) {
  uint64_t value;
  std::memcpy(&value, key + word * 8, sizeof value);
  return value;
}

int32_t LowestBit(uint64_t x) {
  int32_t n = 0;
  while ((x & 0xFFu) == 0) {
    x >>= 8;
    n += 8;
  }
  while ((x & 1u) == 0) {
    x >>= 1;
    ++n;
  }
  return n;
}

// Where a key was found, or where it belongs.
struct PLACE {
  int32_t Found = -1;        // the item holding the key, -1 when absent
  int32_t Parent = -1;       // absent: the item whose link receives the new item
  int32_t Bit = -1;          // absent: the first bit in which the key differs on the path
  bool AfterSibling = false; // absent: link through Parent's NextSibling (else FirstChild)
  int32_t *Link = nullptr;   // found: the link that points at the found item
};

} // namespace

void ReadKey(const PARTICLE_INFO_ITEM &item, SPRAYSTYLE &style) {
  std::memcpy(static_cast<void *>(&style), item.Key, ParticleKeySize);
}

int32_t FirstDifference(const unsigned char *a, const unsigned char *b, int32_t start) {
  if (start < 0)
    start = 0;
  if (start >= ParticleKeyBits)
    return -1;
  int32_t word = start / 64;
  // Little-endian words keep the bit numbering: bit n of a word is bit n % 8 of byte n / 8.
  uint64_t x = (LoadWord(a, word) ^ LoadWord(b, word)) & (~uint64_t(0) << (start % 64));
  for (;;) {
    if (x != 0)
      return word * 64 + LowestBit(x);
    if (++word == KeyWords)
      return -1;
    x = LoadWord(a, word) ^ LoadWord(b, word);
  }
}

struct ParticleInfoListMember {
  Buffer<PARTICLE_INFO_ITEM> Items;
  int32_t ItemCount = 0;
  int32_t FreeHead = -1;
  int32_t Root = -1;

  PARTICLE_INFO_ITEM *Writable() { return Items.GetWritableItems(); }
  int32_t Capacity() const {
    return Items.GetLength() / static_cast<int32_t>(sizeof(PARTICLE_INFO_ITEM));
  }
  void Reserve(int32_t items) {
    Items.Reserve(items * static_cast<int32_t>(sizeof(PARTICLE_INFO_ITEM)));
  }

  PLACE Search(const unsigned char *key) {
    PARTICLE_INFO_ITEM *items = Writable();
    PLACE place;
    int32_t a = Root;
    int32_t start = 0;
    int32_t *link = &Root;
    for (;;) {
      int32_t d = FirstDifference(items[a].Key, key, start);
      if (d == -1) {
        place.Found = a;
        place.Link = link;
        return place;
      }
      place.Bit = d;
      place.AfterSibling = false;
      if (items[a].FirstChild == -1) {
        place.Parent = a;
        return place;
      }
      int32_t previous = a;
      int32_t x = items[a].FirstChild;
      bool descended = false;
      while (!descended) {
        if (d < items[x].Bit) {
          place.Parent = previous;
          return place;
        }
        if (d == items[x].Bit) {
          link = place.AfterSibling ? &items[previous].NextSibling : &items[previous].FirstChild;
          a = x;
          start = d + 1;
          descended = true;
          continue;
        }
        place.AfterSibling = true;
        if (items[x].NextSibling == -1) {
          place.Parent = x;
          return place;
        }
        previous = x;
        x = items[x].NextSibling;
      }
    }
  }
};

ParticleInfoList::ParticleInfoList() : Member(new ParticleInfoListMember) {}

ParticleInfoList::~ParticleInfoList() = default;

int32_t ParticleInfoList::Register(const SPRAYSTYLE &style) {
  ParticleInfoListMember &m = *Member;
  PARTICLE_INFO_ITEM item;
  MakeSprayStyleKey(style, item.Key);
  item.References = 0;
  item.Bit = -1;
  item.NextSibling = -1;
  item.FirstChild = -1;

  if (m.Root == -1) {
    m.Reserve(GrowthStep);
    item.References = 1;
    m.Writable()[0] = item;
    m.ItemCount = 1;
    m.FreeHead = -1;
    m.Root = 0;
    return 0;
  }

  PLACE place = m.Search(item.Key);
  if (place.Found != -1) {
    ++m.Writable()[place.Found].References;
    return place.Found;
  }

  if (m.FreeHead == -1) {
    m.Reserve((m.ItemCount + GrowthStep) / GrowthStep * GrowthStep);
    PARTICLE_INFO_ITEM &added = m.Writable()[m.ItemCount];
    added.References = m.FreeHead;
    added.Bit = -1;
    added.NextSibling = -1;
    added.FirstChild = -1;
    m.FreeHead = m.ItemCount;
    ++m.ItemCount;
  }

  PARTICLE_INFO_ITEM *items = m.Writable();
  int32_t n = m.FreeHead;
  m.FreeHead = items[n].References;
  item.References = 1;
  item.Bit = place.Bit;
  int32_t &link =
      place.AfterSibling ? items[place.Parent].NextSibling : items[place.Parent].FirstChild;
  item.NextSibling = link;
  items[n] = item;
  link = n;
  return n;
}

void ParticleInfoList::AddReference(int32_t index) { ++Member->Writable()[index].References; }

void ParticleInfoList::Release(int32_t index) {
  ParticleInfoListMember &m = *Member;
  if (!IsInUse(index))
    throw std::out_of_range("particle settings index not in use");
  PARTICLE_INFO_ITEM *items = m.Writable();
  PARTICLE_INFO_ITEM &r = items[index];
  if (--r.References > 0)
    return;

  int32_t *link = m.Search(r.Key).Link;
  r.References = m.FreeHead;
  m.FreeHead = index;

  if (r.FirstChild == -1) {
    *link = r.NextSibling;
    return;
  }
  int32_t f = r.FirstChild;
  int32_t p = -1;
  int32_t e = f;
  while (items[e].NextSibling != -1) {
    p = e;
    e = items[e].NextSibling;
  }
  *link = e;
  items[e].Bit = r.Bit;
  items[e].NextSibling = r.NextSibling;
  if (e == f)
    return;
  items[p].NextSibling = items[e].FirstChild;
  items[e].FirstChild = f;
}

bool ParticleInfoList::IsEmpty() const { return Member->Root == -1; }

bool ParticleInfoList::IsInUse(int32_t index) const {
  ParticleInfoListMember &m = *Member;
  if (index < 0 || index >= m.ItemCount || m.Root == -1)
    return false;
  return m.Search(m.Items.GetItems()[index].Key).Found == index;
}

const PARTICLE_INFO_ITEM &ParticleInfoList::GetItem(int32_t index) const {
  return Member->Items.GetItems()[index];
}

const PARTICLE_INFO_ITEM *ParticleInfoList::GetItems() const { return Member->Items.GetItems(); }

int32_t ParticleInfoList::GetItemCount() const { return Member->ItemCount; }

int32_t ParticleInfoList::GetCapacity() const { return Member->Capacity(); }

int32_t ParticleInfoList::GetFreeHead() const { return Member->FreeHead; }

int32_t ParticleInfoList::GetRoot() const { return Member->Root; }

} // namespace app
