// Strings from the string table and the error reporter as the window system shows them.
#include "foundation/Exception.h"
#include "framework/String.h"
#include "framework/win32/ErrorReport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <string>
#include <vector>

namespace {

struct SHOWN {
  HWND Owner;
  std::string Text, Caption;
  UINT Style;
};
std::vector<SHOWN> Shown;

void Capture(HWND owner, const char *text, const char *caption, UINT style) {
  Shown.push_back(SHOWN{owner, text, caption, style});
}

class ErrorReport : public ::testing::Test {
protected:
  void SetUp() override {
    Shown.clear();
    Previous = app::SetErrorMessageShower(Capture);
  }
  void TearDown() override { app::SetErrorMessageShower(Previous); }
  // The system's own message for an error with one insertion, straight from the system.
  static std::string SystemText(DWORD error, const char *insertion) {
    DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(insertion)};
    char text[2048] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr, error,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text,
                   reinterpret_cast<va_list *>(arguments));
    return text;
  }
  app::ErrorMessageShower Previous = nullptr;
};

TEST_F(ErrorReport, OneBoxWithCaptionAndErrorStyle) {
  app::ReportException(nullptr, app::FileException(7, "c:\\a.spr"));
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0].Text, "c:\\a.spr is an invalid file.");
  EXPECT_EQ(Shown[0].Caption, "Brushmote");
  EXPECT_EQ(Shown[0].Style, 0x10u);
  EXPECT_EQ(Shown[0].Owner, nullptr);
  app::ReportException(nullptr, std::bad_alloc());
  app::ReportException(nullptr, app::Exception(12));
  app::ReportException(nullptr, app::Exception(9));
  ASSERT_EQ(Shown.size(), 4u);
  EXPECT_EQ(Shown[1].Text, "Out of memory.");
  EXPECT_EQ(Shown[2].Text, "Can't process any error.");
  EXPECT_EQ(Shown[3].Text, "Can't add item.");
}

TEST_F(ErrorReport, SystemErrorsShowTheSystemsOwnText) {
  app::ReportException(nullptr, app::FileException(1, ERROR_FILE_NOT_FOUND, "c:\\x.spr"));
  app::ReportException(nullptr, app::Exception(1, ERROR_ACCESS_DENIED));
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Shown[0].Text, SystemText(ERROR_FILE_NOT_FOUND, "c:\\x.spr"));
  EXPECT_EQ(Shown[1].Text, SystemText(ERROR_ACCESS_DENIED, ""));
  EXPECT_FALSE(Shown[0].Text.empty());
}

TEST_F(ErrorReport, FileNameFillsTheFirstInsertionAndMissingOnesStayEmpty) {
  // Messages naming %1, and one naming %1 to %3 although the reporter has only the file name.
  app::String text;
  text.FormatSystemMessage(ERROR_BAD_EXE_FORMAT, {"c:\\p.exe"});
  EXPECT_EQ(std::string(text.GetText()), SystemText(ERROR_BAD_EXE_FORMAT, "c:\\p.exe"));
  app::ReportException(nullptr, app::FileException(1, ERROR_WRONG_DISK, "d:"));
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_FALSE(Shown[0].Text.empty());
}

TEST_F(ErrorReport, ErrorWithoutSystemTextShowsNothing) {
  app::String text("kept?");
  EXPECT_THROW(text.FormatSystemMessage(0x7fffff00), app::Exception);
  EXPECT_TRUE(text.IsNull());
  app::ReportException(nullptr, app::Exception(1, 0x7fffff00));
  EXPECT_TRUE(Shown.empty());
}

TEST_F(ErrorReport, ShowErrorMessageFormatsTheEntry) {
  app::ShowErrorMessage(nullptr, 60121, 0.0, 360.0);
  app::ShowErrorMessage(nullptr, 60115, 0.0001);
  ASSERT_EQ(Shown.size(), 2u);
  EXPECT_EQ(Shown[0].Text, "Specity from 0 to 360 to the width.");
  EXPECT_EQ(Shown[1].Text, "Specify equal or more than 0.0001 to the upper limit.");
  EXPECT_EQ(Shown[1].Caption, "Brushmote");
}

TEST(StringTable, LoadsEntriesOfTheModule) {
  app::String s;
  ASSERT_TRUE(s.Load(60000));
  EXPECT_STREQ(s.GetText(), "Brushmote");
  ASSERT_TRUE(s.Load(60201));
  EXPECT_STREQ(s.GetText(), "%.0f%%");
  s.FormatResource(60109, std::string(259, 'n').c_str());
  EXPECT_EQ(s.GetLength(), 259 + 20);
  s.Load(59999); // no such entry
  EXPECT_STREQ(s.GetText(), "");
}

} // namespace
