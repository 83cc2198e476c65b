// brushmote-host: runs the plug-in on a picture file, the way a host image editor does.
//
//   brushmote-host [--plugin DLL] [--settings PATH] [INPUT] OUTPUT
//
// Loads the plug-in library (default: brushmote.dll beside this program), asks its title,
// hands it INPUT (PNG or BMP, with alpha; the embedded default picture when INPUT is left out)
// as 24-bit rows plus an alpha plane, and writes what the plug-in hands back to OUTPUT as PNG.
#include "foundation/Image.h"
#include "plugin/HostPicture.h"
#include "tools/picture/PictureFile.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

typedef int32_t (*FilterGetTitleFunction)(int32_t, char *, int32_t *, int32_t *);
typedef int32_t (*FilterProcFunction)(HWND, const app::HostPictureInfo *,
                                      const app::HostRowChannel *, const app::HostRowChannel *,
                                      const char *);

app::Image Input, Output;

int32_t ReadColorRow(int32_t row, int32_t column, int32_t count, unsigned char *buffer, int32_t) {
  const unsigned char *pixel = Input.GetPixel(column, row);
  for (int32_t x = 0; x < count; ++x, pixel += 4) {
    buffer[3 * x] = pixel[2];
    buffer[3 * x + 1] = pixel[1];
    buffer[3 * x + 2] = pixel[0];
  }
  return 1;
}

int32_t ReadAlphaRow(int32_t row, int32_t column, int32_t count, unsigned char *buffer, int32_t,
                     int32_t) {
  const unsigned char *pixel = Input.GetPixel(column, row);
  for (int32_t x = 0; x < count; ++x, pixel += 4)
    buffer[x] = pixel[3];
  return 1;
}

int32_t WriteColorRow(int32_t row, int32_t column, int32_t count, unsigned char *buffer, int32_t) {
  unsigned char *pixel = Output.GetWritableRow(row) + column * 4;
  for (int32_t x = 0; x < count; ++x, pixel += 4) {
    pixel[0] = buffer[3 * x + 2];
    pixel[1] = buffer[3 * x + 1];
    pixel[2] = buffer[3 * x];
  }
  return 1;
}

int32_t WriteAlphaRow(int32_t row, int32_t column, int32_t count, unsigned char *buffer, int32_t,
                      int32_t) {
  unsigned char *pixel = Output.GetWritableRow(row) + column * 4;
  for (int32_t x = 0; x < count; ++x, pixel += 4)
    pixel[3] = buffer[x];
  return 1;
}

std::string ProgramFolder() {
  char name[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, name, MAX_PATH);
  std::string path(name);
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int Usage() {
  std::fprintf(stderr, "usage: brushmote-host [--plugin DLL] [--settings PATH] [INPUT] OUTPUT\n"
                       "  INPUT   a PNG or BMP picture (default: the embedded picture)\n"
                       "  OUTPUT  the PNG file that receives the painted picture\n");
  return 1;
}

} // namespace

int main(int argc, char **argv) {
  std::string plugin = ProgramFolder() + "brushmote.dll";
  const char *settings = nullptr;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc)
      plugin = argv[++i];
    else if (std::strcmp(argv[i], "--settings") == 0 && i + 1 < argc)
      settings = argv[++i];
    else if (argv[i][0] == '-' && argv[i][1] == '-')
      return Usage();
    else
      files.push_back(argv[i]);
  }
  if (files.empty() || files.size() > 2)
    return Usage();
  const std::string output = files.back();

  std::string error;
  if (files.size() == 2) {
    if (!app::ReadPictureFile(files[0], Input, error)) {
      std::fprintf(stderr, "brushmote-host: %s\n", error.c_str());
      return 2;
    }
  } else {
    app::MakeDefaultPicture(Input);
  }

  HMODULE library = LoadLibraryA(plugin.c_str());
  if (library == nullptr) {
    std::fprintf(stderr, "brushmote-host: cannot load the plug-in %s (system error %lu)\n",
                 plugin.c_str(), GetLastError());
    return 2;
  }
  auto getTitle =
      reinterpret_cast<FilterGetTitleFunction>(GetProcAddress(library, "FilterGetTitle"));
  auto filter = reinterpret_cast<FilterProcFunction>(GetProcAddress(library, "FilterProc"));
  if (getTitle == nullptr || filter == nullptr) {
    std::fprintf(stderr, "brushmote-host: %s is not a Brushmote plug-in\n", plugin.c_str());
    return 2;
  }
  char title[256] = {};
  int32_t a = 0, b = 0;
  getTitle(0, title, &a, &b);
  std::printf("Plug-in: %s\n", title);

  app::HostPictureInfo info = {Input.GetWidth(), Input.GetHeight(), 24};
  app::HostRowChannel source = {ReadColorRow, ReadAlphaRow};
  app::HostRowChannel destination = {WriteColorRow, WriteAlphaRow};
  // Until the plug-in hands the picture back, the output holds the input: a run the user ends
  // without the document being created leaves the host's picture as it was.
  Output.CopyFrom(Input);
  if (filter(nullptr, &info, &destination, &source, settings) == 0) {
    std::fprintf(stderr, "brushmote-host: the plug-in refused the picture\n");
    return 3;
  }
  if (!app::WritePngFile(output, Output, error)) {
    std::fprintf(stderr, "brushmote-host: %s\n", error.c_str());
    return 4;
  }
  std::printf("Wrote %s (%d x %d)\n", output.c_str(), Output.GetWidth(), Output.GetHeight());
  FreeLibrary(library);
  return 0;
}
