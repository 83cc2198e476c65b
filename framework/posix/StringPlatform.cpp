// String services of the native build: the string table compiled in from the shared list,
// single-byte text, and the C library's error texts.
#include "framework/String.h"

#include <cstring>

namespace app {
namespace platform {

namespace {

struct StringEntry {
  uint32_t Id;
  const char *Text;
};

#define STRING_ENTRY(id, text) {id, text},
const StringEntry StringTable[] = {
#include "resources/strings.inc"
};
#undef STRING_ENTRY

} // namespace

int32_t LoadStringEntry(uint32_t id, char *buffer, int32_t size) {
  for (const StringEntry &entry : StringTable) {
    if (entry.Id != id)
      continue;
    if (buffer == nullptr || size < 1)
      return -1;
    size_t length = std::strlen(entry.Text);
    if (length > static_cast<size_t>(size - 1))
      length = static_cast<size_t>(size - 1);
    std::memcpy(buffer, entry.Text, length);
    buffer[length] = '\0';
    return static_cast<int32_t>(length);
  }
  return -1; // no such entry, as the system reports it
}

bool IsLeadByte(unsigned char) { return false; }

bool GetSystemMessage(int32_t error, const char *const *, int32_t, String &text, int32_t *failure) {
  const char *message = std::strerror(error);
  if (message == nullptr || *message == '\0') {
    if (failure != nullptr)
      *failure = error;
    return false;
  }
  text.Assign(message);
  return true;
}

} // namespace platform
} // namespace app
