// The check and enable state of one menu item or tool-bar button, set by whichever object
// serves the command id, without knowing which of the two it speaks to. Made on the stack for
// one update call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

namespace app {

struct CommandMember;

class Command {
public:
  enum Kind : int32_t { None = 0, MenuItem = 1, ToolButton = 2 };

  Command();
  Command(const Command &) = delete;
  Command &operator=(const Command &) = delete;
  ~Command();

  // The item at that position of the popup menu.
  void SetMenuItem(HMENU menu, int32_t position);
  // The button with that command id of the tool bar.
  void SetToolButton(HWND toolBar, int32_t id);
  Kind GetKind() const;

  // Sets or clears the check mark (menu item) or the checked state (button, other state bits
  // kept). A command of no kind does nothing.
  void SetCheck(bool check);
  // Enables or grays the menu item, or sets or clears the button's enabled state (other state
  // bits kept).
  void Enable(bool enable);

private:
  std::unique_ptr<CommandMember> Member;
};

} // namespace app
