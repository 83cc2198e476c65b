// The plug-in library as a host sees it: loaded by path, called through its exports.
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "plugin/HostPicture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

typedef int32_t (*FilterGetTitleFunction)(int32_t, char *, int32_t *, int32_t *);
typedef int32_t (*FilterProcFunction)(HWND, const app::HostPictureInfo *,
                                      const app::HostRowChannel *, const app::HostRowChannel *,
                                      const char *);

// A host picture in the host's own layout, and a record of every row call.
struct FakeHost {
  int32_t Width = 0, Height = 0;
  std::vector<unsigned char> Color, Alpha;       // what the source hands out
  std::vector<unsigned char> OutColor, OutAlpha; // what the destination received
  std::vector<int32_t> Calls;                    // row * 2 + (0 colour, 1 alpha)
  std::vector<int32_t> Counts;                   // pixel counts passed
  bool BadArguments = false;
};
FakeHost Host;

void Check(int32_t column, int32_t mode) { Host.BadArguments |= column != 0 || mode != -1; }

int32_t SourceColor(int32_t row, int32_t column, int32_t count, unsigned char *buffer,
                    int32_t mode) {
  Check(column, mode);
  Host.Calls.push_back(row * 2);
  Host.Counts.push_back(count);
  std::memcpy(buffer, Host.Color.data() + row * Host.Width * 3, size_t(count) * 3);
  return 0;
}
int32_t SourceAlpha(int32_t row, int32_t column, int32_t count, unsigned char *buffer, int32_t mode,
                    int32_t plane) {
  Check(column, mode);
  Host.BadArguments |= plane != 1;
  Host.Calls.push_back(row * 2 + 1);
  Host.Counts.push_back(count);
  std::memcpy(buffer, Host.Alpha.data() + row * Host.Width, size_t(count));
  return 0;
}
int32_t DestinationColor(int32_t row, int32_t column, int32_t count, unsigned char *buffer,
                         int32_t mode) {
  Check(column, mode);
  std::memcpy(Host.OutColor.data() + row * Host.Width * 3, buffer, size_t(count) * 3);
  return 0;
}
int32_t DestinationAlpha(int32_t row, int32_t column, int32_t count, unsigned char *buffer,
                         int32_t mode, int32_t plane) {
  Check(column, mode);
  Host.BadArguments |= plane != 1;
  std::memcpy(Host.OutAlpha.data() + row * Host.Width, buffer, size_t(count));
  return 0;
}

void MakeHostPicture(int32_t width, int32_t height) {
  Host = FakeHost();
  Host.Width = width;
  Host.Height = height;
  Host.Color.resize(size_t(width) * height * 3);
  Host.Alpha.resize(size_t(width) * height);
  for (size_t i = 0; i < Host.Color.size(); ++i)
    Host.Color[i] = static_cast<unsigned char>(i * 7 + 3);
  for (size_t i = 0; i < Host.Alpha.size(); ++i)
    Host.Alpha[i] = static_cast<unsigned char>(i % 3 == 0 ? 0 : i * 13); // alpha-0 pixels too
  Host.OutColor.assign(Host.Color.size(), 0xEE);
  Host.OutAlpha.assign(Host.Alpha.size(), 0xEE);
}

class PluginLibrary : public ::testing::Test {
protected:
  void SetUp() override {
    library = LoadLibraryA(BRUSHMOTE_DLL_PATH);
    ASSERT_NE(library, nullptr) << "LoadLibrary failed with " << GetLastError();
    getTitle = reinterpret_cast<FilterGetTitleFunction>(GetProcAddress(library, "FilterGetTitle"));
    filter = reinterpret_cast<FilterProcFunction>(GetProcAddress(library, "FilterProc"));
    ASSERT_NE(getTitle, nullptr);
    ASSERT_NE(filter, nullptr);
  }
  void TearDown() override {
    if (library != nullptr)
      FreeLibrary(library);
  }
  HMODULE library = nullptr;
  FilterGetTitleFunction getTitle = nullptr;
  FilterProcFunction filter = nullptr;
  app::HostRowChannel source = {SourceColor, SourceAlpha};
  app::HostRowChannel destination = {DestinationColor, DestinationAlpha};
};

TEST_F(PluginLibrary, UnderscoredNamesAreTheSameFunctions) {
  EXPECT_EQ(reinterpret_cast<void *>(GetProcAddress(library, "_FilterGetTitle")),
            reinterpret_cast<void *>(getTitle));
  EXPECT_EQ(reinterpret_cast<void *>(GetProcAddress(library, "_FilterProc")),
            reinterpret_cast<void *>(filter));
}

TEST_F(PluginLibrary, TitleIsCopiedWithItsTerminatingZero) {
  char title[32];
  std::memset(title, 'x', sizeof title);
  int32_t a = -1, b = -1;
  EXPECT_EQ(getTitle(123, title, &a, &b), 1);
  EXPECT_EQ(std::memcmp(title, "Brushmote\0", 10), 0);
  EXPECT_EQ(title[10], 'x');
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 10);
}

TEST_F(PluginLibrary, UnusableRecordsAreRefusedWithoutARowCall) {
  MakeHostPicture(3, 2);
  app::HostPictureInfo good = {3, 2, 24}, deep = {3, 2, 32};
  app::HostRowChannel half = {SourceColor, nullptr};
  EXPECT_EQ(filter(nullptr, nullptr, &destination, &source, nullptr), 0);
  EXPECT_EQ(filter(nullptr, &deep, &destination, &source, nullptr), 0);
  EXPECT_EQ(filter(nullptr, &good, nullptr, &source, nullptr), 0);
  EXPECT_EQ(filter(nullptr, &good, &destination, nullptr, nullptr), 0);
  EXPECT_EQ(filter(nullptr, &good, &destination, &half, nullptr), 0);
  EXPECT_TRUE(Host.Calls.empty());
  EXPECT_EQ(Host.OutColor, std::vector<unsigned char>(Host.OutColor.size(), 0xEE));
}

TEST_F(PluginLibrary, PictureRoundTripsByteExact) {
  MakeHostPicture(7, 5);
  app::HostPictureInfo info = {7, 5, 24};
  ASSERT_EQ(filter(nullptr, &info, &destination, &source, nullptr), 1);
  EXPECT_FALSE(Host.BadArguments);
  EXPECT_EQ(Host.OutColor, Host.Color);
  EXPECT_EQ(Host.OutAlpha, Host.Alpha);
  // Rows are read top first, colour before alpha, each with the full width.
  for (int32_t i = 0; i < 10; ++i)
    EXPECT_EQ(Host.Calls[i], i);
  EXPECT_EQ(Host.Counts, std::vector<int32_t>(10, 7));
}

TEST_F(PluginLibrary, EmptyPictures) {
  app::HostPictureInfo noRows = {4, 0, 24}, noColumns = {0, 3, 24};
  MakeHostPicture(4, 0);
  EXPECT_EQ(filter(nullptr, &noRows, &destination, &source, nullptr), 1);
  EXPECT_TRUE(Host.Calls.empty());
  MakeHostPicture(0, 3);
  EXPECT_EQ(filter(nullptr, &noColumns, &destination, &source, nullptr), 1);
  EXPECT_EQ(Host.Calls, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(Host.Counts, std::vector<int32_t>(6, 0));
}

TEST(HostPicture, ConvertsBetweenHostRowsAndImageBytes) {
  MakeHostPicture(2, 1);
  Host.Color = {10, 20, 30, 40, 50, 60};
  Host.Alpha = {0, 255};
  app::HostPictureInfo info = {2, 1, 24};
  app::HostRowChannel source = {SourceColor, SourceAlpha};
  app::HostRowChannel destination = {DestinationColor, DestinationAlpha};
  ASSERT_TRUE(app::AcceptHostRecords(&info, &destination, &source, nullptr));
  app::Image image;
  app::LoadHostPicture(image);
  const unsigned char expected[] = {30, 20, 10, 0, 60, 50, 40, 255};
  ASSERT_EQ(image.GetByteSize(), 8);
  EXPECT_EQ(std::memcmp(image.GetBits(), expected, 8), 0);
}

TEST(HostPicture, OversizedHostPictureIsAnImageSizeError) {
  MakeHostPicture(0, 0);
  app::HostPictureInfo info = {65536, 65536, 24};
  app::HostRowChannel source = {SourceColor, SourceAlpha};
  ASSERT_TRUE(app::AcceptHostRecords(&info, &source, &source, nullptr));
  app::Image image;
  image.Create(2, 2, 4);
  try {
    app::LoadHostPicture(image);
    FAIL() << "an oversized picture was accepted";
  } catch (const app::Exception &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorImageSize);
  }
  EXPECT_TRUE(Host.Calls.empty());
}

} // namespace
