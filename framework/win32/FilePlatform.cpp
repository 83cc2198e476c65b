// File calls of the window system.
#include "framework/File.h"

#include <windows.h>

namespace app {
namespace platform {

namespace {

int32_t Open(const char *name, DWORD access, DWORD share, DWORD disposition, FileHandle *handle) {
  *handle = nullptr;
  HANDLE file =
      CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error != 0 ? static_cast<int32_t>(error) : ERROR_GEN_FAILURE;
  }
  *handle = file;
  return 0;
}

} // namespace

int32_t OpenFileForReading(const char *name, FileHandle *handle) {
  return Open(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, handle);
}

int32_t CreateNewFile(const char *name, FileHandle *handle) {
  return Open(name, GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_NEW, handle);
}

int32_t CreateFileAlways(const char *name, FileHandle *handle) {
  return Open(name, GENERIC_WRITE, FILE_SHARE_WRITE, CREATE_ALWAYS, handle);
}

void CloseFile(FileHandle handle) {
  if (handle != nullptr)
    CloseHandle(static_cast<HANDLE>(handle));
}

void DeleteFileNamed(const char *name) { DeleteFileA(name); }

int32_t ReadFile(FileHandle handle, void *bytes, int32_t n, int32_t *done) {
  *done = 0;
  auto *at = static_cast<char *>(bytes);
  while (*done < n) {
    DWORD got = 0;
    if (!::ReadFile(static_cast<HANDLE>(handle), at + *done, static_cast<DWORD>(n - *done), &got,
                    nullptr)) {
      DWORD error = GetLastError();
      return error != 0 ? static_cast<int32_t>(error) : ERROR_READ_FAULT;
    }
    if (got == 0)
      break; // end of the file
    *done += static_cast<int32_t>(got);
  }
  return 0;
}

int32_t WriteFile(FileHandle handle, const void *bytes, int32_t n) {
  const auto *at = static_cast<const char *>(bytes);
  int32_t done = 0;
  while (done < n) {
    DWORD put = 0;
    if (!::WriteFile(static_cast<HANDLE>(handle), at + done, static_cast<DWORD>(n - done), &put,
                     nullptr)) {
      DWORD error = GetLastError();
      return error != 0 ? static_cast<int32_t>(error) : ERROR_WRITE_FAULT;
    }
    if (put == 0)
      return ERROR_HANDLE_DISK_FULL; // the system accepted nothing more
    done += static_cast<int32_t>(put);
  }
  return 0;
}

} // namespace platform
} // namespace app
