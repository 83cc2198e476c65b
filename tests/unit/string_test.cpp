#include "foundation/Buffer.h"
#include "foundation/Exception.h"
#include "framework/String.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(String, NullStringReadsAsEmptyText) {
  app::String s;
  EXPECT_TRUE(s.IsNull());
  ASSERT_NE(s.GetText(), nullptr);
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_EQ(s.GetBuffer(), nullptr);
  EXPECT_EQ(s.Compare(""), 0);
  EXPECT_EQ(s.Compare(nullptr), 0);
  EXPECT_LT(s.Compare("a"), 0);
  s.Fit();
  EXPECT_TRUE(s.IsNull());
  s.Assign("x");
  s.Assign(static_cast<const char *>(nullptr));
  EXPECT_TRUE(s.IsNull());
}

TEST(String, CopiesShareUntilWritten) {
  app::String a("first");
  app::String b(a);
  EXPECT_EQ(a.GetText(), b.GetText()); // one block
  b.GetBuffer()[0] = 'F';
  EXPECT_STREQ(a.GetText(), "first");
  EXPECT_STREQ(b.GetText(), "First");
  app::String null;
  b.Assign(null);
  EXPECT_TRUE(b.IsNull());
  b.Append("x");
  EXPECT_STREQ(a.GetText(), "first");
  a.Append(a.GetText()); // appending its own text
  EXPECT_STREQ(a.GetText(), "firstfirst");
}

TEST(String, CompareOrdersBytesUnsigned) {
  app::String s("abc");
  EXPECT_EQ(s.Compare("abc"), 0);
  EXPECT_LT(s.Compare("abd"), 0);
  EXPECT_GT(s.Compare("ab"), 0);
  EXPECT_LT(s.Compare("abc\xe9"), 0);
  EXPECT_GT(app::String("\xe9").Compare("z"), 0);
}

TEST(String, SetSizeZeroesAndFitTrims) {
  app::String s("abc");
  s.SetSize(10);
  const char *bytes = s.GetText();
  for (int i = 3; i < 10; ++i)
    EXPECT_EQ(bytes[i], '\0') << i;
  std::memcpy(s.GetBuffer(), "abcdefghij", 10); // no terminator left
  EXPECT_EQ(s.GetLength(), 10);                 // never counts past the buffer
  s.Fit();
  EXPECT_STREQ(s.GetText(), "abcdefghij");
  s.SetSize(0);
  EXPECT_TRUE(s.IsNull());
}

TEST(String, LinesOfAPromptAndTip) {
  app::String source("Show or hide the tool bar.\nShow ToolBar");
  app::String line("unchanged");
  ASSERT_TRUE(line.ExtractLine(source, 0));
  EXPECT_STREQ(line.GetText(), "Show or hide the tool bar.");
  ASSERT_TRUE(line.ExtractLine(source, 1));
  EXPECT_STREQ(line.GetText(), "Show ToolBar");
  EXPECT_FALSE(line.ExtractLine(source, 2));
  EXPECT_STREQ(line.GetText(), "Show ToolBar");

  EXPECT_EQ(app::String("no line feed").FindLine(1), nullptr);
  app::String trailing("a\n");
  ASSERT_NE(trailing.FindLine(1), nullptr);
  EXPECT_STREQ(trailing.FindLine(1), "");
  EXPECT_TRUE(line.ExtractLine(trailing, 1));
  EXPECT_STREQ(line.GetText(), "");
  EXPECT_EQ(app::String().FindLine(1), nullptr);
  EXPECT_EQ(app::String("a\nb").FindLine(-1), nullptr);
  line.ExtractLine(line, 0); // from itself
  EXPECT_STREQ(line.GetText(), "");
}

TEST(String, FormatProducesLongTextsWhole) {
  std::string name(259, 'n');
  app::String s;
  s.Format("%s is an invalid file.", name.c_str());
  EXPECT_EQ(s.GetLength(), 259 + 20);
  EXPECT_EQ(std::string(s.GetText()), name + " is an invalid file.");
  s.Format("%s", s.GetText()); // its own text as an argument
  EXPECT_EQ(s.GetLength(), 259 + 20);
  std::string big(5000, 'b');
  s.Format("%s|%d", big.c_str(), 7);
  EXPECT_EQ(std::string(s.GetText()), big + "|7");
}

TEST(String, LoadAndFormatResource) {
  app::String s;
  ASSERT_TRUE(s.Load(60000));
  EXPECT_STREQ(s.GetText(), "Brushmote");
  s.FormatResource(60109, "c:\\x.spr");
  EXPECT_STREQ(s.GetText(), "c:\\x.spr is an invalid file.");
  EXPECT_FALSE(s.Load(59999)); // no such entry
  EXPECT_TRUE(s.IsNull());
  s.FormatResource(59999, 1);
  EXPECT_STREQ(s.GetText(), "");
}

TEST(String, FailedBuildLeavesTheStringNull) {
  app::String s("old text");
  app::GetBufferHeapStatistics().FailCountdown = 0;
  EXPECT_THROW(s.Format("%d", 5), app::Exception);
  EXPECT_TRUE(s.IsNull());
  s.Assign("old text");
  app::GetBufferHeapStatistics().FailCountdown = 0;
  EXPECT_THROW(s.Load(60000), app::Exception);
  EXPECT_TRUE(s.IsNull());
  app::GetBufferHeapStatistics().FailCountdown = -1;
}

} // namespace
