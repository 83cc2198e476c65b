// A modeless floating tool window owned by the main frame: hidden rather than destroyed by its
// close box, with its position and visibility kept in the settings store.
#pragma once

#include "framework/win32/Dialog.h"

namespace app {

class Registry;

struct PanelMember;

class Panel : public Dialog {
public:
  // The settings section (a literal, not copied) and the dialog template.
  Panel(const char *key, int32_t templateId);
  ~Panel() override;

  // WM_CLOSE hides; WM_SHOWWINDOW from a show call tracks the visibility.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Remembers the window's screen rectangle, then asks the owner to refresh its tool bar.
  void OnDestroy() override;
  virtual void LoadSettings(Registry &store);
  virtual void SaveSettings(Registry &store);
  // Called just before the panel object is deleted at the end of a run.
  virtual void OnShutdown();
  // The section, "Window" and "Show"; derived panels add their own values after these.
  virtual void ExchangeSettings(Registry &store);
  // Hides the panel and asks the owner to refresh its tool bar.
  virtual void Hide();

  // Creates the window owned by the owner, placed at the remembered position (the template's
  // when none is remembered), shown or hidden as remembered.
  void CreatePanel(HWND owner);
  // Where the window was when it was last destroyed (screen coordinates; all 0 when unknown).
  RECT GetPlacement() const;
  bool IsShown() const;
  const char *GetKey() const;

private:
  std::unique_ptr<PanelMember> Member;
};

} // namespace app
