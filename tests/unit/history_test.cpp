#include "document/Delay.h"
#include "document/History.h"
#include "document/HistoryAccess.h"
#include "foundation/Exception.h"
#include "plugin/Options.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// A history over its own options record, filled with one-item records whose single block holds
// one text, so that replays can be told apart by the text they decompress.
class HistoryTest : public ::testing::Test {
protected:
  app::OPTIONS Options{40, 1, 0, 100};
  app::History History{Options};

  // One record whose items hold the given texts (an empty list: a write that commits nothing).
  void Record(const std::vector<std::string> &texts) {
    app::HistoryWriter writer(History);
    ASSERT_TRUE(writer.Begin());
    for (const std::string &text : texts) {
      app::DelayBuffer source(reinterpret_cast<const unsigned char *>(text.data()),
                              static_cast<int32_t>(text.size()));
      writer.Write(source);
      writer.Commit(1, 2);
    }
    writer.End();
  }
  void Record(const std::string &text) { Record(std::vector<std::string>{text}); }

  // Replays one record and returns the texts of its items in the order they were handed out.
  std::vector<std::string> Replay(bool backward) {
    std::vector<std::string> texts;
    app::HistoryReader reader(History);
    reader.Begin(backward);
    for (; !reader.IsEnd(); reader.Next()) {
      std::unique_ptr<app::Delay> slot;
      reader.ReadBlock(slot);
      app::UCharBuffer out;
      app::ReadAll(*slot, out);
      texts.emplace_back(reinterpret_cast<const char *>(out.GetData()),
                         static_cast<size_t>(out.GetLength()));
    }
    reader.End();
    return texts;
  }
  std::string Undo() { return Replay(true).at(0); }
  std::string Redo() { return Replay(false).at(0); }

  void ExpectState(int32_t count, int32_t position) {
    EXPECT_EQ(History.GetCount(), count);
    EXPECT_EQ(History.GetPosition(), position);
    EXPECT_EQ(History.CanUndo(), position > 0);
    EXPECT_EQ(History.CanRedo(), position < count);
  }
};

TEST_F(HistoryTest, UndoAndRedoWalkTheRecords) {
  ExpectState(0, 0);
  Record("a");
  Record("b");
  Record("c");
  ExpectState(3, 3);
  EXPECT_EQ(Undo(), "c");
  EXPECT_EQ(Undo(), "b");
  ExpectState(3, 1);
  EXPECT_EQ(Redo(), "b");
  ExpectState(3, 2);
  // A write that commits nothing files nothing and keeps the redo step.
  Record(std::vector<std::string>{});
  ExpectState(3, 2);
  EXPECT_EQ(Redo(), "c");
  // Undo twice, then record: the undone steps are gone.
  Undo();
  Undo();
  Record("d");
  ExpectState(2, 2);
  EXPECT_EQ(Undo(), "d");
  EXPECT_EQ(Undo(), "a");
}

TEST_F(HistoryTest, RecordOfSeveralItemsReplaysInBothOrders) {
  Record({"first", "second", "third"});
  ExpectState(1, 1);
  EXPECT_EQ(Replay(true), (std::vector<std::string>{"third", "second", "first"}));
  EXPECT_EQ(Replay(false), (std::vector<std::string>{"first", "second", "third"}));
}

TEST_F(HistoryTest, LimitKeepsTheNewestSteps) {
  Options.HistoryMax = 3;
  for (const char *text : {"a", "b", "c", "d"})
    Record(text);
  ExpectState(3, 3);
  EXPECT_EQ(Undo(), "d");
  EXPECT_EQ(Undo(), "c");
  EXPECT_EQ(Undo(), "b");
  ExpectState(3, 0);
}

TEST_F(HistoryTest, LoweringTheLimitErasesRedoStepsFirstThenTheOldest) {
  for (const char *text : {"a", "b", "c", "d", "e"})
    Record(text);
  Undo();
  Undo(); // "d" and "e" can be redone
  Options.HistoryMax = 4;
  History.ApplyLimit(); // the two redo steps suffice
  ExpectState(3, 3);
  Options.HistoryMax = 2;
  History.ApplyLimit(); // now the oldest goes
  ExpectState(2, 2);
  EXPECT_EQ(Undo(), "c");
  EXPECT_EQ(Undo(), "b");
  Options.HistoryMax = 5;
  History.ApplyLimit(); // raising the limit changes nothing
  ExpectState(2, 0);
  // 0 erases everything and refuses later writes.
  Options.HistoryMax = 0;
  History.ApplyLimit();
  ExpectState(0, 0);
  app::HistoryWriter writer(History);
  EXPECT_FALSE(writer.Begin());
  writer.End();
  ExpectState(0, 0);
}

TEST_F(HistoryTest, NestedWritersFileOneRecord) {
  app::HistoryWriter outer(History);
  ASSERT_TRUE(outer.Begin());
  const std::string a = "outer", b = "inner";
  app::DelayBuffer sa(reinterpret_cast<const unsigned char *>(a.data()), 5);
  outer.Write(sa);
  outer.Commit(1, 2);
  {
    app::HistoryWriter inner(History);
    ASSERT_TRUE(inner.Begin());
    app::DelayBuffer sb(reinterpret_cast<const unsigned char *>(b.data()), 5);
    inner.Write(sb);
    inner.Commit(1, 2);
    inner.End();
  }
  ExpectState(0, 0);
  outer.End();
  ExpectState(1, 1);
  EXPECT_EQ(Replay(true), (std::vector<std::string>{"inner", "outer"}));
}

// The directory: 8-byte entries (type 2, block number), reserved in steps of 1024 bytes while
// written and cut to the bytes written when committed.
TEST_F(HistoryTest, DirectoryEntries) {
  app::HistoryItem item;
  EXPECT_EQ(item.GetDirectoryLength(), 0);
  const unsigned char byte = 1;
  int32_t position = 0;
  for (int i = 0; i < 130; ++i) {
    app::DelayBuffer source(&byte, 1);
    item.AppendBlock(position, source);
    EXPECT_EQ(item.GetDirectoryLength(), (position + 1024) / 1024 * 1024) << i;
  }
  EXPECT_EQ(position, 130 * 8);
  item.TrimDirectory(position);
  EXPECT_EQ(item.GetDirectoryLength(), 1040);
  EXPECT_EQ(item.GetBlockCount(), 130);
  int32_t read = 129 * 8;
  std::unique_ptr<app::Delay> slot;
  item.OpenBlock(read, slot);
  EXPECT_EQ(read, 1040);
  EXPECT_THROW(item.OpenBlock(read, slot), std::out_of_range);
  read = -8;
  EXPECT_THROW(item.OpenBlock(read, slot), std::out_of_range);
}

// A source that fails after delivering some bytes, as compression running out of memory would.
class FailingDelay : public app::Delay {
public:
  explicit FailingDelay(int32_t failAt) : FailAt(failAt) {}
  bool IsEnd() override { return false; }
  int32_t GetAvailable() override { return static_cast<int32_t>(sizeof Window); }
  const unsigned char *GetCurrent() override {
    if (Delivered >= FailAt)
      throw app::Exception(app::ErrorOutOfMemory);
    return Window;
  }
  void Advance(int32_t n) override { Delivered += n; }
  int32_t Read(unsigned char *, int32_t) override { return 0; }

private:
  unsigned char Window[4096] = {};
  int32_t FailAt;
  int32_t Delivered = 0;
};

TEST_F(HistoryTest, InterruptedWriteLeavesTheHistoryAsItWas) {
  Record("a");
  Record("b");
  Undo();
  for (bool nested : {false, true}) {
    SCOPED_TRACE(nested);
    try {
      app::HistoryWriter outer(History);
      ASSERT_TRUE(outer.Begin());
      app::HistoryWriter writer(History);
      if (!nested)
        outer.End();
      ASSERT_TRUE(writer.Begin());
      const std::string text = "committed before the failure";
      app::DelayBuffer good(reinterpret_cast<const unsigned char *>(text.data()), 10);
      writer.Write(good);
      writer.Commit(1, 2);
      FailingDelay failing(100000);
      writer.Write(failing);
      ADD_FAILURE() << "no exception";
    } catch (const app::Exception &e) {
      EXPECT_EQ(e.GetCode(), app::ErrorOutOfMemory);
    }
    ExpectState(2, 1);
  }
  // The history still works: redo, and a new write is filed.
  EXPECT_EQ(Redo(), "b");
  Record("c");
  ExpectState(3, 3);
}

TEST_F(HistoryTest, InterruptedReadKeepsThePosition) {
  Record("a");
  Record("b");
  {
    app::HistoryReader reader(History);
    reader.Begin(true);
    // Destroyed while open, as an exception during a replay would leave it.
  }
  ExpectState(2, 2);
  // Nothing to redo: the reader throws and the read does not stay open behind it, so later
  // writes are still filed.
  EXPECT_THROW(Replay(false), std::out_of_range);
  Record("c");
  ExpectState(3, 3);
  EXPECT_EQ(Undo(), "c");
}

TEST(PtrDeque, OwnsAndRangeTests) {
  struct Counted {
    int *Alive;
    explicit Counted(int *alive) : Alive(alive) { ++*Alive; }
    ~Counted() { --*Alive; }
  };
  int alive = 0;
  {
    app::PtrDeque<Counted> deque;
    for (int i = 0; i < 5; ++i)
      deque.Append(std::make_unique<Counted>(&alive));
    EXPECT_EQ(alive, 5);
    EXPECT_THROW(deque.At(5), std::out_of_range);
    EXPECT_THROW(deque.At(-1), std::out_of_range);
    EXPECT_THROW(deque.Erase(3, 6), std::out_of_range);
    Counted *last = &deque.At(4);
    deque.Erase(1, 3);
    EXPECT_EQ(alive, 3);
    EXPECT_EQ(deque.GetCount(), 3);
    EXPECT_EQ(&deque.At(2), last);
  }
  EXPECT_EQ(alive, 0);
}

} // namespace
