#include "framework/String.h"

#include "foundation/Buffer.h"
#include "foundation/Exception.h"

#include <cstdio>
#include <cstring>
#include <exception>

namespace app {

struct StringMember {
  Buffer<char> Characters; // the text and its terminating zero; empty for a null string
};

namespace {

const char EmptyText[] = "";
const int32_t GrowStep = 256;
// Formatting that the run-time library keeps refusing (an encoding error) stops here.
const int32_t FormatLimit = 1 << 20;

// Bytes before the first zero, never looking past the block.
int32_t BoundedLength(const char *text, int32_t size) {
  if (text == nullptr || size <= 0)
    return 0;
  const void *zero = std::memchr(text, 0, static_cast<size_t>(size));
  return zero != nullptr ? static_cast<int32_t>(static_cast<const char *>(zero) - text) : size;
}

// The end of the line starting at text: the next line feed or end, skipping trail bytes.
const char *LineEnd(const char *text, const char *end) {
  while (text < end && *text != '\n') {
    if (platform::IsLeadByte(static_cast<unsigned char>(*text)) && text + 1 < end)
      text += 2;
    else
      ++text;
  }
  return text;
}

} // namespace

String::String() : Member(new StringMember) {}

String::String(const char *text) : String() { Assign(text); }

String::String(const String &other) : String() { Assign(other); }

String &String::operator=(const String &other) {
  Assign(other);
  return *this;
}

String::~String() = default;

void String::Assign(const String &other) {
  if (other.IsNull())
    Clear();
  else
    Member->Characters.Share(other.Member->Characters);
}

void String::Assign(const char *text) {
  if (text == nullptr)
    Clear();
  else
    Replace(text, static_cast<int32_t>(std::strlen(text)));
}

// A fresh block holding the bytes and a zero; the old block is let go only afterwards, so the
// bytes may come from this string itself.
void String::Replace(const char *text, int32_t length) {
  if (length < 0 || length == INT32_MAX)
    throw Exception(ErrorOutOfMemory);
  Buffer<char> fresh;
  fresh.Allocate(length + 1);
  char *bytes = fresh.GetWritableItems();
  if (length > 0)
    std::memcpy(bytes, text, static_cast<size_t>(length));
  bytes[length] = '\0';
  Member->Characters.Share(fresh);
}

bool String::Load(uint32_t id) {
  StringCrasher crasher(*this);
  Buffer<char> fresh;
  int32_t size = GrowStep;
  for (;;) {
    fresh.Allocate(size);
    int32_t loaded = platform::LoadStringEntry(id, fresh.GetWritableItems(), size);
    if (loaded < 0) {
      Clear();
      return false;
    }
    // A text that reaches the end of the buffer (less a trail byte the system may have left
    // out) may have been cut: load again into a larger buffer.
    if (loaded < size - 2 || size > INT32_MAX - GrowStep)
      break;
    size += GrowStep;
  }
  Member->Characters.Share(fresh);
  Fit();
  return true;
}

void String::Format(const char *format, ...) {
  va_list arguments;
  va_start(arguments, format);
  try {
    FormatV(format, arguments);
  } catch (...) {
    va_end(arguments);
    throw;
  }
  va_end(arguments);
}

void String::FormatV(const char *format, va_list arguments) {
  StringCrasher crasher(*this);
  if (format == nullptr)
    format = EmptyText;
  Buffer<char> fresh;
  int32_t size = GrowStep;
  for (;;) {
    fresh.Allocate(size);
    va_list copy;
    va_copy(copy, arguments);
    int written = std::vsnprintf(fresh.GetWritableItems(), static_cast<size_t>(size), format, copy);
    va_end(copy);
    if (written >= 0 && written < size)
      break;
    if (written >= 0 && written < INT32_MAX - GrowStep) {
      // Grow in whole steps to the size the formatter asked for.
      size = (written / GrowStep + 1) * GrowStep;
    } else if (written < 0 && size < FormatLimit) {
      size += GrowStep;
    } else {
      // The formatter refuses the text: no half-formatted bytes are kept.
      fresh.Allocate(1);
      fresh.GetWritableItems()[0] = '\0';
      break;
    }
  }
  Member->Characters.Share(fresh);
  Fit();
}

void String::FormatResource(uint32_t id, ...) {
  va_list arguments;
  va_start(arguments, id);
  try {
    FormatResourceV(id, arguments);
  } catch (...) {
    va_end(arguments);
    throw;
  }
  va_end(arguments);
}

void String::FormatResourceV(uint32_t id, va_list arguments) {
  String format;
  format.Load(id);
  FormatV(format.GetText(), arguments);
}

void String::FormatSystemMessage(int32_t error, std::initializer_list<const char *> insertions) {
  StringCrasher crasher(*this);
  String text;
  int32_t failure = 0;
  if (!platform::GetSystemMessage(error, insertions.begin(),
                                  static_cast<int32_t>(insertions.size()), text, &failure))
    throw Exception(ErrorSystem, failure);
  Assign(text.GetText());
}

const char *String::GetText() const {
  const char *text = Member->Characters.GetItems();
  return text != nullptr ? text : EmptyText;
}

char *String::GetBuffer() { return Member->Characters.GetWritableItems(); }

void String::SetSize(int32_t n) {
  if (n <= 0) {
    Clear();
    return;
  }
  int32_t length = GetLength();
  Member->Characters.Resize(n);
  char *bytes = Member->Characters.GetWritableItems();
  if (bytes == nullptr)
    throw Exception(ErrorOutOfMemory);
  if (length < n)
    std::memset(bytes + length, 0, static_cast<size_t>(n - length));
  bytes[n - 1] = '\0';
}

void String::Fit() {
  if (IsNull())
    return;
  int32_t length = GetLength();
  if (length == INT32_MAX)
    throw Exception(ErrorOutOfMemory);
  if (Member->Characters.GetLength() != length + 1)
    Member->Characters.Resize(length + 1);
  const char *text = Member->Characters.GetItems();
  if (text[length] != '\0') // a buffer filled through GetBuffer without a terminator
    Member->Characters.GetWritableItems()[length] = '\0';
}

int32_t String::GetLength() const {
  return BoundedLength(Member->Characters.GetItems(), Member->Characters.GetLength());
}

int32_t String::Compare(const char *text) const {
  // Ordering whole characters (lead byte first, then trail byte) is the same as ordering the
  // bytes as unsigned values, so one byte loop serves single- and double-byte texts.
  const auto *a = reinterpret_cast<const unsigned char *>(GetText());
  const auto *b = reinterpret_cast<const unsigned char *>(text != nullptr ? text : EmptyText);
  const unsigned char *end = a + GetLength();
  for (;; ++a, ++b) {
    unsigned char ca = a < end ? *a : 0;
    if (ca != *b)
      return ca < *b ? -1 : 1;
    if (ca == 0)
      return 0;
  }
}

void String::Append(const char *text) {
  if (text == nullptr)
    text = EmptyText;
  int32_t length = GetLength();
  size_t added = std::strlen(text);
  if (added > static_cast<size_t>(INT32_MAX - 1 - length))
    throw Exception(ErrorOutOfMemory);
  Buffer<char> fresh;
  fresh.Allocate(length + static_cast<int32_t>(added) + 1);
  char *bytes = fresh.GetWritableItems();
  if (length > 0)
    std::memcpy(bytes, GetText(), static_cast<size_t>(length));
  std::memcpy(bytes + length, text, added + 1);
  Member->Characters.Share(fresh);
}

void String::Clear() { Member->Characters.Release(); }

bool String::IsNull() const { return Member->Characters.GetItems() == nullptr; }

const char *String::FindLine(int32_t n) const {
  const char *text = GetText();
  if (n == 0)
    return text;
  if (n < 0)
    return nullptr;
  const char *end = text + GetLength();
  for (int32_t found = 0; found < n; ++found) {
    text = LineEnd(text, end);
    if (text >= end)
      return nullptr;
    ++text; // past the line feed
  }
  return text;
}

bool String::ExtractLine(const String &source, int32_t n) {
  const char *start = source.FindLine(n);
  if (start == nullptr)
    return false;
  const char *end = LineEnd(start, source.GetText() + source.GetLength());
  Replace(start, static_cast<int32_t>(end - start));
  return true;
}

StringCrasher::StringCrasher(String &target)
    : Target(target), Uncaught(std::uncaught_exceptions()) {}

StringCrasher::~StringCrasher() {
  if (std::uncaught_exceptions() > Uncaught)
    Target.Clear();
}

} // namespace app
