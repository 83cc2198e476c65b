// The undo and redo store of the painting document.
//
// A history is a list of records, one per undo step; a record holds items; an item holds
// zlib-compressed blocks made by the delays (in practice one block: the byte-wise difference of
// the picture against its last recorded state), a directory that says which block comes next,
// and two four-character tags. A position splits the records into undoable steps (before it)
// and redoable ones (from it on). The HistoryMax option caps the number of records and 0 turns
// recording off. Writers and readers (HistoryAccess.h) are the only way in and out.
#pragma once

#include "foundation/Buffer.h"

#include <cstdint>
#include <memory>

namespace app {

class Delay;
struct OPTIONS;

struct PtrDequeMember;

// The untyped core of PtrDeque: a double-ended queue of owned pointers, each destroyed with
// the function given at construction.
class PtrDequeBase {
public:
  PtrDequeBase(const PtrDequeBase &) = delete;
  PtrDequeBase &operator=(const PtrDequeBase &) = delete;

  int32_t GetCount() const;
  // Destroys the objects at positions first to last - 1; throws std::out_of_range unless
  // 0 <= first <= last <= count.
  void Erase(int32_t first, int32_t last);

protected:
  using Destroyer = void (*)(void *);
  explicit PtrDequeBase(Destroyer destroy);
  ~PtrDequeBase();

  // Takes ownership only when it succeeds; on failure the caller still owns the object.
  void AppendPointer(void *item);
  // Throws std::out_of_range for a position outside 0 .. count - 1.
  void *GetPointer(int32_t index) const;

private:
  std::unique_ptr<PtrDequeMember> Member;
};

// A double-ended queue of owned objects: appending and erasing at either end never moves them.
template <typename T> class PtrDeque : public PtrDequeBase {
public:
  PtrDeque() : PtrDequeBase(&DestroyItem) {}

  void Append(std::unique_ptr<T> item) {
    AppendPointer(item.get());
    item.release();
  }
  T &At(int32_t index) const { return *static_cast<T *>(GetPointer(index)); }

private:
  static void DestroyItem(void *item) { delete static_cast<T *>(item); }
};

struct HistoryItemMember;

// One item of a record: compressed blocks, their directory, and the owner and kind tags.
class HistoryItem {
public:
  HistoryItem();
  HistoryItem(const HistoryItem &) = delete;
  HistoryItem &operator=(const HistoryItem &) = delete;
  ~HistoryItem();

  // Compresses the whole source into a new block and appends a directory entry for it at the
  // write position, which moves past the entry.
  void AppendBlock(int32_t &writePosition, Delay &source);
  // Reads the directory entry at the read position (which moves past it) and puts a
  // decompressing delay over that entry's block into the slot, destroying what it held.
  // A position or block number outside the item throws std::out_of_range.
  void OpenBlock(int32_t &readPosition, std::unique_ptr<Delay> &slot) const;
  void SetTags(int32_t owner, int32_t kind);
  int32_t GetOwner() const;
  int32_t GetKind() const;
  // The directory's length in bytes (its reserved capacity while the item is being written).
  int32_t GetDirectoryLength() const;
  void TrimDirectory(int32_t length);

  int32_t GetBlockCount() const;
  // Compressed bytes of one block; throws std::out_of_range for an unknown block.
  int32_t GetBlockLength(int32_t index) const;

private:
  std::unique_ptr<HistoryItemMember> Member;
};

using HistoryRecord = PtrDeque<HistoryItem>;
using HistoryList = PtrDeque<HistoryRecord>;
using DataList = PtrDeque<UCharBuffer>;

struct HistoryMember;

class History {
public:
  // The history reads HistoryMax from the options record each time it needs it; the record
  // must outlive the history.
  explicit History(const OPTIONS &options);
  History(const History &) = delete;
  History &operator=(const History &) = delete;
  ~History();

  // False, changing nothing, when HistoryMax is 0. Otherwise opens one more (possibly nested)
  // write; the outermost one starts a new pending record.
  bool BeginWrite();
  // Adds an item to the pending record (an item given while no record is pending is dropped).
  void AddItem(std::unique_ptr<HistoryItem> item);
  // Closes one write; the outermost files the pending record as the newest undo step, erasing
  // the redo steps and then the oldest steps beyond HistoryMax. An empty record files nothing,
  // nor does any record once HistoryMax has become 0.
  void EndWrite();
  // Closes one write and discards the pending record.
  void AbortWrite();

  void BeginRead(bool backward);
  // The next item of the record being undone (last item first) or redone (first item first);
  // null after the last. Throws std::out_of_range when there is no such record.
  HistoryItem *NextItem();
  // Ends the read and moves the position by one record.
  void EndRead();
  // Ends the read and leaves the position where it was.
  void AbortRead();

  bool CanUndo() const;
  bool CanRedo() const;
  int32_t GetCount() const;
  int32_t GetPosition() const;
  // Cuts the history to HistoryMax records: the redo steps go first, then the oldest.
  void ApplyLimit();

private:
  std::unique_ptr<HistoryMember> Member;
};

} // namespace app
