// Dialogs from templates, modal and modeless, their data exchange, the modal guard, panels
// and the drawing wrappers, in real windows.
#include "framework_test_ids.h"
#include "framework_test_support.h"

#include "foundation/Exception.h"
#include "framework/String.h"
#include "framework/win32/DC.h"
#include "framework/win32/Dialog.h"
#include "framework/win32/Modal.h"
#include "framework/win32/Panel.h"
#include "framework/win32/UpdateControl.h"

#include <commctrl.h>

#include <cmath>
#include <functional>

namespace {

using fwtest::FakeValueControl;
using fwtest::FrameworkTest;
using fwtest::Pump;
using fwtest::ShownMessages;

const double Pi = 3.14159265358979323846;
const UINT RunScript = WM_APP + 50;
const UINT TimedOut = 3;

const app::RADIO_ITEM Radios[] = {
    {IDC_FW_RADIO1, 1}, {IDC_FW_RADIO2, 2}, {IDC_FW_RADIO3, 3}, {0, 0}};

// The dialog of the exchange template with one field per control kind. A script runs inside
// the dialog's loop once it is up; a timer ends a forgotten dialog with 3.
class ExchangeDialog : public app::Dialog {
public:
  enum SliderUse { AsReal, AsInt, AsVector };
  ExchangeDialog() : app::Dialog(IDD_FW_EXCHANGE) {}

  app::String Text;
  int32_t Int = 0;
  double Real = 0.0;
  bool Check = false;
  int32_t Radio = 0;
  int32_t Track = 0;
  double Slide = 0.0;
  double Direction = 0.0;
  int32_t SlideInt = 0;
  app::DPOINT Vector = {0.0, 0.0};
  SliderUse Use = AsReal;
  bool IntEnabled = true;

  int ExchangesIn = 0;
  int ExchangesOut = 0;
  int Validations = 0;
  bool Refuse = false;
  bool ThrowOnInit = false;
  std::vector<int32_t> Changes; // edit boxes whose change reached the commands
  std::vector<int32_t> Notifications;
  std::function<void(ExchangeDialog &)> Script;
  FakeValueControl Slider;
  FakeValueControl Angle;

  void OnInitDialog() override {
    if (ThrowOnInit) {
      throw app::Exception(app::ErrorAddItem);
    }
    Slider.AttachDlgItem(GetHandle(), IDC_FW_SLIDER);
    Angle.AttachDlgItem(GetHandle(), IDC_FW_ANGLE);
    SendItemMessage(IDC_FW_TRACK, TBM_SETRANGE, TRUE, MAKELPARAM(0, 100));
    if (Script) {
      PostMessageA(GetHandle(), RunScript, 0, 0);
    }
    if (IsModal()) {
      SetTimer(GetHandle(), 1, 10000, nullptr);
    }
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == RunScript) {
      Script(*this);
      return TRUE;
    }
    if (message == WM_TIMER) {
      EndDialog(GetHandle(), TimedOut);
      return TRUE;
    }
    return app::Dialog::WindowProc(message, wParam, lParam);
  }
  void OnCommand(int32_t id, int32_t code, HWND control) override {
    if (id == 62799) {
      throw app::Exception(app::ErrorAddItem);
    }
    if (code == EN_CHANGE) {
      Changes.push_back(id);
    }
    app::Dialog::OnCommand(id, code, control);
  }
  void OnControlNotify(int32_t id, int32_t code, LPARAM) override {
    Notifications.push_back(id);
    Notifications.push_back(code);
  }
  void DoDataExchange(app::UpdateControl &exchange) override {
    ++(exchange.IsToControls() ? ExchangesIn : ExchangesOut);
    exchange.ExchangeEditText(IDC_FW_TEXT, Text);
    exchange.EnableControl(IDC_FW_INT, IntEnabled);
    exchange.ExchangeEditInt(IDC_FW_INT, Int);
    exchange.ExchangeEditDouble(IDC_FW_DOUBLE, Real);
    exchange.ExchangeCheck(IDC_FW_CHECK, Check);
    exchange.ExchangeRadio(Radios, Radio);
    exchange.ExchangeTrackBar(IDC_FW_TRACK, Track);
    switch (Use) {
    case AsReal:
      exchange.ExchangeSlider(IDC_FW_SLIDER, Slide);
      exchange.ExchangeAngle(IDC_FW_ANGLE, Direction);
      break;
    case AsInt:
      exchange.ExchangeSliderInt(IDC_FW_SLIDER, SlideInt);
      break;
    case AsVector:
      exchange.ExchangeVector(IDC_FW_SLIDER, IDC_FW_ANGLE, Vector);
      break;
    }
  }
  bool Validate() override {
    ++Validations;
    if (Refuse) {
      app::ShowErrorMessage(GetHandle(), IDS_FW_REFUSE, 7);
      return false;
    }
    return true;
  }

  std::string ItemText(int32_t id) const { return GetItemText(id).GetText(); }
  void Type(int32_t id, const char *text) { SetDlgItemTextA(GetHandle(), id, text); }
};

using FrameworkDialogTest = FrameworkTest;

TEST_F(FrameworkDialogTest, ExchangeIntoTheControls) {
  ExchangeDialog dialog;
  dialog.Text.Assign("abc");
  dialog.Int = -42;
  dialog.Real = 0.1;
  dialog.Check = true;
  dialog.Radio = 2;
  dialog.Track = 37;
  dialog.Slide = 2.5;
  dialog.Direction = 0.75;
  dialog.IntEnabled = false;
  dialog.CreateModeless(nullptr);
  EXPECT_TRUE(dialog.IsInitialised());
  EXPECT_EQ(1, dialog.ExchangesIn);

  EXPECT_EQ("abc", dialog.ItemText(IDC_FW_TEXT));
  EXPECT_EQ("-42", dialog.ItemText(IDC_FW_INT));
  EXPECT_FALSE(IsWindowEnabled(dialog.GetItem(IDC_FW_INT)));
  EXPECT_EQ("0.1", dialog.ItemText(IDC_FW_DOUBLE));
  EXPECT_EQ(static_cast<UINT>(BST_CHECKED), dialog.IsButtonChecked(IDC_FW_CHECK));
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), dialog.IsButtonChecked(IDC_FW_RADIO1));
  EXPECT_EQ(static_cast<UINT>(BST_CHECKED), dialog.IsButtonChecked(IDC_FW_RADIO2));
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), dialog.IsButtonChecked(IDC_FW_RADIO3));
  EXPECT_EQ(37, dialog.SendItemMessage(IDC_FW_TRACK, TBM_GETPOS, 0, 0));
  EXPECT_EQ(2.5, dialog.Slider.Value);
  EXPECT_EQ(0.75, dialog.Angle.Value);
  // The notifications the exchange itself causes never reach the dialog's commands.
  EXPECT_EQ(std::vector<int32_t>{}, dialog.Changes);

  struct RealCase {
    double Value;
    const char *Text;
  } reals[] = {{1234567.0, "1.23457e+06"}, {-2.5, "-2.5"}, {0.0, "0"}, {1e-7, "1e-07"}};
  for (const RealCase &c : reals) {
    dialog.Real = c.Value;
    dialog.UpdateData(true);
    EXPECT_EQ(c.Text, dialog.ItemText(IDC_FW_DOUBLE)) << c.Value;
  }
  EXPECT_EQ(std::vector<int32_t>{}, dialog.Changes);

  // A control that already shows the value is left alone: its selection stays.
  dialog.Type(IDC_FW_DOUBLE, "1.5");
  dialog.Type(IDC_FW_INT, "+5");
  dialog.Changes.clear();
  dialog.SendItemMessage(IDC_FW_DOUBLE, EM_SETSEL, 1, 2);
  dialog.Real = 1.5;
  dialog.Int = 5;
  dialog.UpdateData(true);
  DWORD start = 0, end = 0;
  dialog.SendItemMessage(IDC_FW_DOUBLE, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                         reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(1u, start);
  EXPECT_EQ(2u, end);
  EXPECT_EQ("+5", dialog.ItemText(IDC_FW_INT));

  // A change made outside an exchange does reach the commands.
  dialog.Type(IDC_FW_TEXT, "typed");
  EXPECT_EQ((std::vector<int32_t>{IDC_FW_TEXT}), dialog.Changes);
}

TEST_F(FrameworkDialogTest, ExchangeOutOfTheControls) {
  ExchangeDialog dialog;
  dialog.CreateModeless(nullptr);

  struct TextCase {
    const char *Text;
    double Real;
    int32_t Int; // 99: the field keeps its value
  } texts[] = {{"12abc", 12.0, 99},   {"abc", 0.0, 99}, {" -7 ", -7.0, -7},
               {"3.5e2x", 350.0, 99}, {"inf", 0.0, 99}, {"nan", 0.0, 99},
               {"1e999", 0.0, 99},    {"", 0.0, 99},    {"2147483647", 2147483647.0, 2147483647}};
  for (const TextCase &c : texts) {
    dialog.Type(IDC_FW_DOUBLE, c.Text);
    dialog.Type(IDC_FW_INT, c.Text);
    dialog.Real = 42.0;
    dialog.Int = 99;
    dialog.UpdateData(false);
    EXPECT_EQ(c.Real, dialog.Real) << c.Text;
    EXPECT_EQ(c.Int, dialog.Int) << c.Text;
  }

  dialog.Type(IDC_FW_TEXT, "written");
  dialog.SendItemMessage(IDC_FW_TRACK, TBM_SETPOS, TRUE, 80);
  dialog.Slider.Value = -1.25;
  dialog.Angle.Value = 0.5;
  dialog.UpdateData(false);
  EXPECT_STREQ("written", dialog.Text.GetText());
  EXPECT_EQ(80, dialog.Track);
  EXPECT_EQ(-1.25, dialog.Slide);
  EXPECT_EQ(0.5, dialog.Direction);

  // Check states: only 1 reads true.
  for (UINT state : {BST_CHECKED, BST_INDETERMINATE, BST_UNCHECKED}) {
    dialog.CheckButton(IDC_FW_CHECK, state);
    dialog.Check = state != BST_CHECKED;
    dialog.UpdateData(false);
    EXPECT_EQ(state == BST_CHECKED, dialog.Check) << state;
  }

  // Radio groups: the first checked row; none checked keeps the field.
  dialog.Radio = 2;
  for (int32_t id : {IDC_FW_RADIO1, IDC_FW_RADIO2, IDC_FW_RADIO3}) {
    dialog.CheckButton(id, BST_UNCHECKED);
  }
  dialog.UpdateData(false);
  EXPECT_EQ(2, dialog.Radio);
  dialog.CheckButton(IDC_FW_RADIO3, BST_CHECKED);
  dialog.UpdateData(false);
  EXPECT_EQ(3, dialog.Radio);
  EXPECT_EQ(0, dialog.Validations);
}

TEST_F(FrameworkDialogTest, SliderIntegersAndVectors) {
  ExchangeDialog dialog;
  dialog.Use = ExchangeDialog::AsInt;
  dialog.SlideInt = 7;
  dialog.CreateModeless(nullptr);
  EXPECT_EQ(7.0, dialog.Slider.Value);
  struct IntCase {
    double Value;
    int32_t Field;
  } ints[] = {{-2.7, -2}, {2.7, 2}, {1e12, 7}, {std::nan(""), 7}};
  for (const IntCase &c : ints) {
    dialog.SlideInt = 7;
    dialog.Slider.Value = c.Value;
    dialog.UpdateData(false);
    EXPECT_EQ(c.Field, dialog.SlideInt) << c.Value;
  }

  dialog.Use = ExchangeDialog::AsVector;
  struct VectorCase {
    double X, Y, Length, Angle;
  } vectors[] = {{0, 1, 1, -Pi / 2},
                 {0, 0, 0, 0},
                 {3, -4, 5, std::atan2(4.0, 3.0)},
                 {-1, -1, std::sqrt(2.0), 3 * Pi / 4}};
  for (const VectorCase &c : vectors) {
    dialog.Vector = {c.X, c.Y};
    dialog.UpdateData(true);
    EXPECT_DOUBLE_EQ(c.Length, dialog.Slider.Value) << c.X << "," << c.Y;
    EXPECT_DOUBLE_EQ(c.Angle, dialog.Angle.Value) << c.X << "," << c.Y;
    EXPECT_EQ(c.X, dialog.Vector.x);
  }
  dialog.Slider.Value = 2.0;
  dialog.Angle.Value = Pi / 2;
  dialog.UpdateData(false);
  EXPECT_NEAR(0.0, dialog.Vector.x, 1e-12);
  EXPECT_NEAR(-2.0, dialog.Vector.y, 1e-12);

  // A control with no bound object is skipped both ways.
  dialog.Slider.Detach();
  dialog.Vector = {5.0, 6.0};
  dialog.UpdateData(false);
  EXPECT_EQ(5.0, dialog.Vector.x);
  dialog.Use = ExchangeDialog::AsReal;
  dialog.Slide = 3.0;
  dialog.UpdateData(true);
  dialog.UpdateData(false);
  EXPECT_EQ(3.0, dialog.Slide);
}

TEST_F(FrameworkDialogTest, OwnerDrawAndControlNotificationsAreRouted) {
  ExchangeDialog dialog;
  dialog.CreateModeless(nullptr);
  DRAWITEMSTRUCT record = {};
  record.CtlID = IDC_FW_SLIDER;
  dialog.Send(WM_DRAWITEM, IDC_FW_SLIDER, reinterpret_cast<LPARAM>(&record));
  EXPECT_EQ(&record, dialog.Slider.DrawRecord);

  dialog.Send(app::WM_APP_CONTROLNOTIFY, MAKEWPARAM(IDC_FW_SLIDER, 4), 0);
  EXPECT_EQ((std::vector<int32_t>{IDC_FW_SLIDER, 4}), dialog.Notifications);

  // A modeless dialog ignores Cancel and is destroyed by its close box.
  dialog.Send(WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(dialog.IsWindow());
  dialog.Send(WM_COMMAND, 1000, 0);
  EXPECT_EQ(1, dialog.ExchangesOut);
  EXPECT_EQ(0, dialog.Validations);
  dialog.Send(WM_CLOSE, 0, 0);
  EXPECT_EQ(nullptr, dialog.GetHandle());
}

// A frame with one visible panel in the program-wide slots.
class FrameworkModalTest : public FrameworkTest {
protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    frame = new fwtest::TestFrame;
    frame->SetView(new fwtest::TestView);
    app::SetMainFrame(frame);
    frame->Build(RECT{0, 0, 300, 200}, false);
    panel = new app::Panel("Panel\\Test", IDD_FW_PANEL);
    app::SetPanel(0, panel);
    panel->CreatePanel(frame->GetHandle());
  }
  bool AllEnabled() const {
    return IsWindowEnabled(frame->GetHandle()) && IsWindowEnabled(panel->GetHandle());
  }
  bool NoneEnabled() const {
    return !IsWindowEnabled(frame->GetHandle()) && !IsWindowEnabled(panel->GetHandle());
  }
  fwtest::TestFrame *frame = nullptr;
  app::Panel *panel = nullptr;
};

TEST_F(FrameworkModalTest, RefusedOkKeepsTheDialogOpenUnderANestedMessageBox) {
  ExchangeDialog dialog;
  dialog.Int = 1;
  bool disabledDuring = false;
  bool openAfterRefusal = false;
  int32_t typedInt = 0;
  dialog.Script = [&](ExchangeDialog &d) {
    disabledDuring = NoneEnabled() && app::Modal::GetCount() == 1;
    d.Type(IDC_FW_INT, "17");
    d.Refuse = true;
    d.Send(WM_COMMAND, IDOK, 0);
    openAfterRefusal = d.IsWindow();
    typedInt = d.Int;
    // Apply validates and stays open.
    d.Send(WM_COMMAND, 1000, 0);
    d.Refuse = false;
    d.Send(WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(IDOK, dialog.DoModal(frame->GetHandle()));
  EXPECT_TRUE(disabledDuring);
  EXPECT_TRUE(openAfterRefusal);
  EXPECT_EQ(17, typedInt);
  EXPECT_EQ("17", std::to_string(dialog.Int));
  EXPECT_EQ(3, dialog.Validations);
  // Two refusals, each shown while the frame stayed disabled, then enabled once at the end.
  ASSERT_EQ(2u, ShownMessages().size());
  EXPECT_EQ("Refused 7.", ShownMessages()[0].Text);
  EXPECT_FALSE(ShownMessages()[0].MainWindowEnabled);
  EXPECT_FALSE(ShownMessages()[1].MainWindowEnabled);
  EXPECT_TRUE(AllEnabled());
  EXPECT_EQ(0, app::Modal::GetCount());
}

TEST_F(FrameworkModalTest, EscapeAndTheCloseBoxEndWith2AndNoExchange) {
  for (bool useEscape : {true, false}) {
    ExchangeDialog dialog;
    dialog.Int = 1;
    dialog.Script = [useEscape](ExchangeDialog &d) {
      d.Type(IDC_FW_INT, "55");
      if (useEscape) {
        PostMessageA(d.GetItem(IDC_FW_INT), WM_KEYDOWN, VK_ESCAPE, 0);
      } else {
        d.Send(WM_SYSCOMMAND, SC_CLOSE, 0);
      }
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal(frame->GetHandle())) << useEscape;
    EXPECT_EQ(0, dialog.ExchangesOut);
    EXPECT_EQ(1, dialog.Int);
    EXPECT_TRUE(AllEnabled());
  }
}

TEST_F(FrameworkModalTest, FailuresInsideADialogAreReportedOnce) {
  // In a handler: reported, and the dialog goes on.
  ExchangeDialog dialog;
  bool open = false;
  dialog.Script = [&open](ExchangeDialog &d) {
    d.Send(WM_COMMAND, 62799, 0);
    open = d.IsWindow();
    d.Send(WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_EQ(IDCANCEL, dialog.DoModal(frame->GetHandle()));
  EXPECT_TRUE(open);
  ASSERT_EQ(1u, ShownMessages().size());
  EXPECT_EQ("Can't add item.", ShownMessages()[0].Text);

  // In the initialisation: the dialog is taken down and its run returns.
  ExchangeDialog failing;
  failing.ThrowOnInit = true;
  EXPECT_EQ(IDCANCEL, failing.DoModal(frame->GetHandle()));
  EXPECT_EQ(2u, ShownMessages().size());
  EXPECT_FALSE(failing.IsInitialised());
  EXPECT_TRUE(AllEnabled());

  ExchangeDialog modeless;
  modeless.ThrowOnInit = true;
  EXPECT_THROW(modeless.CreateModeless(nullptr), app::Exception);
  EXPECT_EQ(3u, ShownMessages().size());

  // A template that does not exist.
  app::Dialog missing(62998);
  try {
    missing.DoModal(frame->GetHandle());
    ADD_FAILURE() << "no exception";
  } catch (const app::Exception &exception) {
    EXPECT_EQ(app::ErrorCreateWindow, exception.GetCode());
  }
  EXPECT_TRUE(AllEnabled());
}

TEST_F(FrameworkModalTest, NestedGuardsDisableOnceAndEnableOnce) {
  {
    app::Modal outer;
    outer.DisableOwnerWindows();
    EXPECT_TRUE(NoneEnabled());
    {
      app::Modal inner;
      inner.DisableOwnerWindows();
      EXPECT_EQ(2, app::Modal::GetCount());
    }
    EXPECT_TRUE(NoneEnabled());
  }
  EXPECT_TRUE(AllEnabled());
}

TEST_F(FrameworkDialogTest, ButtonPicturesAreOwnedByTheirObjects) {
  ExchangeDialog dialog;
  dialog.CreateModeless(nullptr);
  HWND button = dialog.GetItem(IDOK);
  SetWindowLongPtrA(button, GWL_STYLE, GetWindowLongPtrA(button, GWL_STYLE) | BS_BITMAP);
  HGDIOBJ handle = nullptr;
  {
    app::GdiObject pictures[1];
    const app::BUTTON_BITMAP table[] = {{IDOK, IDB_FW_BUTTON}};
    dialog.SetButtonBitmaps(pictures, table, 1);
    handle = pictures[0].GetHandle();
    EXPECT_EQ(OBJ_BITMAP, pictures[0].GetType());
    EXPECT_EQ(reinterpret_cast<LRESULT>(handle),
              dialog.SendItemMessage(IDOK, BM_GETIMAGE, IMAGE_BITMAP, 0));
  }
  EXPECT_EQ(0u, GetObjectType(handle));
}

// Panels with their settings in memory.
class TestPanel : public app::Panel {
public:
  TestPanel() : app::Panel("Panel\\Test", IDD_FW_PANEL) {}
  int ExchangesOut = 0;
  int Validations = 0;
  void DoDataExchange(app::UpdateControl &exchange) override {
    ExchangesOut += exchange.IsToControls() ? 0 : 1;
  }
  bool Validate() override {
    ++Validations;
    return true;
  }
};

class FrameworkPanelTest : public FrameworkModalTest {
protected:
  RECT Placed(TestPanel &subject) const {
    RECT rect = {};
    subject.GetWindowRect(rect);
    return rect;
  }
  std::map<std::string, std::string> values;
};

TEST_F(FrameworkPanelTest, FirstRunPlacesThePanelAtItsTemplatePositionVisible) {
  TestPanel stored;
  stored.LoadSettings(*fwtest::MakeStore(values, true));
  stored.CreatePanel(frame->GetHandle());
  EXPECT_TRUE(stored.IsVisible());
  EXPECT_TRUE(stored.IsShown());

  TestPanel plain;
  plain.CreateModeless(frame->GetHandle());
  RECT a = Placed(stored), b = Placed(plain);
  EXPECT_EQ(b.left, a.left);
  EXPECT_EQ(b.top, a.top);
  EXPECT_EQ(b.right, a.right);
}

TEST_F(FrameworkPanelTest, StoredPlacementAndVisibilityAreRestoredButNotTheSize) {
  TestPanel reference;
  reference.CreateModeless(frame->GetHandle());
  RECT templateRect = Placed(reference);

  values["Panel\\Test/WindowLeft"] = "200";
  values["Panel\\Test/WindowTop"] = "150";
  values["Panel\\Test/WindowRight"] = "900";
  values["Panel\\Test/WindowBottom"] = "900";
  values["Panel\\Test/Show"] = "0";
  TestPanel panel;
  panel.LoadSettings(*fwtest::MakeStore(values, true));
  panel.CreatePanel(frame->GetHandle());
  RECT rect = Placed(panel);
  EXPECT_EQ(200, rect.left);
  EXPECT_EQ(150, rect.top);
  EXPECT_EQ(templateRect.right - templateRect.left, rect.right - rect.left);
  EXPECT_FALSE(panel.IsVisible());
  EXPECT_FALSE(panel.IsShown());

  // A position from another screen layout, nowhere on this one, keeps the template's.
  values["Panel\\Test/WindowLeft"] = "-30000";
  values["Panel\\Test/WindowRight"] = "-29800";
  values["Panel\\Test/Show"] = "1";
  TestPanel lost;
  lost.LoadSettings(*fwtest::MakeStore(values, true));
  lost.CreatePanel(frame->GetHandle());
  EXPECT_EQ(templateRect.left, Placed(lost).left);
  EXPECT_EQ(templateRect.top, Placed(lost).top);
}

TEST_F(FrameworkPanelTest, CloseBoxHidesAndShowCallsAreTracked) {
  TestPanel panel;
  panel.CreatePanel(frame->GetHandle());
  int refreshes = frame->ToolBarRefreshes;
  panel.Send(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(panel.IsWindow());
  EXPECT_FALSE(panel.IsVisible());
  EXPECT_FALSE(panel.IsShown());
  EXPECT_EQ(refreshes + 1, frame->ToolBarRefreshes);

  panel.Show(SW_SHOW);
  EXPECT_TRUE(panel.IsShown());
  // Hidden along with its owner (as when it is minimised) and shown again with it: the
  // user's choice stays "shown".
  ShowOwnedPopups(frame->GetHandle(), FALSE);
  EXPECT_FALSE(panel.IsVisible());
  EXPECT_TRUE(panel.IsShown());
  ShowOwnedPopups(frame->GetHandle(), TRUE);
  EXPECT_TRUE(panel.IsVisible());
  EXPECT_TRUE(panel.IsShown());

  // Apply in a panel only exchanges.
  panel.Send(WM_COMMAND, 1000, 0);
  EXPECT_EQ(1, panel.ExchangesOut);
  EXPECT_EQ(0, panel.Validations);
}

TEST_F(FrameworkPanelTest, TheRectangleIsRememberedWhenTheWindowGoesWithTheFrame) {
  TestPanel panel;
  panel.CreatePanel(frame->GetHandle());
  panel.SetPosition(nullptr, 321, 222, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT last = Placed(panel);
  panel.Send(WM_CLOSE, 0, 0);
  frame->Destroy();
  EXPECT_EQ(nullptr, panel.GetHandle());
  RECT kept = panel.GetPlacement();
  EXPECT_EQ(last.left, kept.left);
  EXPECT_EQ(last.top, kept.top);
  EXPECT_EQ(last.right, kept.right);
  EXPECT_EQ(last.bottom, kept.bottom);

  panel.SaveSettings(*fwtest::MakeStore(values, false));
  EXPECT_EQ("321", values["Panel\\Test/WindowLeft"]);
  EXPECT_EQ("222", values["Panel\\Test/WindowTop"]);
  EXPECT_EQ(std::to_string(last.right), values["Panel\\Test/WindowRight"]);
  EXPECT_EQ("0", values["Panel\\Test/Show"]);
}

// The drawing wrappers on a memory context.
class FrameworkDrawingTest : public FrameworkTest {
protected:
  void SetUp() override {
    FrameworkTest::SetUp();
    memory = CreateCompatibleDC(nullptr);
    originalBrush = GetCurrentObject(memory, OBJ_BRUSH);
    originalPen = GetCurrentObject(memory, OBJ_PEN);
  }
  void TearDown() override {
    DeleteDC(memory);
    FrameworkTest::TearDown();
  }
  HGDIOBJ Current(UINT type) const { return GetCurrentObject(memory, type); }
  HDC memory = nullptr;
  HGDIOBJ originalBrush = nullptr;
  HGDIOBJ originalPen = nullptr;
};

TEST_F(FrameworkDrawingTest, SelectionsArePutBackInOrder) {
  HGDIOBJ firstHandle = nullptr;
  {
    app::GdiObject first(CreateSolidBrush(RGB(1, 2, 3)));
    app::GdiObject second(CreateSolidBrush(RGB(4, 5, 6)));
    app::GdiObject pen(CreatePen(PS_SOLID, 1, RGB(7, 8, 9)));
    firstHandle = first.GetHandle();
    EXPECT_EQ(OBJ_BRUSH, first.GetType());
    EXPECT_EQ(OBJ_PEN, pen.GetType());
    app::DrawItemDC dc(memory);
    dc.Select(first);
    dc.Select(second);
    dc.Select(pen);
    EXPECT_EQ(second.GetHandle(), Current(OBJ_BRUSH));
    EXPECT_EQ(pen.GetHandle(), Current(OBJ_PEN));
    // The second brush replaced what was there before the first one.
    dc.Deselect(OBJ_BRUSH);
    EXPECT_EQ(originalBrush, Current(OBJ_BRUSH));
    dc.Select(first);
    dc.RestoreAll();
    EXPECT_EQ(originalBrush, Current(OBJ_BRUSH));
    EXPECT_EQ(originalPen, Current(OBJ_PEN));
    dc.Select(second);
    // The objects go before the wrapper here, the wrapper before the objects below: no
    // selected object is deleted either way.
  }
  EXPECT_EQ(originalBrush, Current(OBJ_BRUSH));
  EXPECT_EQ(0u, GetObjectType(firstHandle));
  EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), GetObjectType(memory));

  app::GdiObject brush(CreateSolidBrush(RGB(9, 9, 9)));
  HGDIOBJ handle = brush.GetHandle();
  {
    app::DrawItemDC dc(memory);
    dc.Select(brush);
  }
  EXPECT_EQ(originalBrush, Current(OBJ_BRUSH));
  brush.Release();
  EXPECT_EQ(0u, GetObjectType(handle));
}

TEST_F(FrameworkDrawingTest, ReleasingASelectedObjectPutsBackThePreviousOneOnce) {
  app::DrawItemDC dc(memory);
  app::GdiObject brush(CreateSolidBrush(RGB(1, 2, 3)));
  HGDIOBJ handle = brush.GetHandle();
  dc.Select(brush);
  brush.Release();
  EXPECT_EQ(originalBrush, Current(OBJ_BRUSH));
  EXPECT_EQ(0u, GetObjectType(handle));
  EXPECT_EQ(nullptr, brush.GetHandle());

  HGDIOBJ black = GetStockObject(BLACK_BRUSH);
  SelectObject(memory, black);
  dc.RestoreAll();
  EXPECT_EQ(black, Current(OBJ_BRUSH));
  SelectObject(memory, originalBrush);
}

TEST_F(FrameworkDrawingTest, TheFirstReplacedBackgroundModeComesBack) {
  SetBkMode(memory, OPAQUE);
  {
    app::DrawItemDC dc(memory);
    dc.SetBackgroundMode(TRANSPARENT);
    dc.SetBackgroundMode(TRANSPARENT);
    EXPECT_EQ(TRANSPARENT, GetBkMode(memory));
  }
  EXPECT_EQ(OPAQUE, GetBkMode(memory));

  // Stock objects can be held and selected like any other.
  app::GdiObject stock(WHITE_BRUSH);
  EXPECT_EQ(GetStockObject(WHITE_BRUSH), stock.GetHandle());
  {
    app::DrawItemDC dc(memory);
    dc.Select(stock);
    EXPECT_EQ(stock.GetHandle(), Current(OBJ_BRUSH));
  }
  EXPECT_EQ(originalBrush, Current(OBJ_BRUSH));
}

} // namespace
