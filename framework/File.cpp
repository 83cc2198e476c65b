#include "framework/File.h"

#include "foundation/Exception.h"
#include "framework/Registry.h"

#include <cstring>

namespace app {

struct FileMember {
  String FileName;                       // the name used in every failure report
  platform::FileHandle Handle = nullptr; // null when closed
  bool CreatedNew = false;               // made by Create and not yet closed with Close
};

namespace {
// Texts are read in pieces of this size, so that a corrupt size field meets the end of the
// file before it can ask for a huge block.
const int32_t TextPiece = 65536;
} // namespace

File::File() : Member(new FileMember) {}

File::~File() {
  if (Member->Handle == nullptr)
    return;
  platform::CloseFile(Member->Handle);
  Member->Handle = nullptr;
  if (Member->CreatedNew)
    platform::DeleteFileNamed(Member->FileName.GetText());
}

int32_t File::OpenForReading(const char *name) {
  try {
    Close();
    Member->FileName.Assign(name);
  } catch (const std::exception &) {
    return 8; // not enough memory to keep the name
  }
  if (name == nullptr)
    return 2; // no such file
  return platform::OpenFileForReading(name, &Member->Handle);
}

void File::Create(const char *name) {
  Close();
  Member->FileName.Assign(name);
  const char *text = Member->FileName.GetText();
  if (platform::CreateNewFile(text, &Member->Handle) == 0) {
    Member->CreatedNew = true;
    return;
  }
  int32_t error = platform::CreateFileAlways(text, &Member->Handle);
  if (error != 0)
    throw FileException(ErrorSystem, error, text);
}

void File::Close() {
  Member->CreatedNew = false;
  if (Member->Handle != nullptr) {
    platform::CloseFile(Member->Handle);
    Member->Handle = nullptr;
  }
}

bool File::IsOpen() const { return Member->Handle != nullptr; }

const String &File::GetFileName() const { return Member->FileName; }

void File::Write(const void *bytes, int32_t n) {
  if (n <= 0)
    return;
  int32_t error = Member->Handle == nullptr ? 6 /* invalid handle */
                                            : platform::WriteFile(Member->Handle, bytes, n);
  if (error != 0)
    throw FileException(ErrorSystem, error, Member->FileName.GetText());
}

void File::WriteInt32(int32_t value) { Write(&value, 4); }

void File::WriteDouble(double value) { Write(&value, 8); }

void File::WriteTaggedInt32(int32_t tag, int32_t value) {
  int32_t record[3] = {tag, 4, value};
  Write(record, sizeof record);
}

void File::WriteTaggedBool(int32_t tag, bool value) { WriteTaggedInt32(tag, value ? 1 : 0); }

void File::WriteTaggedDouble(int32_t tag, double value) {
  WriteInt32(tag);
  WriteInt32(8);
  WriteDouble(value);
}

void File::WriteTaggedPoint(int32_t tag, const DPOINT &point) {
  WriteInt32(tag);
  WriteInt32(16);
  WriteDouble(point.x);
  WriteDouble(point.y);
}

void File::WriteTaggedText(int32_t tag, const char *text) {
  if (text == nullptr)
    text = "";
  size_t length = std::strlen(text);
  if (length >= static_cast<size_t>(INT32_MAX))
    throw FileException(ErrorInvalidFile, Member->FileName.GetText());
  WriteInt32(tag);
  WriteInt32(static_cast<int32_t>(length) + 1);
  Write(text, static_cast<int32_t>(length) + 1);
}

void File::Read(void *bytes, int32_t n) {
  if (n <= 0)
    return;
  int32_t done = 0;
  int32_t error = Member->Handle == nullptr ? 6 /* invalid handle */
                                            : platform::ReadFile(Member->Handle, bytes, n, &done);
  if (error != 0)
    throw FileException(ErrorSystem, error, Member->FileName.GetText());
  if (done != n) // the file ends inside a value
    throw FileException(ErrorInvalidFile, Member->FileName.GetText());
}

uint8_t File::ReadByte() {
  uint8_t value = 0;
  Read(&value, 1);
  return value;
}

int32_t File::ReadInt32() {
  int32_t value = 0;
  Read(&value, 4);
  return value;
}

void File::ReadSized(void *destination, int32_t n) {
  if (ReadInt32() != n)
    throw FileException(ErrorInvalidFile, Member->FileName.GetText());
  Read(destination, n);
}

int32_t File::ReadSizedInt32() {
  int32_t value = 0;
  ReadSized(&value, 4);
  return value;
}

double File::ReadSizedDouble() {
  double value = 0.0;
  ReadSized(&value, 8);
  return value;
}

bool File::ReadSizedBool() { return ReadSizedInt32() != 0; }

DPOINT File::ReadSizedPoint() {
  if (ReadInt32() != 16)
    throw FileException(ErrorInvalidFile, Member->FileName.GetText());
  DPOINT point{0.0, 0.0};
  Read(&point.x, 8);
  Read(&point.y, 8);
  return point;
}

void File::ReadSizedText(String &text) {
  int32_t size = ReadInt32();
  if (size < 0 || size == INT32_MAX)
    throw FileException(ErrorInvalidFile, Member->FileName.GetText());
  StringCrasher crasher(text);
  text.Clear();
  // One byte more than stored, so the text is terminated even when the stored bytes are not.
  int32_t done = 0;
  do {
    int32_t piece = size - done < TextPiece ? size - done : TextPiece;
    text.SetSize(done + piece + 1);
    Read(text.GetBuffer() + done, piece);
    done += piece;
  } while (done < size);
  text.Fit();
}

} // namespace app
