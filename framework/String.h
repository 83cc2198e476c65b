// Byte strings in the system's ANSI code page, shared copy-on-write between copies.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <initializer_list>
#include <memory>

namespace app {

struct StringMember;

class String {
public:
  String();
  explicit String(const char *text);
  String(const String &other);
  String &operator=(const String &other);
  ~String();

  // Shares the other string's bytes (no copy); a null source makes this string null.
  void Assign(const String &other);
  // A copy of the text; a null text makes the string null.
  void Assign(const char *text);

  // The string-table entry of this library. False, with the string null, when the system
  // reports a failure; an entry of no characters gives the empty text and true.
  bool Load(uint32_t id);
  // printf-style formatting; the whole text is produced however long it is.
  void Format(const char *format, ...);
  void FormatV(const char *format, va_list arguments);
  // Formats with the string-table entry as the format (an entry that fails to load formats as
  // the empty text).
  void FormatResource(uint32_t id, ...);
  void FormatResourceV(uint32_t id, va_list arguments);
  // The system's message text for an error number, the texts replacing the insertions %1,
  // %2 and on (missing ones become the empty text). Throws app::Exception code 1 when the
  // system has no text for the number.
  void FormatSystemMessage(int32_t error, std::initializer_list<const char *> insertions = {});

  // Never null: the empty text for a null string.
  const char *GetText() const;
  // The bytes, copied first when shared; null for a null string.
  char *GetBuffer();
  // Resizes to n bytes (0 makes the string null), zeroing every byte from the text's end up
  // to n. The last byte is always a terminating zero.
  void SetSize(int32_t n);
  // Trims a non-null string to its text and terminating zero.
  void Fit();
  // Bytes up to the first zero (never beyond the buffer); 0 for a null string.
  int32_t GetLength() const;
  // Multibyte-aware comparison: negative, 0 or positive. A null string or text is empty.
  int32_t Compare(const char *text) const;
  void Append(const char *text);
  void Clear();
  bool IsNull() const;

  // The position just after the n-th line feed (n = 0: the start); null when the text has
  // fewer line feeds. A double-byte character's trail byte is never taken for a line feed.
  const char *FindLine(int32_t n) const;
  // This string becomes line n of the source, without its line feed; false, with this string
  // unchanged, when the source has no line n.
  bool ExtractLine(const String &source, int32_t n);

private:
  void Replace(const char *text, int32_t length);
  std::unique_ptr<StringMember> Member;
};

// Held inside every operation that rebuilds a string's bytes: clears the string when it is
// destroyed while an exception propagates, so that no string is left half built.
class StringCrasher {
public:
  explicit StringCrasher(String &target);
  StringCrasher(const StringCrasher &) = delete;
  StringCrasher &operator=(const StringCrasher &) = delete;
  ~StringCrasher();

private:
  String &Target;
  int Uncaught;
};

// The system services behind strings (framework/win32 on Windows, framework/posix natively).
namespace platform {
// Copies the string-table entry into buffer (size bytes, at least 2), cut to size - 1 bytes,
// zero-terminated. Returns the bytes copied, or -1 when the system reports a failure.
int32_t LoadStringEntry(uint32_t id, char *buffer, int32_t size);
// True when the byte starts a double-byte character in the ANSI code page.
bool IsLeadByte(unsigned char c);
// The system's text for an error number with the insertions substituted; false when there
// is none, with *failure set to the system's error number for that failure.
bool GetSystemMessage(int32_t error, const char *const *insertions, int32_t count, String &text,
                      int32_t *failure);
} // namespace platform

} // namespace app
