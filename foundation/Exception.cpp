#include "foundation/Exception.h"

#include <cstring>

namespace app {

Exception::Exception(int32_t code, int32_t systemError) noexcept
    : Code(code), SystemError(systemError) {}

Exception::~Exception() = default;

const char *Exception::what() const noexcept { return "Application Error"; }

FileException::FileException() noexcept : Exception(0, 0), FileName{} {}

FileException::FileException(int32_t code, const char *name) noexcept
    : FileException(code, 0, name) {}

FileException::FileException(int32_t code, int32_t systemError, const char *name) noexcept
    : Exception(code, systemError), FileName{} {
  if (name != nullptr) {
    std::strncpy(FileName, name, MaxName - 1);
    FileName[MaxName - 1] = '\0';
  }
}

FileException::~FileException() = default;

const char *FileException::what() const noexcept { return "Application File Error"; }

namespace {

// Every int32 sum, difference and product is exact in a long double of 64-bit mantissa on x86,
// but not everywhere; int64 arithmetic is exact for all of them on every platform.
int32_t RangeTest(int64_t exact, bool *ok) {
  if (exact < INT32_MIN || exact > INT32_MAX) {
    if (ok == nullptr)
      throw Exception(ErrorArithmetic);
    *ok = false;
    return 0;
  }
  if (ok != nullptr)
    *ok = true;
  return static_cast<int32_t>(exact);
}

} // namespace

int32_t TruncateToInt(double x, bool *ok) {
  // The comparisons are false for a NaN, which therefore counts as out of range.
  if (!(x >= -2147483648.0 && x <= 2147483647.0))
    return RangeTest(INT64_MAX, ok);
  return RangeTest(static_cast<int64_t>(x), ok);
}

int32_t AddInts(int32_t a, int32_t b, bool *ok) {
  return RangeTest(static_cast<int64_t>(a) + b, ok);
}

int32_t SubtractInts(int32_t a, int32_t b, bool *ok) {
  return RangeTest(static_cast<int64_t>(a) - b, ok);
}

int32_t MultiplyInts(int32_t a, int32_t b, bool *ok) {
  return RangeTest(static_cast<int64_t>(a) * b, ok);
}

} // namespace app
