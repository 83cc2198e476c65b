// The host program end to end: it loads the plug-in, hands it a picture file (or the embedded
// picture) and writes what comes back.
#include "foundation/Image.h"
#include "tools/picture/PictureFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string TestFolder() {
  char name[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, name, MAX_PATH);
  std::string path(name);
  return path.substr(0, path.find_last_of('\\') + 1);
}

std::string Scratch(const char *name) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + "brushmote-host-test-" + name;
}

// Runs the host with the given arguments and returns its exit code.
DWORD RunHost(const std::string &arguments) {
  std::string command = "\"" + TestFolder() + BRUSHMOTE_HOST_PATH + "\" " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 0xFFFFFFFF;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0xFFFFFFFE;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

bool SamePixels(const app::Image &a, const app::Image &b) {
  return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
         std::memcmp(a.GetBits(), b.GetBits(), size_t(a.GetByteSize())) == 0;
}

TEST(HostProgram, EmbeddedPictureComesBackUnchangedWithoutPainting) {
  const std::string out = Scratch("default.png");
  DeleteFileA(out.c_str());
  ASSERT_EQ(RunHost("\"" + out + "\""), 0u);
  app::Image expected, written;
  app::MakeDefaultPicture(expected);
  std::string error;
  ASSERT_TRUE(app::ReadPictureFile(out, written, error)) << error;
  EXPECT_TRUE(SamePixels(expected, written));
  DeleteFileA(out.c_str());
}

TEST(HostProgram, PictureWithTransparencyRoundTrips) {
  app::Image picture;
  picture.Create(3, 2, 4);
  const unsigned char bytes[24] = {255, 0, 0, 0, 0, 255, 0, 128, 0,  0,  255, 255,
                                   9,   8, 7, 0, 1, 2,   3, 1,   40, 50, 60,  0};
  std::memcpy(picture.GetWritableBits(), bytes, sizeof bytes);
  const std::string in = Scratch("alpha-in.png"), out = Scratch("alpha-out.png");
  std::string error;
  ASSERT_TRUE(app::WritePngFile(in, picture, error)) << error;
  ASSERT_EQ(RunHost("\"" + in + "\" \"" + out + "\""), 0u);
  app::Image written;
  ASSERT_TRUE(app::ReadPictureFile(out, written, error)) << error;
  EXPECT_TRUE(SamePixels(picture, written));
  DeleteFileA(in.c_str());
  DeleteFileA(out.c_str());
}

TEST(HostProgram, BadInputIsRefusedWithAnError) {
  const std::string garbage = Scratch("garbage.png"), out = Scratch("never.png");
  FILE *f = std::fopen(garbage.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("this is not a picture", f);
  std::fclose(f);
  DeleteFileA(out.c_str());
  EXPECT_EQ(RunHost("\"" + garbage + "\" \"" + out + "\""), 2u);
  EXPECT_EQ(RunHost("\"" + Scratch("missing.png") + "\" \"" + out + "\""), 2u);
  EXPECT_EQ(RunHost("--plugin nowhere.dll \"" + out + "\""), 2u);
  EXPECT_EQ(RunHost(""), 1u);
  EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(garbage.c_str());
}

} // namespace
