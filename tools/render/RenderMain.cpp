// brushmote-render: paints a picture with a stroke script and writes the result as a PNG once
// every particle has died.
//
//   brushmote-render [--picture IN.png|IN.bmp] SCRIPT OUT.png
//
// Without --picture (and without a canvas line in the script) the built-in default picture is
// painted. Exit codes: 0 success, 1 a bad script, 2 bad arguments or a file that cannot be read
// or written, 3 a failure while painting.
#include "document/StrokeScript.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "tools/picture/PictureFile.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: brushmote-render [--picture IN.png] SCRIPT OUT.png\n");
  return 2;
}

} // namespace

int main(int argc, char **argv) {
  std::string picturePath, scriptPath, outputPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--picture" || arg == "-p") {
      if (++i >= argc)
        return Usage();
      picturePath = argv[i];
    } else if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    } else if (!arg.empty() && arg[0] == '-') {
      std::fprintf(stderr, "brushmote-render: unknown option %s\n", arg.c_str());
      return Usage();
    } else if (scriptPath.empty()) {
      scriptPath = arg;
    } else if (outputPath.empty()) {
      outputPath = arg;
    } else {
      return Usage();
    }
  }
  if (scriptPath.empty() || outputPath.empty())
    return Usage();

  app::StrokeScript script;
  try {
    script.ParseFile(scriptPath);
  } catch (const app::StrokeScriptError &e) {
    std::fprintf(stderr, "%s: %s\n", scriptPath.c_str(), e.what());
    return e.GetLine() > 0 ? 1 : 2;
  }

  app::Image picture;
  std::string error;
  if (!picturePath.empty()) {
    if (script.HasCanvas())
      std::fprintf(stderr, "brushmote-render: the script's canvas replaces %s\n",
                   picturePath.c_str());
    else if (!app::ReadPictureFile(picturePath, picture, error)) {
      std::fprintf(stderr, "%s: %s\n", picturePath.c_str(), error.c_str());
      return 2;
    }
  } else if (!script.HasCanvas()) {
    app::MakeDefaultPicture(picture);
  }

  app::STROKE_RESULT result{};
  try {
    result = script.Run(picture);
  } catch (const app::StrokeScriptError &e) {
    std::fprintf(stderr, "%s: %s\n", scriptPath.c_str(), e.what());
    return 1;
  } catch (const app::Exception &e) {
    std::fprintf(stderr, "%s: painting failed (%s, code %d)\n", scriptPath.c_str(), e.what(),
                 static_cast<int>(e.GetCode()));
    return 3;
  } catch (const std::exception &e) {
    std::fprintf(stderr, "%s: painting failed (%s)\n", scriptPath.c_str(), e.what());
    return 3;
  }

  if (!app::WritePngFile(outputPath, picture, error)) {
    std::fprintf(stderr, "%s: %s\n", outputPath.c_str(), error.c_str());
    return 2;
  }
  std::printf("%s: %d x %d, %d turns, %lld particles emitted\n", outputPath.c_str(),
              static_cast<int>(picture.GetWidth()), static_cast<int>(picture.GetHeight()),
              static_cast<int>(result.Turns), static_cast<long long>(result.Particles));
  return 0;
}
