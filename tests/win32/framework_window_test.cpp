// Bound windows, the shared window procedure, the program-wide slots and tool-tip texts, in
// real windows.
#include "framework_test_ids.h"
#include "framework_test_support.h"

#include "foundation/Exception.h"
#include "framework/String.h"
#include "framework/win32/Panel.h"
#include "framework/win32/ToolTip.h"

#include <commctrl.h>

#include <cstring>
#include <stdexcept>

namespace {

using fwtest::FrameworkTest;
using fwtest::ShownMessages;

// A top-level window that records its commands; a command id of 9 throws code 9.
class CommandWindow : public app::Window {
public:
  struct Received {
    int32_t Id;
    int32_t Code;
    HWND Control;
  };
  std::vector<Received> Commands;
  int Destroys = 0;
  void OnCommand(int32_t id, int32_t code, HWND control) override {
    if (id == 9) {
      throw app::Exception(app::ErrorAddItem);
    }
    if (id == 10) {
      throw std::runtime_error("not one of ours");
    }
    Commands.push_back({id, code, control});
  }
  void OnDestroy() override {
    ++Destroys;
    app::Window::OnDestroy();
  }
};

RECT Rect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }

const int Default = static_cast<int>(CW_USEDEFAULT);

using FrameworkWindowTest = FrameworkTest;

TEST_F(FrameworkWindowTest, CreatesAppWindowsOfTheSharedClassAtGivenOrDefaultPlacement) {
  CommandWindow placed;
  placed.CreateAppWindow("Placed", WS_POPUP, Rect(10, 20, 110, 220), nullptr);
  RECT rect = {};
  ASSERT_TRUE(placed.GetWindowRect(rect));
  EXPECT_EQ(10, rect.left);
  EXPECT_EQ(20, rect.top);
  EXPECT_EQ(100, rect.right - rect.left);
  EXPECT_EQ(200, rect.bottom - rect.top);
  EXPECT_STREQ("Placed", placed.GetText().GetText());

  char className[32] = {};
  GetClassNameA(placed.GetHandle(), className, sizeof className);
  EXPECT_STREQ("AppWindow", className);
  EXPECT_EQ(static_cast<ULONG_PTR>(CS_VREDRAW | CS_HREDRAW | CS_OWNDC),
            GetClassLongPtrA(placed.GetHandle(), GCL_STYLE));
  EXPECT_EQ(static_cast<ULONG_PTR>(COLOR_APPWORKSPACE + 1),
            GetClassLongPtrA(placed.GetHandle(), GCLP_HBRBACKGROUND));

  CommandWindow chosen;
  chosen.CreateAppWindow(nullptr, WS_OVERLAPPEDWINDOW, Rect(Default, Default, Default, Default),
                         nullptr);
  ASSERT_TRUE(chosen.GetWindowRect(rect));
  EXPECT_GT(rect.right - rect.left, 0);
  EXPECT_GT(rect.bottom - rect.top, 0);
}

TEST_F(FrameworkWindowTest, CommandsArriveWithTheirSourceCode) {
  CommandWindow window;
  window.CreateAppWindow(nullptr, WS_POPUP, Rect(0, 0, 50, 50), nullptr);
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 10, 10, window.GetHandle(),
                                reinterpret_cast<HMENU>(77), nullptr, nullptr);

  // A menu item, a control notification and an accelerator translated by the system.
  window.Send(WM_COMMAND, MAKEWPARAM(501, 0), 0);
  window.Send(WM_COMMAND, MAKEWPARAM(77, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  ACCEL key = {FVIRTKEY | FCONTROL, 'K', 502};
  HACCEL table = CreateAcceleratorTableA(&key, 1);
  MSG press = {window.GetHandle(), WM_KEYDOWN, 'K', 0, 0, {0, 0}};
  BYTE keys[256] = {};
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  EXPECT_NE(0, TranslateAcceleratorA(window.GetHandle(), table, &press));
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  DestroyAcceleratorTable(table);

  ASSERT_EQ(3u, window.Commands.size());
  EXPECT_EQ(501, window.Commands[0].Id);
  EXPECT_EQ(0, window.Commands[0].Code);
  EXPECT_EQ(nullptr, window.Commands[0].Control);
  EXPECT_EQ(77, window.Commands[1].Id);
  EXPECT_EQ(BN_CLICKED, window.Commands[1].Code);
  EXPECT_EQ(button, window.Commands[1].Control);
  EXPECT_EQ(502, window.Commands[2].Id);
  EXPECT_EQ(1, window.Commands[2].Code);
}

TEST_F(FrameworkWindowTest, AnExceptionInAHandlerIsReportedOnceAndTheWindowGoesOn) {
  CommandWindow window;
  window.CreateAppWindow(nullptr, WS_POPUP, Rect(0, 0, 50, 50), nullptr);

  EXPECT_EQ(0, window.Send(WM_COMMAND, 9, 0));
  ASSERT_EQ(1u, ShownMessages().size());
  EXPECT_EQ("Can't add item.", ShownMessages()[0].Text);
  EXPECT_EQ("Brushmote", ShownMessages()[0].Caption);

  // An exception of another class gets the message for unknown failures.
  window.Send(WM_COMMAND, 10, 0);
  ASSERT_EQ(2u, ShownMessages().size());
  EXPECT_EQ("Can't process any error.", ShownMessages()[1].Text);

  window.Send(WM_COMMAND, 11, 0);
  EXPECT_TRUE(window.IsWindow());
  ASSERT_EQ(1u, window.Commands.size());
  EXPECT_EQ(11, window.Commands[0].Id);
  EXPECT_EQ(2u, ShownMessages().size());
}

TEST_F(FrameworkWindowTest, ObjectOutlivesItsWindowAndDetachRestoresTheControl) {
  CommandWindow window;
  window.CreateAppWindow(nullptr, WS_POPUP, Rect(0, 0, 50, 50), nullptr);
  HWND handle = window.GetHandle();
  EXPECT_EQ(&window, app::GetWindowObject(handle));
  DestroyWindow(handle);
  EXPECT_EQ(1, window.Destroys);
  EXPECT_EQ(nullptr, window.GetHandle());
  EXPECT_EQ(nullptr, app::Window::HandleOf(nullptr));

  // A control of a window taken over and given back.
  CommandWindow parent;
  parent.CreateAppWindow(nullptr, WS_POPUP, Rect(0, 0, 50, 50), nullptr);
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 40, 12, parent.GetHandle(),
                              reinterpret_cast<HMENU>(31), nullptr, nullptr);
  LONG_PTR original = GetWindowLongPtrA(edit, GWLP_WNDPROC);
  CommandWindow control;
  control.AttachDlgItem(parent.GetHandle(), 31);
  EXPECT_EQ(edit, control.GetHandle());
  EXPECT_EQ(31, control.GetControlId());
  EXPECT_EQ(parent.GetHandle(), control.GetParent());
  // Unhandled messages reach the edit box's own procedure.
  control.SetText("typed");
  EXPECT_STREQ("typed", parent.GetItemText(31).GetText());
  control.Detach();
  EXPECT_EQ(nullptr, control.GetHandle());
  EXPECT_EQ(0, GetWindowLongPtrA(edit, GWLP_USERDATA));
  EXPECT_EQ(original, GetWindowLongPtrA(edit, GWLP_WNDPROC));
}

TEST_F(FrameworkWindowTest, ItemIntegersAreWholeSignedNumbers) {
  CommandWindow parent;
  parent.CreateAppWindow(nullptr, WS_POPUP, Rect(0, 0, 50, 50), nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 40, 12, parent.GetHandle(),
                  reinterpret_cast<HMENU>(31), nullptr, nullptr);
  struct Case {
    const char *Text;
    bool Ok;
    int32_t Value;
  } cases[] = {{"-42", true, -42},       {" 17 ", true, 17},
               {"12abc", false, 0},      {"abc", false, 0},
               {"", false, 0},           {"2147483647", true, INT32_MAX},
               {"2147483648", false, 0}, {"-2147483648", true, INT32_MIN}};
  for (const Case &c : cases) {
    SetDlgItemTextA(parent.GetHandle(), 31, c.Text);
    bool ok = !c.Ok;
    EXPECT_EQ(c.Value, parent.GetItemInt(31, &ok)) << c.Text;
    EXPECT_EQ(c.Ok, ok) << c.Text;
  }
  // Setting the integer a text already reads as leaves the text alone.
  SetDlgItemTextA(parent.GetHandle(), 31, "+5");
  parent.SetItemInt(31, 5);
  EXPECT_STREQ("+5", parent.GetItemText(31).GetText());
  parent.SetItemInt(31, -6);
  EXPECT_STREQ("-6", parent.GetItemText(31).GetText());
}

// A panel of the tests that counts one private message.
class CountingPanel : public app::Panel {
public:
  CountingPanel() : app::Panel("Panel\\Test", IDD_FW_PANEL) {}
  int Received = 0;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP + 40) {
      ++Received;
      return TRUE;
    }
    return app::Panel::WindowProc(message, wParam, lParam);
  }
};

TEST_F(FrameworkWindowTest, SlotsReachFrameViewAndExistingPanels) {
  EXPECT_EQ(nullptr, app::GetMainWindow());
  EXPECT_FALSE(app::IdleStep());

  auto *frame = new fwtest::TestFrame;
  auto *view = new fwtest::TestView;
  frame->SetView(view);
  view->SetFrame(frame);
  app::SetMainFrame(frame);
  frame->Build(Rect(0, 0, 300, 200), false);
  EXPECT_EQ(frame->GetHandle(), app::GetMainWindow());

  auto *first = new CountingPanel;
  auto *windowless = new CountingPanel;
  auto *third = new CountingPanel;
  app::SetPanel(0, first);
  app::SetPanel(1, windowless);
  app::SetPanel(2, third);
  first->CreatePanel(frame->GetHandle());
  third->CreatePanel(frame->GetHandle());

  app::Broadcast(WM_APP + 40, 0, 0);
  EXPECT_EQ(1, frame->Counts[WM_APP + 40]);
  EXPECT_EQ(1, view->Counts[WM_APP + 40]);
  EXPECT_EQ(1, first->Received);
  EXPECT_EQ(0, windowless->Received);
  EXPECT_EQ(1, third->Received);
  app::SendToPanel(2, WM_APP + 40, 0, 0);
  app::SendToPanel(1, WM_APP + 40, 0, 0);
  app::SendToPanel(3, WM_APP + 40, 0, 0);
  EXPECT_EQ(2, third->Received);

  // A panel hidden by the user keeps its slot and comes back with a toggle.
  EXPECT_TRUE(app::IsPanelVisible(0));
  SendMessageA(first->GetHandle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(app::IsPanelVisible(0));
  app::TogglePanel(0);
  EXPECT_TRUE(app::IsPanelVisible(0));
  app::TogglePanel(0);
  EXPECT_FALSE(app::IsPanelVisible(0));
  EXPECT_FALSE(app::IsPanelVisible(1));

  // The idle step goes to the view and resets the prompt.
  frame->SetPrompt(IDS_FW_ITEM);
  view->WantIdle = true;
  EXPECT_TRUE(app::IdleStep());
  EXPECT_EQ(app::Frame::IdlePrompt, frame->GetPromptId());
  view->WantIdle = false;
  EXPECT_FALSE(app::IdleStep());

  // The frame object outlives its window.
  frame->Destroy();
  EXPECT_EQ(frame, app::GetMainFrame());
  EXPECT_EQ(nullptr, app::GetMainWindow());
  EXPECT_EQ(1, frame->FinalDestroys);
}

TEST_F(FrameworkWindowTest, TheFrameEndsTheLoopWhenItsWindowIsGone) {
  app::Frame frame;
  frame.CreateAppWindow(nullptr, WS_POPUP, Rect(0, 0, 50, 50), nullptr);
  frame.Destroy();
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(0u, message.wParam);
}

// Tip texts from the string table.
using FrameworkToolTipTest = FrameworkTest;

TEST_F(FrameworkToolTipTest, SuppliesLineOneOfTheEntryCutTo79Bytes) {
  struct Case {
    UINT_PTR Id;
    std::string Text;
  } cases[] = {
      {IDS_FW_BUTTON, "Button tip"},
      {IDS_FW_WHOLE, "Whole entry"},
      {IDS_FW_LONG, std::string("0123456789abcdefghij0123456789abcdefghij0123456789abcdefghij"
                                "0123456789abcdefghi")},
      {IDS_FW_NOENTRY, ""},
      {62900, ""}, // a string block that does not exist
      {65535, ""},
      {0, ""},
  };
  for (const Case &c : cases) {
    NMTTDISPINFOA request = {};
    request.hdr.idFrom = c.Id;
    app::SupplyTipText(request);
    EXPECT_EQ(c.Text, request.szText) << c.Id;
    EXPECT_LE(std::strlen(request.szText), 79u);
  }
}

TEST_F(FrameworkToolTipTest, PanelControlsGetTipsByTheirControlId) {
  CountingPanel panel;
  panel.CreatePanel(nullptr);
  HWND button = panel.GetItem(IDS_FW_BUTTON);
  ASSERT_NE(nullptr, button);

  NMTTDISPINFOA request = {};
  request.hdr.code = TTN_GETDISPINFOA;
  request.hdr.idFrom = reinterpret_cast<UINT_PTR>(button);
  request.uFlags = TTF_IDISHWND;
  panel.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
  EXPECT_STREQ("Button tip", request.szText);

  NMTTDISPINFOA none = {};
  none.hdr.code = TTN_GETDISPINFOA;
  none.hdr.idFrom = reinterpret_cast<UINT_PTR>(panel.GetItem(IDC_FW_NOTIP));
  none.uFlags = TTF_IDISHWND;
  panel.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&none));
  EXPECT_STREQ("", none.szText);

  // Every child of the panel is a tool of the tip window the panel owns.
  struct Search {
    HWND Owner;
    HWND Tip;
  } search = {panel.GetHandle(), nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM parameter) -> BOOL {
        auto *search = reinterpret_cast<Search *>(parameter);
        char name[32] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, TOOLTIPS_CLASSA) == 0 &&
            GetWindow(window, GW_OWNER) == search->Owner) {
          search->Tip = window;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  HWND tip = search.Tip;
  ASSERT_NE(nullptr, tip);
  EXPECT_EQ(3, SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
}

} // namespace
