// A settings group with one value of every type, exchanged the way the program's groups
// exchange theirs; shared by the store's tests over memory, the registry and the file.
#pragma once

#include "framework/Registry.h"
#include "framework/String.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace testing_support {

struct SETTINGS {
  int32_t Int = 0;
  bool Bool = false;
  uint8_t Byte = 0;
  double Double = 0.0;
  app::String Text;
  app::RECT32 Rect{0, 0, 0, 0};
  app::DPOINT Point{0.0, 0.0};
};

inline void ExchangeGroup(app::Registry &store, SETTINGS &s) {
  store.SelectSection("Panel\\Spray");
  store.ExchangeInt("Int", s.Int, -7);
  store.ExchangeBool("Bool", s.Bool, true);
  store.ExchangeByte("Byte", s.Byte, 200);
  store.ExchangeDouble("Double", s.Double, 0.5);
  store.ExchangeString("Text", s.Text, "default text");
  store.ExchangeRect("Window", s.Rect, app::RECT32{1, 2, 3, 4});
  store.ExchangePoint("Velocity", s.Point, app::DPOINT{0.25, -0.75});
}

inline void ExpectDefaults(const SETTINGS &s) {
  EXPECT_EQ(s.Int, -7);
  EXPECT_TRUE(s.Bool);
  EXPECT_EQ(s.Byte, 200);
  EXPECT_EQ(s.Double, 0.5);
  EXPECT_STREQ(s.Text.GetText(), "default text");
  EXPECT_EQ(s.Rect.left, 1);
  EXPECT_EQ(s.Rect.top, 2);
  EXPECT_EQ(s.Rect.right, 3);
  EXPECT_EQ(s.Rect.bottom, 4);
  EXPECT_EQ(s.Point.x, 0.25);
  EXPECT_EQ(s.Point.y, -0.75);
}

} // namespace testing_support
