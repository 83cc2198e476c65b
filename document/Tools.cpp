#include "document/Tools.h"

#include <cstring>
#include <exception>
#include <stdexcept>

namespace app {

namespace {

const TOOL_INFO ToolTable[ToolCount] = {
    {"Paint", CommandToolPaint, true, true, true},
    {"Erase", CommandToolErase, false, true, true},
    {"Blur", CommandToolBlur, false, true, true},
};

// Index of the current tool; Paint until the settings are read.
int32_t CurrentTool = ToolIndexPaint;

ToolChangedHook ToolChanged = nullptr;

} // namespace

const TOOL_INFO &GetToolInfo(int32_t tool) {
  if (tool == ToolIndexCurrent)
    tool = CurrentTool;
  if (tool < 0 || tool >= ToolCount)
    throw std::out_of_range("tool index");
  return ToolTable[tool];
}

int32_t FindToolByName(const char *name) {
  if (name == nullptr)
    return -1;
  for (int32_t i = 0; i < ToolCount; ++i) {
    if (std::strcmp(ToolTable[i].Name, name) == 0)
      return i;
  }
  return -1;
}

int32_t GetCurrentTool() { return CurrentTool; }

void SetToolChangedHook(ToolChangedHook hook) { ToolChanged = hook; }

ToolBase::~ToolBase() = default;

bool ToolBase::IsCapturing() const { return false; }

bool ToolBase::IsBusy() const { return false; }

void ToolBase::OnEvent(TOOL_EVENT &) {}

ToolCanceler::ToolCanceler(ToolBase &tool, TOOL_EVENT &event)
    : Tool(tool), Event(event), Uncaught(std::uncaught_exceptions()) {}

ToolCanceler::~ToolCanceler() {
  if (std::uncaught_exceptions() <= Uncaught)
    return; // the event was handled normally
  Event.EventCode = ToolEventCancel;
  try {
    Tool.OnEvent(Event);
  } catch (...) {
    // The first failure is the one the caller hears about.
  }
}

} // namespace app
