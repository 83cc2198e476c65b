// File calls of the native build. A handle holds the descriptor plus one, so that null means
// none.
#include "framework/File.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace app {
namespace platform {

namespace {

FileHandle ToHandle(int fd) { return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1); }

int ToDescriptor(FileHandle handle) {
  return static_cast<int>(reinterpret_cast<intptr_t>(handle) - 1);
}

int32_t Open(const char *name, int flags, FileHandle *handle) {
  *handle = nullptr;
  int fd = ::open(name, flags | O_CLOEXEC, 0644);
  if (fd < 0)
    return errno != 0 ? errno : EIO;
  *handle = ToHandle(fd);
  return 0;
}

} // namespace

int32_t OpenFileForReading(const char *name, FileHandle *handle) {
  return Open(name, O_RDONLY, handle);
}

int32_t CreateNewFile(const char *name, FileHandle *handle) {
  return Open(name, O_WRONLY | O_CREAT | O_EXCL, handle);
}

int32_t CreateFileAlways(const char *name, FileHandle *handle) {
  return Open(name, O_WRONLY | O_CREAT | O_TRUNC, handle);
}

void CloseFile(FileHandle handle) {
  if (handle != nullptr)
    ::close(ToDescriptor(handle));
}

void DeleteFileNamed(const char *name) { ::unlink(name); }

int32_t ReadFile(FileHandle handle, void *bytes, int32_t n, int32_t *done) {
  *done = 0;
  auto *at = static_cast<char *>(bytes);
  while (*done < n) {
    ssize_t got = ::read(ToDescriptor(handle), at + *done, static_cast<size_t>(n - *done));
    if (got < 0) {
      if (errno == EINTR)
        continue;
      return errno != 0 ? errno : EIO;
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
    ssize_t put = ::write(ToDescriptor(handle), at + done, static_cast<size_t>(n - done));
    if (put < 0) {
      if (errno == EINTR)
        continue;
      return errno != 0 ? errno : EIO;
    }
    if (put == 0)
      return ENOSPC;
    done += static_cast<int32_t>(put);
  }
  return 0;
}

} // namespace platform
} // namespace app
