#include "document/AppDoc.h"
#include "document/History.h"
#include "engine/Core.h"
#include "foundation/Buffer.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "foundation/Random.h"
#include "plugin/HostPicture.h"
#include "plugin/Options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// memcpy that accepts the null pointers of empty rows (a picture 0 pixels wide).
void CopyBytes(void *to, const void *from, size_t n) {
  if (n > 0)
    std::memcpy(to, from, n);
}

// A host with one picture: blue, green, red rows plus alpha rows, and a destination that keeps
// what the plug-in hands back.
struct TestHost {
  static app::HostPictureInfo Info;
  static Bytes Color, Alpha, StoredColor, StoredAlpha;
  static int32_t StoredRows;

  static int32_t ReadColor(int32_t row, int32_t, int32_t count, unsigned char *buffer, int32_t) {
    CopyBytes(buffer, Color.data() + static_cast<size_t>(row) * count * 3,
              static_cast<size_t>(count) * 3);
    return 1;
  }
  static int32_t ReadAlpha(int32_t row, int32_t, int32_t count, unsigned char *buffer, int32_t,
                           int32_t) {
    CopyBytes(buffer, Alpha.data() + static_cast<size_t>(row) * count, static_cast<size_t>(count));
    return 1;
  }
  static int32_t WriteColor(int32_t row, int32_t, int32_t count, unsigned char *buffer, int32_t) {
    CopyBytes(StoredColor.data() + static_cast<size_t>(row) * count * 3, buffer,
              static_cast<size_t>(count) * 3);
    return 1;
  }
  static int32_t WriteAlpha(int32_t row, int32_t, int32_t count, unsigned char *buffer, int32_t,
                            int32_t) {
    CopyBytes(StoredAlpha.data() + static_cast<size_t>(row) * count, buffer,
              static_cast<size_t>(count));
    ++StoredRows;
    return 1;
  }

  // A random picture of the given size, offered to the plug-in.
  static void Offer(int32_t width, int32_t height) {
    static const app::HostRowChannel source{&ReadColor, &ReadAlpha};
    static const app::HostRowChannel destination{&WriteColor, &WriteAlpha};
    Info = app::HostPictureInfo{width, height, 24};
    const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
    Color.resize(pixels * 3);
    Alpha.resize(pixels);
    for (auto &b : Color)
      b = static_cast<unsigned char>(app::Random());
    for (auto &b : Alpha)
      b = static_cast<unsigned char>(app::Random());
    StoredColor.assign(pixels * 3, 0);
    StoredAlpha.assign(pixels, 0);
    StoredRows = 0;
    ASSERT_TRUE(app::AcceptHostRecords(&Info, &destination, &source, nullptr));
  }

  // The host's picture as the document holds it: red, green, blue, alpha.
  static Bytes AsDocumentBytes(const Bytes &color, const Bytes &alpha) {
    Bytes out(alpha.size() * 4);
    for (size_t i = 0; i < alpha.size(); ++i) {
      out[4 * i] = color[3 * i + 2];
      out[4 * i + 1] = color[3 * i + 1];
      out[4 * i + 2] = color[3 * i];
      out[4 * i + 3] = alpha[i];
    }
    return out;
  }
};
app::HostPictureInfo TestHost::Info{};
Bytes TestHost::Color, TestHost::Alpha, TestHost::StoredColor, TestHost::StoredAlpha;
int32_t TestHost::StoredRows = 0;

Bytes BytesOf(const app::Image &image) {
  return Bytes(image.GetBits(), image.GetBits() + image.GetByteSize());
}

class AppDocTest : public ::testing::Test {
protected:
  void SetUp() override {
    Saved = app::GetOptions();
    SetHistoryMax(100);
    app::SeedRandom(1234);
  }
  void TearDown() override {
    app::GetBufferHeapStatistics().FailCountdown = -1;
    app::SetOptions(Saved);
  }
  static void SetHistoryMax(int32_t max) {
    app::OPTIONS o = app::GetOptions();
    o.HistoryMax = max;
    app::SetOptions(o);
  }
  void Open(int32_t width, int32_t height) {
    TestHost::Offer(width, height);
    Doc.OnCreateDocument();
  }
  // One painting action: a few scattered bytes, each changed by 1 to 255 modulo 256, so that
  // about half of the changes wrap around.
  void Paint() {
    app::Image &picture = Doc.GetPicture();
    unsigned char *bits = picture.GetWritableBits();
    const int32_t size = picture.GetByteSize();
    const int32_t spots = 1 + app::Random() % 40;
    for (int32_t i = 0; i < spots; ++i) {
      const int32_t at = (app::Random() * 32768 + app::Random()) % size;
      bits[at] = static_cast<unsigned char>(bits[at] + 1 + app::Random() % 255);
    }
  }
  void ExpectRecordedState() {
    EXPECT_EQ(BytesOf(Doc.GetPreviousPicture()), BytesOf(Doc.GetPicture()));
  }

  app::OPTIONS Saved{};
  app::AppDoc Doc;
};

TEST_F(AppDocTest, LoadsTheHostPictureAndHandsItBack) {
  Open(37, 23);
  EXPECT_EQ(Doc.GetPictureSize(), std::make_pair(37, 23));
  EXPECT_EQ(Doc.GetEngine().GetPictureWidth(), 37);
  const Bytes host = TestHost::AsDocumentBytes(TestHost::Color, TestHost::Alpha);
  EXPECT_EQ(BytesOf(Doc.GetPicture()), host);
  ExpectRecordedState();
  EXPECT_FALSE(Doc.CanUndo());
  // Closing hands back the picture of this moment, unrecorded changes included.
  Doc.GetPicture().GetWritableBits()[5] ^= 0xFF;
  Doc.OnCloseDocument();
  EXPECT_EQ(TestHost::StoredRows, 23);
  EXPECT_EQ(TestHost::AsDocumentBytes(TestHost::StoredColor, TestHost::StoredAlpha),
            BytesOf(Doc.GetPicture()));
}

TEST(AppDoc, UncreatedDocumentHandsNothingBack) {
  TestHost::Offer(8, 8);
  app::AppDoc doc;
  doc.OnCloseDocument();
  EXPECT_EQ(TestHost::StoredRows, 0);
}

TEST(AppDoc, TagsSpellTheirTextInMemory) {
  EXPECT_EQ(std::memcmp(&app::DocumentOwnerTag, "Docu", 4), 0);
  EXPECT_EQ(std::memcmp(&app::ImageKindTag, "Imag", 4), 0);
}

// Many random actions, each recorded: undoing all of them gives the host's bytes exactly and
// every state on the way; redoing all gives the final bytes exactly.
TEST_F(AppDocTest, UndoAndRedoRestoreEveryStateByteForByte) {
  Open(150, 100); // 60000 bytes: several 8192-byte windows
  std::vector<Bytes> states{BytesOf(Doc.GetPicture())};
  for (int action = 0; action < 30; ++action) {
    Paint();
    if (action == 10)
      Doc.GetPicture().Clear();
    Doc.RecordChange();
    ExpectRecordedState();
    states.push_back(BytesOf(Doc.GetPicture()));
  }
  ASSERT_EQ(Doc.GetHistory().GetCount(), 30);
  for (size_t i = states.size() - 1; i > 0; --i) {
    Doc.Undo();
    ASSERT_EQ(BytesOf(Doc.GetPicture()), states[i - 1]) << i;
    ExpectRecordedState();
  }
  EXPECT_FALSE(Doc.CanUndo());
  EXPECT_EQ(BytesOf(Doc.GetPicture()), TestHost::AsDocumentBytes(TestHost::Color, TestHost::Alpha));
  while (Doc.CanRedo())
    Doc.Redo();
  EXPECT_EQ(BytesOf(Doc.GetPicture()), states.back());
  ExpectRecordedState();
}

TEST_F(AppDocTest, RecordingAfterUndoDropsTheRedoSteps) {
  Open(40, 30);
  for (int i = 0; i < 4; ++i) {
    Paint();
    Doc.RecordChange();
  }
  const int32_t count = Doc.GetHistory().GetCount();
  Doc.Undo();
  // Nothing changed since: nothing is filed and the undone step can still be redone.
  Doc.RecordChange();
  EXPECT_EQ(Doc.GetHistory().GetCount(), count);
  ASSERT_TRUE(Doc.CanRedo());
  Doc.Redo();
  Doc.Undo();
  Doc.Undo();
  Doc.GetPicture().GetWritableBits()[0] += 1;
  Doc.RecordChange();
  EXPECT_FALSE(Doc.CanRedo());
  EXPECT_EQ(Doc.GetHistory().GetCount(), count - 1);
}

TEST_F(AppDocTest, HistoryLimit) {
  Open(20, 20);
  SetHistoryMax(3);
  std::vector<Bytes> states{BytesOf(Doc.GetPicture())};
  for (int i = 0; i < 4; ++i) {
    Doc.GetPicture().GetWritableBits()[i] += 7;
    Doc.RecordChange();
    states.push_back(BytesOf(Doc.GetPicture()));
  }
  EXPECT_EQ(Doc.GetHistory().GetCount(), 3);
  while (Doc.CanUndo())
    Doc.Undo();
  EXPECT_EQ(BytesOf(Doc.GetPicture()), states[1]); // the first step is gone

  // Lowering the limit: the redo steps go first, then the oldest.
  SetHistoryMax(100);
  Doc.Redo();
  Doc.Redo(); // two undoable, one redoable
  SetHistoryMax(2);
  Doc.TrimHistory();
  EXPECT_EQ(Doc.GetHistory().GetCount(), 2);
  EXPECT_FALSE(Doc.CanRedo());
  SetHistoryMax(1);
  Doc.TrimHistory();
  EXPECT_EQ(Doc.GetHistory().GetCount(), 1);
  Doc.Undo();
  EXPECT_EQ(BytesOf(Doc.GetPicture()), states[2]);

  // 0 turns recording off: nothing is stored, but the recorded state still follows.
  SetHistoryMax(0);
  Doc.TrimHistory();
  EXPECT_EQ(Doc.GetHistory().GetCount(), 0);
  Doc.GetPicture().GetWritableBits()[0] += 1;
  Doc.RecordChange();
  EXPECT_EQ(Doc.GetHistory().GetCount(), 0);
  EXPECT_FALSE(Doc.CanUndo());
  ExpectRecordedState();
}

TEST_F(AppDocTest, EmptyPicture) {
  for (auto [w, h] : {std::make_pair(0, 5), std::make_pair(5, 0)}) {
    Open(w, h);
    EXPECT_EQ(Doc.GetPicture().GetByteSize(), 0);
    Doc.RecordChange();
    EXPECT_FALSE(Doc.CanUndo());
    EXPECT_FALSE(Doc.CanRedo());
    Doc.OnCloseDocument();
  }
}

// Out of memory at each allocation a recording makes in turn: a failed recording leaves the
// history and the recorded state as they were, so the next recording covers the whole change.
TEST_F(AppDocTest, InterruptedRecordingChangesNothing) {
  Open(120, 90);
  Paint();
  Doc.RecordChange();
  Paint();
  const Bytes recorded = BytesOf(Doc.GetPreviousPicture());
  const int32_t count = Doc.GetHistory().GetCount();
  int failures = 0;
  for (int64_t countdown = 0;; ++countdown) {
    app::GetBufferHeapStatistics().FailCountdown = countdown;
    try {
      Doc.RecordChange();
    } catch (const app::Exception &e) {
      app::GetBufferHeapStatistics().FailCountdown = -1;
      ++failures;
      EXPECT_EQ(e.GetCode(), app::ErrorOutOfMemory);
      EXPECT_EQ(Doc.GetHistory().GetCount(), count);
      EXPECT_EQ(Doc.GetHistory().GetPosition(), count);
      EXPECT_EQ(BytesOf(Doc.GetPreviousPicture()), recorded);
      continue;
    }
    app::GetBufferHeapStatistics().FailCountdown = -1;
    break;
  }
  EXPECT_GT(failures, 1);
  EXPECT_EQ(Doc.GetHistory().GetCount(), count + 1);
  ExpectRecordedState();
  const Bytes painted = BytesOf(Doc.GetPicture());
  Doc.Undo();
  EXPECT_EQ(BytesOf(Doc.GetPicture()), recorded);
  Doc.Redo();
  EXPECT_EQ(BytesOf(Doc.GetPicture()), painted);
}

// Out of memory during a replay: the undo position stays, and so does the picture.
TEST_F(AppDocTest, InterruptedReplayKeepsTheUndoPosition) {
  Open(120, 90);
  Paint();
  Doc.RecordChange();
  const Bytes before = BytesOf(Doc.GetPicture());
  for (int32_t i = 0; i < 1000; i += 3)
    Doc.GetPicture().GetWritableBits()[i] += 100;
  Doc.RecordChange();
  const Bytes after = BytesOf(Doc.GetPicture());
  for (bool undo : {true, false}) {
    int failures = 0;
    for (int64_t countdown = 0;; ++countdown) {
      const Bytes start = BytesOf(Doc.GetPicture());
      const int32_t position = Doc.GetHistory().GetPosition();
      app::GetBufferHeapStatistics().FailCountdown = countdown;
      try {
        undo ? Doc.Undo() : Doc.Redo();
      } catch (const app::Exception &e) {
        app::GetBufferHeapStatistics().FailCountdown = -1;
        ++failures;
        EXPECT_EQ(e.GetCode(), app::ErrorOutOfMemory);
        EXPECT_EQ(Doc.GetHistory().GetPosition(), position);
        EXPECT_EQ(BytesOf(Doc.GetPicture()), start);
        continue;
      }
      app::GetBufferHeapStatistics().FailCountdown = -1;
      break;
    }
    EXPECT_GT(failures, 0);
    EXPECT_EQ(BytesOf(Doc.GetPicture()), undo ? before : after);
  }
}

} // namespace
