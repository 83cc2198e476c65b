#include "document/Tools.h"
#include "engine/ColorStyle.h"
#include "engine/Core.h"
#include "engine/GeneralStyle.h"
#include "engine/ParticleInfoList.h"
#include "engine/SprayStyle.h"
#include "foundation/Exception.h"
#include "foundation/Image.h"
#include "foundation/Random.h"
#include "framework/Registry.h"
#include "tests/unit/memory_medium.h"
#include "tests/unit/saved_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using app::Core;
using app::EMIT_REQUEST;
using app::SPRAYSTYLE;
using app::TOOL_EVENT;

constexpr double Pi = 3.14159265358979323846;

// One emission as the tool handed it to the engine, with the first colour of its settings.
struct EMISSION {
  EMIT_REQUEST Request;
  uint32_t Color;
};

void Record(const EMIT_REQUEST &request, Core &engine, void *context) {
  const app::PARTICLE_INFO_ITEM &item = engine.GetParticleInfos().GetItem(request.SettingsIndex);
  const uint32_t color = app::KeyField<uint32_t>(item, offsetof(SPRAYSTYLE, Color) +
                                                           offsetof(app::COLORSTYLE, Colors));
  static_cast<std::vector<EMISSION> *>(context)->push_back({request, color});
}

// A Paint tool on a 256 x 256 engine, with an emission recorder and a spray whose particles
// land exactly where the tool aims (Size 0) and fly exactly as the tool sends them.
class ToolStroke : public ::testing::Test {
protected:
  void SetUp() override {
    app::DestroyTools();
    app::SelectTool(app::ToolIndexPaint);
    Picture.Reset(256, 256, 4);
    Picture.Clear();
    Engine.SetPictureSize(256, 256);
    Engine.SetMode(app::ToolIndexPaint);
    app::SeedRandom(1);
    app::SetEmissionObserver(Record, &Emitted);
    SPRAYSTYLE spray = app::DefaultSprayStyle();
    spray.Size = 0;
    spray.Throwing = 0;
    spray.VelocityWidth = 0;
    spray.VelocityWiggle = 0;
    spray.Velocity = {16, 0};
    spray.Count = 4;
    app::SetSprayStyle(spray, app::ToolIndexPaint);
    app::SetColorStyle(app::DefaultColorStyle(), app::ToolIndexPaint);
  }

  void TearDown() override {
    Send(app::ToolEventCancel, 0, 0);
    app::SetEmissionObserver(nullptr, nullptr);
    app::SetToolChangedHook(nullptr);
    app::DestroyTools();
  }

  void Spray(void (*change)(SPRAYSTYLE &)) {
    SPRAYSTYLE spray = app::CopySprayStyle(app::ToolIndexPaint);
    change(spray);
    app::SetSprayStyle(spray, app::ToolIndexPaint);
  }

  void Send(int32_t code, double x, double y) {
    TOOL_EVENT event = {{x, y}, &Picture, &Engine, code, 0};
    app::DispatchToolEvent(event);
  }

  // Direction of an emitted velocity in degrees.
  static double Degrees(const EMISSION &e) {
    return std::atan2(e.Request.StartVelocity.y, e.Request.StartVelocity.x) * 180 / Pi;
  }

  app::Image Picture;
  Core Engine;
  std::vector<EMISSION> Emitted;
  testing_support::SavedRecords Saved;
};

TEST_F(ToolStroke, BurstsLieEvenlyOnThePointerPathAndEndAtThePointer) {
  Send(app::ToolEventButtonDown, 10, 20);
  ASSERT_EQ(Emitted.size(), 1u);
  EXPECT_EQ(Emitted[0].Request.StartPosition.x, 10);
  EXPECT_EQ(Emitted[0].Request.StartPosition.y, 20);
  EXPECT_TRUE(app::IsToolCapturing());
  EXPECT_TRUE(app::IsToolBusy());

  Send(app::ToolEventMouseMove, 99, 99); // moves are not emissions
  Send(app::ToolEventTurn, 50, 60);      // a fast stroke: 40 right, 40 down
  Send(app::ToolEventTurn, 50, 60);      // a turn without movement
  Send(app::ToolEventTurn, 51, 59.5);    // a step that does not divide evenly by Count
  ASSERT_EQ(Emitted.size(), 13u);
  const double expected[][2] = {{20, 30},        {30, 40},      {40, 50},       {50, 60}, // burst 1
                                {50, 60},        {50, 60},      {50, 60},       {50, 60}, // burst 2
                                {50.25, 59.875}, {50.5, 59.75}, {50.75, 59.625}};         // burst 3
  for (size_t i = 0; i < 11; ++i) {
    EXPECT_DOUBLE_EQ(Emitted[1 + i].Request.StartPosition.x, expected[i][0]) << i;
    EXPECT_DOUBLE_EQ(Emitted[1 + i].Request.StartPosition.y, expected[i][1]) << i;
  }
  EXPECT_EQ(Emitted[12].Request.StartPosition.x, 51); // exactly the pointer
  EXPECT_EQ(Emitted[12].Request.StartPosition.y, 59.5);

  Send(app::ToolEventButtonUp, 51, 59.5);
  EXPECT_FALSE(app::IsToolBusy());
  Send(app::ToolEventTurn, 80, 80); // idle: turns emit nothing
  EXPECT_EQ(Emitted.size(), 13u);
}

TEST_F(ToolStroke, PressAndReleaseWithoutTurnsEmitsOneParticle) {
  Send(app::ToolEventButtonDown, 30, 40);
  Send(app::ToolEventButtonUp, 30, 40);
  EXPECT_EQ(Emitted.size(), 1u);
  EXPECT_EQ(Engine.GetParticleCount(), 1);
}

TEST_F(ToolStroke, CountZeroEmitsOnlyThePressParticle) {
  Spray([](SPRAYSTYLE &s) { s.Count = 0; });
  Send(app::ToolEventButtonDown, 30, 40);
  for (int i = 1; i <= 5; ++i)
    Send(app::ToolEventTurn, 30 + 10 * i, 40);
  Send(app::ToolEventButtonUp, 80, 40);
  ASSERT_EQ(Emitted.size(), 1u);
  EXPECT_TRUE(std::isfinite(Emitted[0].Request.StartVelocity.x));
}

TEST_F(ToolStroke, ThrowingAddsTheInterpolatedPointerMotion) {
  Spray([](SPRAYSTYLE &s) {
    s.Velocity = {0, 0};
    s.Throwing = 0.5;
  });
  Send(app::ToolEventButtonDown, 100, 100);
  Send(app::ToolEventTurn, 140, 120); // motion (40, 20), reached in four steps from (0, 0)
  Send(app::ToolEventTurn, 140, 120); // motion (0, 0), falling back in four steps
  ASSERT_EQ(Emitted.size(), 9u);
  EXPECT_EQ(Emitted[0].Request.StartVelocity.x, 0);
  const double share[] = {0.25, 0.5, 0.75, 1, 0.75, 0.5, 0.25, 0};
  for (size_t i = 0; i < 8; ++i) {
    // Throwing in engine units is 0.5 / 16 of the motion in pixels.
    EXPECT_DOUBLE_EQ(Emitted[1 + i].Request.StartVelocity.x, 0.5 / 16 * 40 * share[i]) << i;
    EXPECT_DOUBLE_EQ(Emitted[1 + i].Request.StartVelocity.y, 0.5 / 16 * 20 * share[i]) << i;
  }
  EXPECT_EQ(Emitted[1].Request.Generations, app::CopySprayStyle(0).SplitGenerations);
  EXPECT_EQ(Emitted[1].Request.Picture, &Picture);
}

TEST_F(ToolStroke, SwingModesSweepTheDirection) {
  // Width 90, 30 degrees a turn, 3 particles a burst: the phase of particle i in turn T is
  // T * 30 + i * 10 + 45.
  struct Case {
    int32_t mode;
    double angles[10]; // press, then three bursts of three
  } cases[] = {
      {app::VelocityLeftSpin, {0, 0, 10, 20, 30, 40, -40, -30, -20, -10}},
      {app::VelocityRightSpin, {0, 0, -10, -20, -30, -40, 40, 30, 20, 10}},
      {app::VelocityWiper, {0, 0, 10, 20, 30, 40, 40, 30, 20, 10}},
      {app::VelocityNoSweep, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case &c : cases) {
    Spray([](SPRAYSTYLE &s) {
      s.VelocityWidth = 90;
      s.VelocityRotationSpeed = 30;
      s.Count = 3;
    });
    SPRAYSTYLE spray = app::CopySprayStyle(0);
    spray.VelocityMode = c.mode;
    app::SetSprayStyle(spray, 0);
    Emitted.clear();
    Send(app::ToolEventButtonDown, 100, 100);
    for (int turn = 0; turn < 3; ++turn)
      Send(app::ToolEventTurn, 100, 100);
    Send(app::ToolEventButtonUp, 100, 100);
    ASSERT_EQ(Emitted.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
      EXPECT_NEAR(Degrees(Emitted[i]), c.angles[i], 1e-9) << "mode " << c.mode << " #" << i;
      EXPECT_NEAR(
          std::hypot(Emitted[i].Request.StartVelocity.x, Emitted[i].Request.StartVelocity.y), 1.0,
          1e-12); // a rotation keeps the speed
    }
  }
}

TEST_F(ToolStroke, RandomSwingStaysInsideTheWidthAndWidthZeroDisablesEverySwing) {
  Spray([](SPRAYSTYLE &s) {
    s.VelocityWidth = 60;
    s.VelocityMode = app::VelocityRandom;
    s.Count = 50;
  });
  Send(app::ToolEventButtonDown, 100, 100);
  Send(app::ToolEventTurn, 100, 100);
  Send(app::ToolEventButtonUp, 100, 100);
  double least = 180, most = -180;
  for (const EMISSION &e : Emitted) {
    least = std::min(least, Degrees(e));
    most = std::max(most, Degrees(e));
  }
  EXPECT_GE(least, -30);
  EXPECT_LT(most, 30);
  EXPECT_GT(most - least, 30); // really spread

  for (int32_t mode : {0, 1, 2, 3, 4}) {
    SPRAYSTYLE spray = app::CopySprayStyle(0);
    spray.VelocityWidth = 0;
    spray.VelocityMode = mode;
    app::SetSprayStyle(spray, 0);
    Emitted.clear();
    Send(app::ToolEventButtonDown, 100, 100);
    Send(app::ToolEventTurn, 120, 100);
    Send(app::ToolEventButtonUp, 120, 100);
    for (const EMISSION &e : Emitted) {
      EXPECT_EQ(e.Request.StartVelocity.x, 1) << mode;
      EXPECT_EQ(e.Request.StartVelocity.y, 0) << mode;
    }
  }
}

TEST_F(ToolStroke, WiggleOnlySlowsParticlesDown) {
  Spray([](SPRAYSTYLE &s) {
    s.VelocityWiggle = 0.5;
    s.Count = 40;
  });
  Send(app::ToolEventButtonDown, 100, 100);
  Send(app::ToolEventTurn, 100, 100);
  double least = 2, most = 0;
  for (const EMISSION &e : Emitted) {
    EXPECT_EQ(e.Request.StartVelocity.y, 0);
    least = std::min(least, e.Request.StartVelocity.x);
    most = std::max(most, e.Request.StartVelocity.x);
  }
  EXPECT_GE(least, 0.5);
  EXPECT_LE(most, 1.0);
  EXPECT_GT(most - least, 0.2);
}

TEST_F(ToolStroke, ParticlesScatterWithinHalfTheSize) {
  Spray([](SPRAYSTYLE &s) {
    s.Size = 10;
    s.Count = 60;
  });
  Send(app::ToolEventButtonDown, 100, 100);
  Send(app::ToolEventTurn, 100, 100);
  double farthest = 0;
  for (const EMISSION &e : Emitted) {
    const double d = std::hypot(e.Request.StartPosition.x - 100, e.Request.StartPosition.y - 100);
    EXPECT_LE(d, 5.0 + 1e-12);
    farthest = std::max(farthest, d);
  }
  EXPECT_GT(farthest, 3.0);
}

TEST_F(ToolStroke, RandomColoursLieOnTheLineBetweenTheTwoColours) {
  app::COLORSTYLE color = app::DefaultColorStyle();
  color.Colors[0] = 0xFF1EC80Au; // red 10, green 200, blue 30, alpha 255
  color.Colors[1] = 0x378200FAu; // red 250, green 0, blue 130, alpha 55
  color.Coloring = app::ColoringRandom;
  app::SetColorStyle(color, app::ToolIndexPaint);
  Spray([](SPRAYSTYLE &s) { s.Count = 10; });

  Send(app::ToolEventButtonDown, 100, 100);
  Send(app::ToolEventTurn, 130, 100);
  Send(app::ToolEventTurn, 160, 110);
  ASSERT_EQ(Emitted.size(), 21u);
  std::vector<uint32_t> seen;
  for (const EMISSION &e : Emitted) {
    // Some t in 0..32767 must give all four bytes at once.
    bool found = false;
    for (int32_t t = 0; t <= 32767 && !found; ++t)
      found = app::MixColors(color.Colors[0], color.Colors[1], t) == e.Color;
    EXPECT_TRUE(found) << std::hex << e.Color;
    seen.push_back(e.Color);
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_GT(std::unique(seen.begin(), seen.end()) - seen.begin(), 15);

  // Each private record lives exactly as long as its particle: once the stroke ends and the
  // particles are gone, nothing is left in the settings list.
  Send(app::ToolEventButtonUp, 160, 110);
  EXPECT_TRUE(Engine.HasParticles());
  Engine.EraseAllParticles();
  EXPECT_FALSE(Engine.HasParticles());
}

TEST_F(ToolStroke, AStrokeHoldsOneSettingsReferenceUntilTheButtonGoesUp) {
  Send(app::ToolEventButtonDown, -500, -500); // outside the grid: the particle is dropped
  EXPECT_EQ(Engine.GetParticleCount(), 0);
  EXPECT_TRUE(Engine.HasParticles()); // the stroke's own reference keeps the engine busy
  Send(app::ToolEventButtonUp, -500, -500);
  EXPECT_FALSE(Engine.HasParticles());
  Send(app::ToolEventButtonUp, -500, -500); // a second release is ignored
  EXPECT_FALSE(Engine.HasParticles());
}

TEST_F(ToolStroke, AFailedEventLeavesTheToolIdleAndSwitchable) {
  Send(app::ToolEventButtonDown, -500, -500); // dropped: only the stroke holds its settings
  ASSERT_EQ(Emitted.size(), 1u);
  // Something else drops the stroke's reference: the next emission and the cancel's release
  // both fail.
  Engine.ReleaseSettings(Emitted[0].Request.SettingsIndex);
  ASSERT_FALSE(Engine.HasParticles());
  EXPECT_THROW(Send(app::ToolEventTurn, -400, -500), std::out_of_range);
  EXPECT_FALSE(app::IsToolBusy());
  EXPECT_FALSE(app::IsToolCapturing());
  EXPECT_NO_THROW(app::SelectTool(app::ToolIndexBlur));
  // And the next stroke starts cleanly, without releasing anything twice.
  Send(app::ToolEventButtonDown, 100, 100);
  Send(app::ToolEventButtonUp, 100, 100);
  Engine.EraseAllParticles();
  EXPECT_FALSE(Engine.HasParticles());
}

TEST_F(ToolStroke, SwitchingToolsCancelsTheStrokeErasesParticlesAndTellsTheWindows) {
  static std::vector<int32_t> told;
  told.clear();
  app::SetToolChangedHook([](int32_t tool) { told.push_back(tool); });

  Send(app::ToolEventButtonDown, 100, 100);
  Send(app::ToolEventTurn, 120, 100);
  ASSERT_GT(Engine.GetParticleCount(), 0);

  // While stroking the tool cannot be replaced, and nothing changes.
  try {
    app::SelectTool(app::ToolIndexErase);
    ADD_FAILURE() << "no exception";
  } catch (const app::Exception &e) {
    EXPECT_EQ(e.GetCode(), app::ErrorToolBusy);
  }
  EXPECT_EQ(app::GetCurrentTool(), app::ToolIndexPaint);
  EXPECT_TRUE(app::IsToolBusy());
  EXPECT_TRUE(told.empty());

  // The view's switch: cancel, select, set the engine's mode.
  app::SwitchTool(app::ToolIndexErase, &Engine);
  EXPECT_EQ(app::GetCurrentTool(), app::ToolIndexErase);
  EXPECT_EQ(Engine.GetMode(), app::ToolIndexErase);
  EXPECT_EQ(Engine.GetParticleCount(), 0);
  EXPECT_FALSE(Engine.HasParticles());
  EXPECT_FALSE(app::IsToolBusy());
  EXPECT_EQ(told, std::vector<int32_t>{app::ToolIndexErase});
  EXPECT_STREQ(app::GetToolInfo(app::ToolIndexCurrent).Name, "Erase");

  // The current tool again: still a fresh object, still announced.
  app::SelectTool(app::ToolIndexErase);
  EXPECT_EQ(told.size(), 2u);
  EXPECT_THROW(app::SelectTool(3), std::out_of_range);
  EXPECT_THROW(app::SelectTool(-1), std::out_of_range);
  EXPECT_EQ(app::GetCurrentTool(), app::ToolIndexErase);
  app::SelectTool(app::ToolIndexPaint);
}

TEST_F(ToolStroke, EventsWithoutAToolObjectAreIgnored) {
  app::DestroyTools();
  Send(app::ToolEventButtonDown, 100, 100);
  EXPECT_TRUE(Emitted.empty());
  EXPECT_FALSE(app::IsToolCapturing());
  EXPECT_FALSE(Engine.HasParticles());
  app::SelectTool(app::ToolIndexPaint);
}

// A tool that fails on chosen events and records what it was sent.
class FailingTool : public app::ToolBase {
public:
  void OnEvent(TOOL_EVENT &event) override {
    Codes.push_back(event.EventCode);
    if (event.EventCode == FailOn || FailCancel)
      throw std::runtime_error("event failed");
  }
  std::vector<int32_t> Codes;
  int32_t FailOn = 14;
  bool FailCancel = false;
};

TEST(ToolCanceler, CancelsOnlyWhenTheEventThrowsAndKeepsTheFirstFailure) {
  for (bool failCancel : {false, true}) {
    FailingTool tool;
    tool.FailCancel = failCancel;
    TOOL_EVENT event = {{1, 2}, nullptr, nullptr, app::ToolEventTurn, 0};
    try {
      app::ToolCanceler canceler(tool, event);
      tool.OnEvent(event);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error &e) {
      EXPECT_STREQ(e.what(), "event failed");
    }
    EXPECT_EQ(tool.Codes, (std::vector<int32_t>{app::ToolEventTurn, app::ToolEventCancel}));
    EXPECT_EQ(event.EventCode, app::ToolEventCancel);
  }

  FailingTool tool;
  TOOL_EVENT event = {{1, 2}, nullptr, nullptr, app::ToolEventButtonDown, 0};
  {
    app::ToolCanceler canceler(tool, event);
    tool.OnEvent(event);
  }
  EXPECT_EQ(tool.Codes, std::vector<int32_t>{app::ToolEventButtonDown});
}

using testing_support::MemoryMedium;

void ExchangeTool(std::map<std::string, std::string> &values, bool loading) {
  app::Registry store(std::make_unique<MemoryMedium>(values));
  store.Open(loading);
  if (loading)
    app::CreateTools(store);
  else
    app::SaveTools(store);
}

TEST(ToolSetting, LoadsOnlyExactToolNamesAndSavesTheCurrentOne) {
  app::DestroyTools();
  const struct {
    const char *stored; // null: no value
    int32_t before;
    int32_t tool;
  } cases[] = {
      {"Erase", 0, 1}, {"Blur", 0, 2}, {"Paint", 2, 0},  {"erase", 2, 0}, {"BLUR", 1, 0},
      {"Blur ", 1, 0}, {"", 2, 0},     {"Smudge", 1, 0}, {nullptr, 2, 2}}; // missing: the current
                                                                           // tool's name is the
                                                                           // default
  for (const auto &c : cases) {
    app::SelectTool(c.before);
    std::map<std::string, std::string> values;
    if (c.stored != nullptr)
      values["App/Tool"] = c.stored;
    ExchangeTool(values, true);
    EXPECT_EQ(app::GetCurrentTool(), c.tool) << (c.stored ? c.stored : "(none)");
    EXPECT_FALSE(app::IsToolBusy());
  }

  app::SelectTool(app::ToolIndexBlur);
  std::map<std::string, std::string> values;
  ExchangeTool(values, false);
  EXPECT_EQ(values, (std::map<std::string, std::string>{{"App/Tool", "Blur"}}));
  app::SelectTool(app::ToolIndexPaint);
  app::DestroyTools();
}

} // namespace
