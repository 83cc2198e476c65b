// The text the error reporter shows for a caught exception.
#pragma once

#include "framework/String.h"

#include <cstdint>
#include <exception>

namespace app {

// The string-table entry for an error code; 60104 ("Can't process any error.") for a code
// that has none of its own.
uint32_t FindErrorStringId(int32_t code);

// The message for any exception of the standard family: out of memory for std::bad_alloc; the
// code's entry (with the file name of an app::FileException for %s) for app::Exception and
// app::FileException; for code 1 the system's own text for the system error with the file name
// as its first insertion; code 2's entry for any other class. False, with nothing to show,
// when building the message itself failed (for example the system has no text for the error).
bool BuildExceptionMessage(const std::exception &caught, String &message) noexcept;

} // namespace app
