#include "foundation/Exception.h"
#include "framework/File.h"
#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class FileTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    Path = (std::filesystem::temp_directory_path() / ("brushmote_file_" + test + ".bin")).string();
    std::remove(Path.c_str());
  }
  void TearDown() override { std::remove(Path.c_str()); }

  void WriteRaw(const std::vector<unsigned char> &bytes) {
    std::ofstream out(Path, std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<unsigned char> ReadRaw() {
    std::ifstream in(Path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
  }
  bool Exists() { return std::filesystem::exists(Path); }

  // Expects code 7 naming the file from reading the fixture with the given reader.
  template <typename F> void ExpectInvalid(F read) {
    app::File file;
    ASSERT_EQ(file.OpenForReading(Path.c_str()), 0);
    try {
      read(file);
      FAIL() << "no exception";
    } catch (const app::FileException &e) {
      EXPECT_EQ(e.GetCode(), app::ErrorInvalidFile);
      EXPECT_EQ(std::string(e.GetFileName()), Path);
    }
  }

  std::string Path;
};

TEST_F(FileTest, TaggedValuesRoundTripInTheirLayout) {
  {
    app::File file;
    file.Create(Path.c_str());
    file.WriteTaggedInt32(1, -5);
    file.WriteTaggedBool(2, true);
    file.WriteTaggedDouble(3, 0.25);
    file.WriteTaggedPoint(4, app::DPOINT{1.5, -2.0});
    file.WriteTaggedText(5, "abc");
    file.Close();
  }
  std::vector<unsigned char> bytes = ReadRaw();
  ASSERT_EQ(bytes.size(), 12u + 12u + 16u + 24u + 12u);
  const unsigned char text[] = {5, 0, 0, 0, 4, 0, 0, 0, 'a', 'b', 'c', 0};
  EXPECT_TRUE(std::equal(std::begin(text), std::end(text), bytes.end() - 12));
  const unsigned char first[] = {1, 0, 0, 0, 4, 0, 0, 0, 0xfb, 0xff, 0xff, 0xff};
  EXPECT_TRUE(std::equal(std::begin(first), std::end(first), bytes.begin()));

  app::File file;
  ASSERT_EQ(file.OpenForReading(Path.c_str()), 0);
  EXPECT_EQ(file.ReadInt32(), 1);
  EXPECT_EQ(file.ReadSizedInt32(), -5);
  EXPECT_EQ(file.ReadInt32(), 2);
  EXPECT_TRUE(file.ReadSizedBool());
  EXPECT_EQ(file.ReadInt32(), 3);
  EXPECT_EQ(file.ReadSizedDouble(), 0.25);
  EXPECT_EQ(file.ReadInt32(), 4);
  app::DPOINT p = file.ReadSizedPoint();
  EXPECT_EQ(p.x, 1.5);
  EXPECT_EQ(p.y, -2.0);
  EXPECT_EQ(file.ReadInt32(), 5);
  app::String s;
  file.ReadSizedText(s);
  EXPECT_STREQ(s.GetText(), "abc");
  EXPECT_EQ(s.GetLength(), 3);
}

TEST_F(FileTest, BadSizesAndShortReadsAreInvalidFiles) {
  WriteRaw({4, 0, 0, 0, 1, 2, 3, 4}); // a size of 4 where a double needs 8
  ExpectInvalid([](app::File &f) { f.ReadSizedDouble(); });
  ExpectInvalid([](app::File &f) { f.ReadSizedPoint(); });
  WriteRaw({4, 0, 0, 0, 1, 2}); // ends inside the value
  ExpectInvalid([](app::File &f) { f.ReadSizedInt32(); });
  WriteRaw({1, 2});
  ExpectInvalid([](app::File &f) { f.ReadInt32(); });
  WriteRaw({0xff, 0xff, 0xff, 0x7f, 'a'}); // a text claiming 2 GB
  ExpectInvalid([](app::File &f) {
    app::String s;
    f.ReadSizedText(s);
  });
  WriteRaw({0xfe, 0xff, 0xff, 0xff}); // a negative text size
  ExpectInvalid([](app::File &f) {
    app::String s;
    f.ReadSizedText(s);
  });
}

TEST_F(FileTest, TextWithoutTerminatorStaysInItsBuffer) {
  WriteRaw({3, 0, 0, 0, 'x', 'y', 'z'});
  app::File file;
  ASSERT_EQ(file.OpenForReading(Path.c_str()), 0);
  app::String s;
  file.ReadSizedText(s);
  EXPECT_STREQ(s.GetText(), "xyz");
}

TEST_F(FileTest, AbandonedNewFileIsDeletedExistingFileKept) {
  {
    app::File file;
    file.Create(Path.c_str());
    file.WriteInt32(7);
  } // abandoned before Close
  EXPECT_FALSE(Exists());

  WriteRaw({9});
  {
    app::File file;
    file.Create(Path.c_str());
    file.WriteInt32(7);
  }
  ASSERT_TRUE(Exists()); // existed before: truncated and kept with what was written
  EXPECT_EQ(ReadRaw(), (std::vector<unsigned char>{7, 0, 0, 0}));

  std::remove(Path.c_str());
  {
    app::File file;
    file.Create(Path.c_str());
    file.Close();
  }
  EXPECT_TRUE(Exists());
}

TEST_F(FileTest, OpenAndCreateFailuresNameTheFile) {
  app::File file;
  EXPECT_NE(file.OpenForReading(Path.c_str()), 0); // missing: an error number, no throw
  EXPECT_FALSE(file.IsOpen());
  std::string bad = Path + "/no/such/folder/x.bin";
  try {
    file.Create(bad.c_str());
    FAIL() << "no exception";
  } catch (const app::FileException &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorSystem);
    EXPECT_NE(e.GetSystemError(), 0);
    EXPECT_EQ(std::string(e.GetFileName()), bad);
  }
}

} // namespace
