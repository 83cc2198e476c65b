#include "foundation/Exception.h"
#include "framework/ErrorMessage.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

namespace {

std::string MessageFor(const std::exception &e) {
  app::String message;
  EXPECT_TRUE(app::BuildExceptionMessage(e, message));
  return message.GetText();
}

TEST(ErrorMessage, EveryCodeShowsItsEntry) {
  struct Case {
    int32_t Code;
    const char *Text;
  } cases[] = {
      {2, "Can't process any error."},        {3, "Out of memory."},
      {4, "Invalid picture size."},           {5, "Can't create a window."},
      {6, "Can't process any error."},        {7, " is an invalid file."},
      {8, " is a file for the new version."}, {9, "Can't add item."},
      {10, "Can't process any error."},       {11, "Invalid image size."},
      {12, "Can't process any error."},       {13, "Can't open a help file as ."},
      {0, "Can't process any error."},        {99, "Can't process any error."},
  };
  for (const Case &c : cases)
    EXPECT_EQ(MessageFor(app::Exception(c.Code)), c.Text) << c.Code;
}

TEST(ErrorMessage, FileExceptionNamesTheFile) {
  EXPECT_EQ(MessageFor(app::FileException(7, "c:\\a.spr")), "c:\\a.spr is an invalid file.");
  EXPECT_EQ(MessageFor(app::FileException(8, "b.spr")), "b.spr is a file for the new version.");
  EXPECT_EQ(MessageFor(app::FileException(9, "b.spr")), "Can't add item.");
  std::string longName(300, 'n'); // kept as 259 bytes; the message is longer than 256
  EXPECT_EQ(MessageFor(app::FileException(7, longName.c_str())),
            longName.substr(0, 259) + " is an invalid file.");
}

TEST(ErrorMessage, OtherClassesOfTheFamily) {
  EXPECT_EQ(MessageFor(std::bad_alloc()), "Out of memory.");
  EXPECT_EQ(MessageFor(std::runtime_error("x")), "Can't process any error.");
  // Another class whose text looks like the program's own is still of no known class.
  struct LookAlike : std::exception {
    const char *what() const noexcept override { return "Application File Error"; }
  };
  EXPECT_EQ(MessageFor(LookAlike()), "Can't process any error.");
}

TEST(ErrorMessage, SystemErrorUsesTheSystemText) {
  // Natively the system's text is the C library's; under Wine it is the system message.
  app::String expected;
  expected.FormatSystemMessage(2, {"x.spr"});
  EXPECT_FALSE(expected.IsNull());
  EXPECT_GT(expected.GetLength(), 0);
  EXPECT_EQ(MessageFor(app::FileException(1, 2, "x.spr")), expected.GetText());
  EXPECT_EQ(MessageFor(app::Exception(1, 2)), expected.GetText());
}

TEST(ErrorMessage, TableMatchesTheCodes) {
  EXPECT_EQ(app::FindErrorStringId(3), 60100u);
  EXPECT_EQ(app::FindErrorStringId(13), 60114u);
  EXPECT_EQ(app::FindErrorStringId(1), 60104u);
  EXPECT_EQ(app::FindErrorStringId(12), 60104u);
}

} // namespace
