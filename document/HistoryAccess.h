// The short-lived objects through which changes go into the history and come back out.
//
// Each is made on the stack for one operation. Its destructor ends an operation that an
// exception interrupted: an open writer discards its pending record (the history stays as it
// was), an open reader ends the read without moving the undo position.
#pragma once

#include <cstdint>
#include <memory>

namespace app {

class Delay;
class History;

struct HistoryWriterMember;

class HistoryWriter {
public:
  explicit HistoryWriter(History &history);
  HistoryWriter(const HistoryWriter &) = delete;
  HistoryWriter &operator=(const HistoryWriter &) = delete;
  ~HistoryWriter();

  // Opens a write; false (and the writer stays closed) when the history records nothing.
  bool Begin();
  // Compresses the whole source into a new block of the item being built.
  void Write(Delay &source);
  // Files the item being built (when a block was written) with its tags and starts a new one.
  void Commit(int32_t owner, int32_t kind);
  // Closes the write: the history files the pending record if it holds an item.
  void End();

private:
  std::unique_ptr<HistoryWriterMember> Member;
};

struct HistoryReaderMember;

class HistoryReader {
public:
  explicit HistoryReader(History &history);
  HistoryReader(const HistoryReader &) = delete;
  HistoryReader &operator=(const HistoryReader &) = delete;
  ~HistoryReader();

  // Starts replaying the record before the undo position (backward) or at it (forward).
  void Begin(bool backward);
  bool IsEnd() const;
  int32_t GetKind() const;
  // Puts a decompressing delay over the current item's next block into the slot.
  void ReadBlock(std::unique_ptr<Delay> &slot);
  void Next();
  // Ends the replay and moves the undo position by one record.
  void End();

private:
  std::unique_ptr<HistoryReaderMember> Member;
};

} // namespace app
