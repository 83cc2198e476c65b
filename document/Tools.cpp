#include "document/Tools.h"

#include "foundation/Exception.h"
#include "framework/Registry.h"
#include "framework/String.h"

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

// The one tool object of the current tool; null before CreateTools and after DestroyTools.
std::unique_ptr<ToolBase> CurrentToolObject;

ToolChangedHook ToolChanged = nullptr;

void CheckToolIndex(int32_t tool) {
  if (tool < 0 || tool >= ToolCount)
    throw std::out_of_range("tool index");
}

std::unique_ptr<ToolBase> MakeTool(int32_t tool) {
  switch (tool) {
  case ToolIndexErase:
    return std::make_unique<ToolErase>();
  case ToolIndexBlur:
    return std::make_unique<ToolBlur>();
  default:
    return std::make_unique<ToolPaint>();
  }
}

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

void DestroyTools() { CurrentToolObject.reset(); }

void ExchangeToolSetting(Registry &store) {
  store.SelectSection(nullptr);
  String name(ToolTable[CurrentTool].Name);
  store.ExchangeString("Tool", name, ToolTable[CurrentTool].Name);
  if (store.IsLoading()) {
    const int32_t tool = FindToolByName(name.GetText());
    CurrentTool = tool >= 0 ? tool : ToolIndexPaint;
  }
}

void CreateTools(Registry &store) {
  ExchangeToolSetting(store);
  CurrentToolObject = MakeTool(CurrentTool);
}

void SaveTools(Registry &store) { ExchangeToolSetting(store); }

void SelectTool(int32_t tool) {
  CheckToolIndex(tool);
  if (CurrentToolObject != nullptr && CurrentToolObject->IsBusy())
    throw Exception(ErrorToolBusy);
  // The new object is made before the old one goes, so that a failure keeps a current tool.
  std::unique_ptr<ToolBase> next = MakeTool(tool);
  CurrentToolObject = std::move(next);
  CurrentTool = tool;
  if (ToolChanged != nullptr)
    ToolChanged(tool);
}

void SwitchTool(int32_t tool, Core *engine) {
  CheckToolIndex(tool);
  if (engine != nullptr && CurrentToolObject != nullptr) {
    TOOL_EVENT cancel = {{0, 0}, nullptr, engine, ToolEventCancel, 0};
    DispatchToolEvent(cancel);
  }
  SelectTool(tool);
  if (engine != nullptr)
    engine->SetMode(tool);
}

void DispatchToolEvent(TOOL_EVENT &event) {
  if (CurrentToolObject == nullptr)
    return; // no tool before start-up or after exit
  ToolBase &tool = *CurrentToolObject;
  ToolCanceler canceler(tool, event);
  tool.OnEvent(event);
}

bool IsToolCapturing() { return CurrentToolObject != nullptr && CurrentToolObject->IsCapturing(); }

bool IsToolBusy() { return CurrentToolObject != nullptr && CurrentToolObject->IsBusy(); }

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
