// Puts the program-wide settings records back as they were when a test ends.
#pragma once

#include "engine/ColorStyle.h"
#include "engine/GeneralStyle.h"
#include "engine/SprayStyle.h"
#include "plugin/Options.h"

namespace testing_support {

class SavedRecords {
public:
  SavedRecords() {
    for (int32_t i = 0; i < app::ToolCount; ++i) {
      Spray[i] = app::CopySprayStyle(i);
      Color[i] = app::CopyColorStyle(i);
    }
    app::GetGeneralStyle(&General);
    app::GetOptions(&Options);
  }
  SavedRecords(const SavedRecords &) = delete;
  SavedRecords &operator=(const SavedRecords &) = delete;
  ~SavedRecords() {
    for (int32_t i = 0; i < app::ToolCount; ++i) {
      app::SetSprayStyle(Spray[i], i);
      app::SetColorStyle(Color[i], i);
    }
    app::SetGeneralStyle(General);
    app::SetOptions(Options);
  }

private:
  app::SPRAYSTYLE Spray[app::ToolCount];
  app::COLORSTYLE Color[app::ToolCount];
  app::GENERALSTYLE General;
  app::OPTIONS Options;
};

} // namespace testing_support
