// A file with the tagged-value primitives: a tagged value on disk is an int32 tag, an int32
// size in bytes, then the value's bytes (little-endian, as they lie in memory).
#pragma once

#include "framework/String.h"

#include <cstdint>
#include <memory>

namespace app {

struct DPOINT;
struct FileMember;

class File {
public:
  File();
  File(const File &) = delete;
  File &operator=(const File &) = delete;
  // Closes an open file; a file that Create made new and that was never closed with Close is
  // deleted, so an abandoned new file leaves nothing behind. An existing file is never deleted.
  ~File();

  // Opens an existing file for reading (others may read too). Returns 0 or the system's error
  // number; never throws.
  int32_t OpenForReading(const char *name);
  // Creates the file for writing: new if it does not exist, else truncated. Throws
  // app::FileException code 1 naming the file when neither works.
  void Create(const char *name);
  void Close();
  bool IsOpen() const;
  const String &GetFileName() const;

  // Failures throw app::FileException naming the file: code 1 with the system's error, or
  // code 7 (an invalid file) when the file ends before the requested bytes.
  void Write(const void *bytes, int32_t n);
  void WriteInt32(int32_t value);
  void WriteDouble(double value);
  void WriteTaggedInt32(int32_t tag, int32_t value);
  void WriteTaggedBool(int32_t tag, bool value);
  void WriteTaggedDouble(int32_t tag, double value);
  void WriteTaggedPoint(int32_t tag, const DPOINT &point);
  void WriteTaggedText(int32_t tag, const char *text);

  void Read(void *bytes, int32_t n);
  uint8_t ReadByte();
  int32_t ReadInt32();
  // Reads the size field; a size other than n is an invalid file (code 7).
  void ReadSized(void *destination, int32_t n);
  int32_t ReadSizedInt32();
  double ReadSizedDouble();
  bool ReadSizedBool();
  DPOINT ReadSizedPoint();
  // A text of the stored size; the string ends at its first zero byte (or after the stored
  // bytes when they hold none). A negative size is an invalid file.
  void ReadSizedText(String &text);

private:
  std::unique_ptr<FileMember> Member;
};

// The system file calls behind app::File (framework/win32 and framework/posix). Handles are
// opaque; null means none. Every call returns 0 or the system's error number.
namespace platform {
using FileHandle = void *;
int32_t OpenFileForReading(const char *name, FileHandle *handle);
// Fails when the file exists.
int32_t CreateNewFile(const char *name, FileHandle *handle);
// Creates or truncates.
int32_t CreateFileAlways(const char *name, FileHandle *handle);
void CloseFile(FileHandle handle);
void DeleteFileNamed(const char *name);
// Reads up to n bytes; *done tells how many (fewer only at the end of the file).
int32_t ReadFile(FileHandle handle, void *bytes, int32_t n, int32_t *done);
// Writes all n bytes or returns an error (a write that stops short is an error).
int32_t WriteFile(FileHandle handle, const void *bytes, int32_t n);
} // namespace platform

} // namespace app
