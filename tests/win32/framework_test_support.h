// Shared pieces of the window-framework tests: a bounded message pump, captured error
// messages, a settings medium in memory and small frames, views, dialogs and controls of the
// tests' own.
#pragma once

#include "framework/Document.h"
#include "framework/Registry.h"
#include "framework/win32/ErrorReport.h"
#include "framework/win32/Frame.h"
#include "framework/win32/ValueControl.h"
#include "framework/win32/View.h"
#include "framework/win32/Window.h"
#include "tests/unit/memory_medium.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fwtest {

// Handles the messages waiting now and those arriving within the time, then returns. A quit
// message (from a frame going away) is dropped so that it cannot end a later modal loop.
inline void Pump(DWORD milliseconds = 30) {
  DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

// Error messages shown while a test runs, with the modal state each one saw.
struct ShownMessage {
  std::string Text;
  std::string Caption;
  bool MainWindowEnabled;
};

inline std::vector<ShownMessage> &ShownMessages() {
  static std::vector<ShownMessage> messages;
  return messages;
}

inline void CaptureMessage(HWND, const char *text, const char *caption, UINT) {
  HWND main = app::GetMainWindow();
  ShownMessages().push_back({text, caption, main == nullptr || IsWindowEnabled(main) != FALSE});
}

// Installs the capturing shower for the test and empties the program-wide slots after it.
class FrameworkTest : public ::testing::Test {
protected:
  void SetUp() override {
    ShownMessages().clear();
    Previous = app::SetErrorMessageShower(&CaptureMessage);
  }
  void TearDown() override {
    for (int32_t index = 0; index < app::PanelCount; ++index) {
      app::SetPanel(index, nullptr);
    }
    app::SetMainFrame(nullptr);
    Pump(5);
    app::SetErrorMessageShower(Previous);
  }

private:
  app::ErrorMessageShower Previous = nullptr;
};

inline std::unique_ptr<app::Registry> MakeStore(std::map<std::string, std::string> &values,
                                                bool loading) {
  auto store = std::make_unique<app::Registry>(testing_support::MakeMemoryMedium(values));
  store->Open(loading);
  return store;
}

// A document that counts its notifications.
struct CountingDocument : app::Document {
  int Created = 0;
  int Closed = 0;
  void OnCreateDocument() override { ++Created; }
  void OnCloseDocument() override { ++Closed; }
};

// A view that records what reaches it and lets a test serve command states.
class TestView : public app::View {
public:
  int InitialUpdates = 0;
  bool WantIdle = false;
  std::vector<int32_t> Commands;
  std::vector<int32_t> UpdateIds;
  std::function<void(int32_t, app::Command &)> Serve;
  std::function<void(HDC)> Paint;
  std::map<UINT, int> Counts;

  void OnInitialUpdate() override { ++InitialUpdates; }
  bool OnIdle() override { return WantIdle; }
  void OnCommand(int32_t id, int32_t, HWND) override { Commands.push_back(id); }
  void OnUpdateCommand(int32_t id, app::Command &command) override {
    UpdateIds.push_back(id);
    if (Serve) {
      Serve(id, command);
    }
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    ++Counts[message];
    if (message == WM_PAINT && Paint) {
      Paint(nullptr);
      return 0;
    }
    return app::View::WindowProc(message, wParam, lParam);
  }
};

// A frame with a status bar and, on request, a tool bar of three buttons (a check button, a
// plain one and a separator). It counts its final destruction instead of ending a loop.
class TestFrame : public app::Frame {
public:
  enum : int32_t { CheckButton = 62720, PlainButton = 62721 };
  int FinalDestroys = 0;
  int ToolBarRefreshes = 0;
  std::map<UINT, int> Counts;

  // Creates the windows: the frame at the rectangle, the view, the bars.
  void Build(const RECT &rect, bool withToolBar);
  void OnFinalDestroy() override { ++FinalDestroys; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    ++Counts[message];
    if (message == app::WM_APP_UPDATETOOLBAR) {
      ++ToolBarRefreshes;
    }
    return app::Frame::WindowProc(message, wParam, lParam);
  }
};

// A value control of the tests: a dialog button taken over through AttachDlgItem.
class FakeValueControl : public app::ValueControl {
public:
  double Value = 0.0;
  const void *DrawRecord = nullptr;
  void SetValue(double value) override { Value = value; }
  double GetValue() const override { return Value; }
  void OnDestroy() override { Detach(); }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == app::WM_APP_DRAWITEM) {
      DrawRecord = reinterpret_cast<const void *>(wParam);
      return 0;
    }
    return app::ValueControl::WindowProc(message, wParam, lParam);
  }
};

} // namespace fwtest
