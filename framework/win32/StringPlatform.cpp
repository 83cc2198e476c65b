// String services of the window system: the library's string table, the ANSI code page and
// the system's message texts.
#include "framework/String.h"
#include "plugin/win32/Library.h"

#include <windows.h>

namespace app {
namespace platform {

namespace {

// Owns a block the system allocated for a message text.
class HLocalHolder {
public:
  HLocalHolder() = default;
  HLocalHolder(const HLocalHolder &) = delete;
  HLocalHolder &operator=(const HLocalHolder &) = delete;
  ~HLocalHolder() {
    if (Block != nullptr)
      LocalFree(Block);
  }
  HLOCAL Block = nullptr;
};

// The most insertions a system message can name (%1 to %99).
const int MaxInsertions = 99;

} // namespace

int32_t LoadStringEntry(uint32_t id, char *buffer, int32_t size) {
  if (buffer == nullptr || size < 1)
    return -1;
  buffer[0] = '\0';
  SetLastError(0);
  int loaded = LoadStringA(GetLibraryHandle(), id, buffer, size);
  if (loaded == 0 && GetLastError() != 0)
    return -1;
  if (loaded < 0)
    loaded = 0;
  if (loaded > size - 1)
    loaded = size - 1;
  buffer[loaded] = '\0';
  return loaded;
}

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != FALSE; }

bool GetSystemMessage(int32_t error, const char *const *insertions, int32_t count, String &text,
                      int32_t *failure) {
  // Every insertion the message may name gets an argument (the empty text beyond the given
  // ones), so a message with more insertions than the caller supplied never reads past them.
  DWORD_PTR arguments[MaxInsertions];
  for (int i = 0; i < MaxInsertions; ++i) {
    const char *insertion = i < count && insertions[i] != nullptr ? insertions[i] : "";
    arguments[i] = reinterpret_cast<DWORD_PTR>(insertion);
  }
  HLocalHolder holder;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
      reinterpret_cast<LPSTR>(&holder.Block), 0, reinterpret_cast<va_list *>(arguments));
  if (length == 0 || holder.Block == nullptr) {
    if (failure != nullptr)
      *failure = static_cast<int32_t>(GetLastError());
    return false;
  }
  text.Assign(static_cast<const char *>(holder.Block));
  return true;
}

} // namespace platform
} // namespace app
