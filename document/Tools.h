// The tools: Paint, Erase and Blur turn the user's strokes into particles.
//
// Exactly one tool is current; it is named by its index everywhere (0 Paint, 1 Erase, 2 Blur,
// the same numbers as the engine's mode). All three are free-hand tools: while the left button
// is held, every engine turn emits a burst of particles spread along the path the pointer
// travelled since the previous turn. The picture view turns window messages into tool events
// and hands them to the current tool through DispatchToolEvent.
#pragma once

#include "engine/Core.h"
#include "engine/SprayStyle.h"

#include <cstdint>
#include <memory>

namespace app {

class Image;
class Registry;

// Tool indices (ToolCount, the number of tools, comes with the spray style).
enum : int32_t {
  ToolIndexPaint = 0,
  ToolIndexErase = 1,
  ToolIndexBlur = 2,
  ToolIndexCurrent = -1, // the current tool, where the per-tool records take a tool index
};

// The command ids of the tool buttons.
enum : int32_t {
  CommandToolPaint = 33100,
  CommandToolErase = 33101,
  CommandToolBlur = 33102,
};

// The application message broadcast when the current tool changed; wParam = the tool index.
enum : uint32_t { MessageToolChanged = 0x8001 };

// Tool event codes.
enum : int32_t {
  ToolEventMouseMove = 1,
  ToolEventButtonDown = 4, // starts a stroke when idle
  ToolEventButtonUp = 6,   // ends the stroke
  ToolEventDoubleClick = 7,
  ToolEventRightButtonDown = 8,
  ToolEventKeyDown = 9,
  ToolEventKeyUp = 10,
  ToolEventCancel = 11, // capture change, tool switch or a failed event: ends the stroke
  ToolEventTurn = 14,   // one engine turn has passed: emits one burst
};

// One call of the view into the current tool.
struct TOOL_EVENT {
  PICTURE_POINT Position; // pointer position in whole picture pixels
  Image *Picture;         // the document's picture
  Core *Engine;           // the document's particle engine
  int32_t EventCode;      // ToolEvent...
  int32_t KeyCode;        // the virtual-key code of key events, 0 otherwise
};

// One row of the fixed tool table.
struct TOOL_INFO {
  const char *Name;         // the "Tool" setting's value and the prefix of the tool's sections
  int32_t CommandId;        // the tool button
  bool UsesColorComponents; // red, green and blue of the two colours matter (Paint only)
  bool UsesOpacity;         // the opacity of the two colours matters
  bool HasSprayStyle;       // the tool has its own spray settings group
};

// The tool interface.
class ToolBase {
public:
  ToolBase() = default;
  ToolBase(const ToolBase &) = delete;
  ToolBase &operator=(const ToolBase &) = delete;
  virtual ~ToolBase();
  // The tool wants the mouse captured.
  virtual bool IsCapturing() const;
  // The tool must not be replaced now.
  virtual bool IsBusy() const;
  // Handles one event; the event may be changed (the cancel guard rewrites its code).
  virtual void OnEvent(TOOL_EVENT &event);
};

struct ToolFreeHandMember;

// The stroke behaviour shared by the three tools. Idle or stroking; IsCapturing and IsBusy are
// true exactly while a stroke is in progress. A stroke holds one reference to its settings
// record in the engine's particle settings list from button down to button up (or cancel).
class ToolFreeHand : public ToolBase {
public:
  ToolFreeHand();
  ~ToolFreeHand() override;
  bool IsCapturing() const override;
  bool IsBusy() const override;
  void OnEvent(TOOL_EVENT &event) override;

private:
  std::unique_ptr<ToolFreeHandMember> Member;
};

class ToolPaint final : public ToolFreeHand {};
class ToolErase final : public ToolFreeHand {};
class ToolBlur final : public ToolFreeHand {};

// Guard around one event: when destroyed while an exception leaves OnEvent, it sends the tool
// the cancel event (code 11, same event record) and swallows whatever that call throws, so the
// tool is idle again with its settings reference released. Does nothing after a normal return.
class ToolCanceler {
public:
  ToolCanceler(ToolBase &tool, TOOL_EVENT &event);
  ToolCanceler(const ToolCanceler &) = delete;
  ToolCanceler &operator=(const ToolCanceler &) = delete;
  ~ToolCanceler();

private:
  ToolBase &Tool;
  TOOL_EVENT &Event;
  int Uncaught;
};

// Guard of one reference to a particle settings index: releases it in the engine when
// destroyed, unless the engine is null.
class DecreaseReference {
public:
  DecreaseReference(Core *engine, int32_t index);
  DecreaseReference(const DecreaseReference &) = delete;
  DecreaseReference &operator=(const DecreaseReference &) = delete;
  ~DecreaseReference();

private:
  Core *Engine;
  int32_t Index;
};

// The tool table row of a tool index 0..2 (-1: the current tool). Other indices throw
// std::out_of_range.
const TOOL_INFO &GetToolInfo(int32_t tool);
// The index of the tool whose name is exactly the text (byte-wise, case-sensitive); -1 if none.
int32_t FindToolByName(const char *name);

// GetCurrentTool (declared with the spray style) answers the current tool's index, 0..2.

// Loads or saves the text value "Tool" (the current tool's name) in the store's root section.
// A loaded name that matches no tool selects Paint.
void ExchangeToolSetting(Registry &store);
// Start of a run: the "Tool" setting, then the current tool object.
void CreateTools(Registry &store);
// End of a run: saves the "Tool" setting.
void SaveTools(Registry &store);
// Destroys the current tool object (exit). Events dispatched afterwards are ignored.
void DestroyTools();

// Replaces the current tool object by a new one for the tool index, even when it is the
// current tool already, and tells the windows through the tool-changed hook. Throws
// app::Exception code 6, changing nothing, while the current tool is busy (stroking), and
// std::out_of_range for an index outside 0..2. The caller (the view) sends the cancel event
// first and sets the engine's mode afterwards, which erases all particles; SwitchTool does all
// three.
void SelectTool(int32_t tool);
// The view's whole tool switch: cancels a stroke in progress (with the engine, when not
// null), SelectTool, then the engine's SetMode with the new index.
void SwitchTool(int32_t tool, Core *engine);

// Hands the event to the current tool inside a ToolCanceler.
void DispatchToolEvent(TOOL_EVENT &event);
bool IsToolCapturing();
bool IsToolBusy();

// Called by SelectTool after every switch with the new tool index. The window layer installs
// a hook that sends MessageToolChanged to the main frame, its view and each existing panel;
// the core has no windows of its own. Null (the default) notifies no one.
using ToolChangedHook = void (*)(int32_t tool);
void SetToolChangedHook(ToolChangedHook hook);

// Sees every emission request just before it goes to the engine's AddParticle, while the
// request's settings index is still held; for the stroke renderer's statistics and for tests.
// Null (the default) observes nothing.
using EmissionObserver = void (*)(const EMIT_REQUEST &request, Core &engine, void *context);
void SetEmissionObserver(EmissionObserver observer, void *context);

} // namespace app
