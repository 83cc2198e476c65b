#include "document/StrokeScript.h"
#include "document/Tools.h"
#include "engine/ColorStyle.h"
#include "engine/GeneralStyle.h"
#include "engine/SprayStyle.h"
#include "foundation/Image.h"
#include "tests/unit/saved_records.h"
#include "tools/picture/PictureFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// FNV-1a over the picture's pixel bytes, row by row.
uint64_t PixelHash(const app::Image &picture) {
  uint64_t hash = 14695981039346656037ull;
  for (int32_t y = 0; y < picture.GetHeight(); ++y) {
    const unsigned char *row = picture.GetRow(y);
    for (int32_t i = 0; i < picture.GetWidth() * picture.GetBytesPerPixel(); ++i) {
      hash ^= row[i];
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

std::string HashText(uint64_t hash) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

uint64_t Render(const std::string &script, app::STROKE_RESULT *result = nullptr) {
  app::StrokeScript s;
  s.Parse(script);
  app::Image picture;
  if (!s.HasCanvas())
    app::MakeDefaultPicture(picture);
  const app::STROKE_RESULT r = s.Run(picture);
  if (result != nullptr)
    *result = r;
  return PixelHash(picture);
}

// A run resets the program-wide settings and the current tool; the tests put them back.
class StrokeScript : public ::testing::Test {
protected:
  void SetUp() override { Tool = app::GetCurrentTool(); }
  void TearDown() override {
    app::DestroyTools();
    app::SelectTool(Tool);
    app::DestroyTools();
  }
  testing_support::SavedRecords Saved;
  int32_t Tool = 0;
};

// The shipped examples on the default picture. The hashes were taken from renders checked by
// eye; a change means every painted pixel must be looked at again.
TEST_F(StrokeScript, ExamplesRenderTheirGoldenPictures) {
  const struct {
    const char *name;
    const char *hash;
  } golden[] = {
      {"paint", "bb03bc105f7b161b"},
      {"erase", "f9a901064a92e233"},
      {"blur", "3077833590e31d8d"},
  };
  for (const auto &g : golden) {
    app::StrokeScript script;
    script.ParseFile(std::string(BRUSHMOTE_TEST_SOURCE_DIR) + "/examples/strokes/" + g.name +
                     ".txt");
    app::Image picture;
    app::MakeDefaultPicture(picture);
    const uint64_t untouched = PixelHash(picture);
    script.Run(picture);
    EXPECT_NE(PixelHash(picture), untouched) << g.name;
    EXPECT_EQ(HashText(PixelHash(picture)), g.hash) << g.name;
  }
}

TEST_F(StrokeScript, TheSameSeededStrokeReplaysToIdenticalPixels) {
  const std::string stroke = "spray Count 12\n"
                             "spray VelocityMode 3\n" // random swing
                             "spray VelocityWiggle 0.5\n"
                             "coloring random\n"
                             "color back #2040ffff\n"
                             "down 10 30\n"
                             "drag 80 40 10\n"
                             "up\n";
  const std::string canvas = "canvas 96 64 #00000000\n";
  app::STROKE_RESULT first{}, second{};
  const uint64_t a = Render(canvas + "seed 5\n" + stroke, &first);
  const uint64_t b = Render(canvas + "seed 5\n" + stroke, &second);
  EXPECT_EQ(a, b);
  EXPECT_EQ(first.Turns, second.Turns);
  EXPECT_EQ(first.Particles, 1 + 12 * 10);
  EXPECT_EQ(second.Particles, first.Particles);
  EXPECT_NE(Render(canvas + "seed 6\n" + stroke), a); // the seed really matters
}

TEST_F(StrokeScript, CanvasToolsAndSettingsApply) {
  // Paint on a transparent canvas, then erase the left half of it: only the right half keeps
  // opaque pixels, and nothing outside the stroke's band is touched.
  app::StrokeScript script;
  script.Parse("canvas 120 60 #00000000\n"
               "# one horizontal stroke, then erasing its left part\n"
               "general GravityY 0   # no falling\n"
               "color fore #10ff20ff\n"
               "spray Count 20\n"
               "down 10 30\n"
               "drag 110 30 20\n"
               "up\n"
               "settle\n"
               "tool erase\n"
               "spray Size 20\n"
               "down 0 30\n"
               "drag 55 30 20\n");
  ASSERT_TRUE(script.HasCanvas());
  app::Image picture;
  script.Run(picture);
  ASSERT_EQ(picture.GetWidth(), 120);
  ASSERT_EQ(picture.GetHeight(), 60);
  int32_t opaqueLeft = 0, opaqueRight = 0, touchedFar = 0;
  for (int32_t y = 0; y < 60; ++y) {
    for (int32_t x = 0; x < 120; ++x) {
      const unsigned char *p = picture.GetPixel(x, y);
      if (y < 5 || y > 55)
        touchedFar += p[3] != 0;
      if (p[3] == 255 && x < 40)
        ++opaqueLeft;
      if (p[3] == 255 && x > 70) {
        ++opaqueRight;
        EXPECT_EQ(p[1], 255); // the fore colour's green
      }
    }
  }
  EXPECT_GT(opaqueRight, 100);
  EXPECT_LT(opaqueLeft * 10, opaqueRight); // at most a few specks at the eraser's fringe
  EXPECT_EQ(touchedFar, 0);
  EXPECT_EQ(app::GetCurrentTool(), app::ToolIndexErase);
}

TEST_F(StrokeScript, BadScriptsNameTheLineAndKeepTheScript) {
  const struct {
    const char *text;
    int32_t line;
    const char *message;
  } cases[] = {
      {"seed 1\nfly 3 4\n", 2, "unknown command \"fly\""},
      {"down 1\n", 1, "usage: down X Y"},
      {"\n\ndown 1 x\n", 3, "\"x\" is not a number"},
      {"down 1 nan\n", 1, "\"nan\" is not a number"},
      {"down 1e9 0\n", 1, "too far outside"},
      {"turn 2.5\n", 1, "not a whole number"},
      {"turn 100001\n", 1, "outside 0 to 100000"},
      {"drag 1 2 0\n", 1, "outside 1 to 100000"},
      {"tool smudge\n", 1, "unknown tool \"smudge\""},
      {"color fore red\n", 1, "is not a colour"},
      {"color fore #12345g\n", 1, "is not a colour"},
      {"color side #123456\n", 1, "neither fore nor back"},
      {"coloring plaid\n", 1, "unknown coloring"},
      {"usefore maybe\n", 1, "not on or off"},
      {"spray Speed 3\n", 1, "unknown spray setting \"Speed\""},
      {"spray Count 2.5\n", 1, "not a whole number"},
      {"spray UseSpin 2\n", 1, "not on or off"},
      {"general Lively 2\n", 1, "between 0 and 1"},
      {"general GravityType 2\n", 1, "outside 0 to 1"},
      {"seed 1\ncanvas 10 10\n", 2, "canvas must come first"},
      {"canvas 0 10\n", 1, "outside 1 to 4096"},
      {"up now\n", 1, "usage: up"},
  };
  for (const auto &c : cases) {
    app::StrokeScript script;
    script.Parse("canvas 8 8\ndown 4 4\n");
    try {
      script.Parse(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const app::StrokeScriptError &e) {
      EXPECT_EQ(e.GetLine(), c.line) << c.text;
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.text << " -> " << e.what();
      EXPECT_EQ(std::string(e.what()).rfind("line " + std::to_string(c.line) + ": ", 0), 0u)
          << e.what();
    }
    EXPECT_TRUE(script.HasCanvas()); // the previous script is kept
  }

  app::StrokeScript missing;
  EXPECT_THROW(missing.ParseFile("/nonexistent/strokes.txt"), app::StrokeScriptError);

  // Settling with the button still down can never finish.
  app::StrokeScript stuck;
  stuck.Parse("canvas 16 16\ndown 8 8\nsettle\n");
  app::Image picture;
  try {
    stuck.Run(picture);
    ADD_FAILURE() << "settled";
  } catch (const app::StrokeScriptError &e) {
    EXPECT_EQ(e.GetLine(), 3);
  }
  EXPECT_FALSE(app::IsToolBusy()); // the stroke was cancelled with its engine
}

} // namespace
