// Coded exceptions and range-tested 32-bit arithmetic.
#pragma once

#include <cstdint>
#include <exception>

namespace app {

// Error codes carried by app::Exception; the error reporter turns them into messages.
enum ErrorCode : int32_t {
  ErrorSystem = 1,       // a system call failed; SystemError holds the system's number
  ErrorUnknown = 2,      // an exception of no known class
  ErrorOutOfMemory = 3,  // a buffer block could not be allocated
  ErrorPictureSize = 4,  // kept in the message table, raised nowhere
  ErrorCreateWindow = 5, // a window, dialog, tool bar or tool tip could not be created
  ErrorToolBusy = 6,     // the tool was to be replaced while a stroke is in progress
  ErrorInvalidFile = 7,  // wrong magic, unknown tag or a tagged value of the wrong size
  ErrorNewerFile = 8,    // a catalog file of a newer format version
  ErrorAddItem = 9,      // adding an item to the catalog list failed
  ErrorItemText = 10,    // reading the text of a catalog list entry failed
  ErrorImageSize = 11,   // a picture size out of range
  ErrorArithmetic = 12,  // range-tested arithmetic overflowed
  ErrorHelpFile = 13,    // the help document could not be opened
};

class Exception : public std::exception {
public:
  explicit Exception(int32_t code, int32_t systemError = 0) noexcept;
  Exception(const Exception &other) noexcept = default;
  Exception &operator=(const Exception &other) noexcept = default;
  ~Exception() override;
  const char *what() const noexcept override; // "Application Error"

  int32_t GetCode() const noexcept { return Code; }
  int32_t GetSystemError() const noexcept { return SystemError; }

private:
  int32_t Code;
  int32_t SystemError;
};

class FileException : public Exception {
public:
  enum { MaxName = 260 };
  FileException() noexcept;
  FileException(int32_t code, const char *name) noexcept;
  FileException(int32_t code, int32_t systemError, const char *name) noexcept;
  FileException(const FileException &other) noexcept = default;
  FileException &operator=(const FileException &other) noexcept = default;
  ~FileException() override;
  const char *what() const noexcept override; // "Application File Error"

  // The file concerned: at most MaxName - 1 bytes, always zero-terminated.
  const char *GetFileName() const noexcept { return FileName; }

private:
  char FileName[MaxName];
};

// Range-tested arithmetic. With an ok flag: sets it and returns 0 when the exact result does
// not fit an int32. Without one: throws app::Exception(ErrorArithmetic) instead.
int32_t TruncateToInt(double x, bool *ok = nullptr);
int32_t AddInts(int32_t a, int32_t b, bool *ok = nullptr);
int32_t SubtractInts(int32_t a, int32_t b, bool *ok = nullptr);
int32_t MultiplyInts(int32_t a, int32_t b, bool *ok = nullptr);

} // namespace app
