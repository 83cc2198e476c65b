#include "document/History.h"

#include "document/Delay.h"
#include "foundation/Exception.h"
#include "plugin/Options.h"

#include <cstring>
#include <deque>
#include <stdexcept>

namespace app {

// ---------------------------------------------------------------------------------------------

struct PtrDequeMember {
  std::deque<void *> Items;
  void (*Destroy)(void *) = nullptr;
};

PtrDequeBase::PtrDequeBase(Destroyer destroy) : Member(std::make_unique<PtrDequeMember>()) {
  Member->Destroy = destroy;
}

PtrDequeBase::~PtrDequeBase() { Erase(0, GetCount()); }

int32_t PtrDequeBase::GetCount() const { return static_cast<int32_t>(Member->Items.size()); }

void PtrDequeBase::Erase(int32_t first, int32_t last) {
  if (first < 0 || first > last || last > GetCount())
    throw std::out_of_range("PtrDeque::Erase");
  std::deque<void *> &items = Member->Items;
  for (int32_t i = first; i < last; ++i) {
    void *item = items[static_cast<size_t>(i)];
    items[static_cast<size_t>(i)] = nullptr;
    Member->Destroy(item);
  }
  items.erase(items.begin() + first, items.begin() + last);
}

void PtrDequeBase::AppendPointer(void *item) { Member->Items.push_back(item); }

void *PtrDequeBase::GetPointer(int32_t index) const {
  if (index < 0 || index >= GetCount())
    throw std::out_of_range("PtrDeque::At");
  return Member->Items[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------------------------

namespace {

enum {
  EntrySize = 8,        // entry type, block number: two little-endian int32
  EntryCompressed = 2,  // a compressed block follows
  DirectoryStep = 1024, // the directory grows in steps of this many bytes
};

void PutInt(unsigned char *at, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  at[0] = static_cast<unsigned char>(v);
  at[1] = static_cast<unsigned char>(v >> 8);
  at[2] = static_cast<unsigned char>(v >> 16);
  at[3] = static_cast<unsigned char>(v >> 24);
}

int32_t GetInt(const unsigned char *at) {
  return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                              static_cast<uint32_t>(at[2]) << 16 |
                              static_cast<uint32_t>(at[3]) << 24);
}

} // namespace

struct HistoryItemMember {
  DataList Blocks;
  UCharBuffer Directory;
  int32_t Owner = 0;
  int32_t Kind = 0;
};

HistoryItem::HistoryItem() : Member(std::make_unique<HistoryItemMember>()) {}

HistoryItem::~HistoryItem() = default;

void HistoryItem::AppendBlock(int32_t &writePosition, Delay &source) {
  HistoryItemMember &m = *Member;
  auto block = std::make_unique<UCharBuffer>();
  {
    DelayCompress compressor(source, true);
    ReadAll(compressor, *block);
  }
  // Room for the entry before the block goes in, so that a failure leaves no block without
  // an entry.
  const int32_t p = writePosition;
  m.Directory.Reserve(AddInts(p, EntrySize + DirectoryStep) / DirectoryStep * DirectoryStep);
  const int32_t number = m.Blocks.GetCount();
  m.Blocks.Append(std::move(block));
  unsigned char *directory = m.Directory.GetWritableData();
  PutInt(directory + p, EntryCompressed);
  PutInt(directory + p + 4, number);
  writePosition = p + EntrySize;
}

void HistoryItem::OpenBlock(int32_t &readPosition, std::unique_ptr<Delay> &slot) const {
  const HistoryItemMember &m = *Member;
  const int32_t p = readPosition;
  if (p < 0 || p > m.Directory.GetLength() - EntrySize)
    throw std::out_of_range("HistoryItem::OpenBlock");
  // The entry type is not examined: every entry describes a compressed block.
  const int32_t number = GetInt(m.Directory.GetData() + p + 4);
  const UCharBuffer &block = m.Blocks.At(number);
  readPosition = p + EntrySize;
  auto compressed = std::make_unique<DelayBuffer>(block.GetData(), block.GetLength());
  slot = std::make_unique<DelayCompress>(std::move(compressed), false);
}

void HistoryItem::SetTags(int32_t owner, int32_t kind) {
  Member->Owner = owner;
  Member->Kind = kind;
}

int32_t HistoryItem::GetOwner() const { return Member->Owner; }

int32_t HistoryItem::GetKind() const { return Member->Kind; }

int32_t HistoryItem::GetDirectoryLength() const { return Member->Directory.GetLength(); }

void HistoryItem::TrimDirectory(int32_t length) { Member->Directory.Resize(length); }

int32_t HistoryItem::GetBlockCount() const { return Member->Blocks.GetCount(); }

int32_t HistoryItem::GetBlockLength(int32_t index) const {
  return Member->Blocks.At(index).GetLength();
}

// ---------------------------------------------------------------------------------------------

struct HistoryMember {
  const OPTIONS *Options = nullptr;
  HistoryList Records;
  std::unique_ptr<HistoryRecord> Pending;
  int32_t WriteDepth = 0;
  int32_t Position = 0;
  int32_t ReadIndex = 0;
  bool Reading = false;
  bool ReadingBack = false;

  int32_t GetMax() const { return Options->HistoryMax > 0 ? Options->HistoryMax : 0; }

  // Erases the redo steps, then as many of the oldest steps as needed to leave `keep`.
  void Cut(int32_t keep) {
    Records.Erase(Position, Records.GetCount());
    const int32_t n = Records.GetCount() - keep;
    if (n > 0) {
      Records.Erase(0, n);
      Position -= n;
    }
  }
};

History::History(const OPTIONS &options) : Member(std::make_unique<HistoryMember>()) {
  Member->Options = &options;
}

History::~History() = default;

bool History::BeginWrite() {
  HistoryMember &m = *Member;
  if (m.GetMax() == 0)
    return false;
  m.WriteDepth += 1;
  if (!m.Reading && m.WriteDepth == 1) {
    m.Pending.reset();
    try {
      m.Pending = std::make_unique<HistoryRecord>();
    } catch (...) {
      m.WriteDepth -= 1;
      throw;
    }
  }
  return true;
}

void History::AddItem(std::unique_ptr<HistoryItem> item) {
  if (Member->Pending)
    Member->Pending->Append(std::move(item));
}

void History::EndWrite() {
  HistoryMember &m = *Member;
  m.WriteDepth -= 1;
  if (m.Reading || m.WriteDepth != 0)
    return;
  std::unique_ptr<HistoryRecord> pending = std::move(m.Pending);
  const int32_t max = m.GetMax();
  if (!pending || pending->GetCount() == 0 || max == 0)
    return;
  // The new record goes in first: appending is the one step that can fail, and then nothing
  // has been erased yet. The steps before it are then cut to leave room for it.
  m.Records.Append(std::move(pending));
  const int32_t last = m.Records.GetCount() - 1;
  m.Records.Erase(m.Position, last);
  const int32_t n = m.Records.GetCount() - max;
  if (n > 0)
    m.Records.Erase(0, n);
  m.Position = m.Records.GetCount();
}

void History::AbortWrite() {
  Member->WriteDepth -= 1;
  Member->Pending.reset();
}

void History::BeginRead(bool backward) {
  Member->Reading = true;
  Member->ReadIndex = 0;
  Member->ReadingBack = backward;
}

HistoryItem *History::NextItem() {
  HistoryMember &m = *Member;
  const HistoryRecord &record = m.Records.At(m.ReadingBack ? m.Position - 1 : m.Position);
  const int32_t count = record.GetCount();
  if (m.ReadIndex >= count)
    return nullptr;
  HistoryItem &item = record.At(m.ReadingBack ? count - 1 - m.ReadIndex : m.ReadIndex);
  m.ReadIndex += 1;
  return &item;
}

void History::EndRead() {
  HistoryMember &m = *Member;
  m.Position += m.ReadingBack ? -1 : 1;
  m.Reading = false;
}

void History::AbortRead() { Member->Reading = false; }

bool History::CanUndo() const { return Member->Position > 0; }

bool History::CanRedo() const { return Member->Position < Member->Records.GetCount(); }

int32_t History::GetCount() const { return Member->Records.GetCount(); }

int32_t History::GetPosition() const { return Member->Position; }

void History::ApplyLimit() {
  HistoryMember &m = *Member;
  const int32_t max = m.GetMax();
  if (max >= m.Records.GetCount())
    return;
  m.Cut(max);
}

} // namespace app
