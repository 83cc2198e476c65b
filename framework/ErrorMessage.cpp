#include "framework/ErrorMessage.h"

#include "foundation/Exception.h"

#include <new>

namespace app {

namespace {

struct ERROR_STRING {
  uint32_t StringId;
  int32_t Code;
};

const ERROR_STRING ErrorStrings[] = {
    {60100, ErrorOutOfMemory}, {60101, ErrorPictureSize}, {60102, ErrorCreateWindow},
    {60109, ErrorInvalidFile}, {60110, ErrorNewerFile},   {60111, ErrorAddItem},
    {60113, ErrorImageSize},   {60114, ErrorHelpFile},    {0, 0},
};

const uint32_t AnyErrorString = 60104;

} // namespace

uint32_t FindErrorStringId(int32_t code) {
  for (const ERROR_STRING *entry = ErrorStrings; entry->StringId != 0; ++entry)
    if (entry->Code == code)
      return entry->StringId;
  return AnyErrorString;
}

bool BuildExceptionMessage(const std::exception &caught, String &message) noexcept {
  try {
    int32_t code = ErrorUnknown;
    int32_t systemError = 0;
    const char *fileName = "";
    // The file exception first: it is also an app::Exception.
    if (dynamic_cast<const std::bad_alloc *>(&caught) != nullptr) {
      code = ErrorOutOfMemory;
    } else if (const auto *file = dynamic_cast<const FileException *>(&caught)) {
      code = file->GetCode();
      systemError = file->GetSystemError();
      fileName = file->GetFileName();
    } else if (const auto *exception = dynamic_cast<const Exception *>(&caught)) {
      code = exception->GetCode();
      systemError = exception->GetSystemError();
    }
    if (code == ErrorSystem)
      message.FormatSystemMessage(systemError, {fileName});
    else
      message.FormatResource(FindErrorStringId(code), fileName);
    return true;
  } catch (const std::exception &) {
    message.Clear();
    return false;
  }
}

} // namespace app
