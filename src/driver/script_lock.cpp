#include "driver/script_lock.h"

#include "driver/script_file.h"

#ifdef _WIN32

#include <windows.h>

#include "driver/wide_text.h"

// A file opened with no sharing refuses every other opener until it is closed, and is
// deleted when it is; the system closes it when the run ends, however it ends.
ScriptLock::ScriptLock() {
  const std::wstring path = utf8_to_wide(kScriptLockPath);
  // While a file is being deleted, opening it is refused as access denied: that passes
  // at once, while a folder that may not be written refuses for good.
  for (int denied = 0;;) {
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      handle_ = handle;
      held_ = true;
      return;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && (error != ERROR_ACCESS_DENIED || ++denied > 100))
      return;
    Sleep(10);
  }
}

ScriptLock::~ScriptLock() {
  if (held_) CloseHandle(static_cast<HANDLE>(handle_));
}

#else

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

bool same_file(int fd, const char* path) {
  struct stat opened {};
  struct stat named {};
  return fstat(fd, &opened) == 0 && stat(path, &named) == 0 && opened.st_dev == named.st_dev &&
         opened.st_ino == named.st_ino;
}

}  // namespace

// flock: the kernel drops the lock when the last descriptor on it closes, at the run's end
// whatever ends it. The holder deletes the file when it is done, so that a run that went
// well leaves nothing; a run that opened the file just before that waits on a file no
// longer in the folder, so it checks, once it holds the lock, that its file is still the
// one named there, and starts again if not.
ScriptLock::ScriptLock() {
  for (;;) {
    const int fd = open(kScriptLockPath, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return;
    int locked;
    while ((locked = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
    }
    if (locked != 0 || same_file(fd, kScriptLockPath)) {
      fd_ = fd;
      held_ = true;
      exclusive_ = locked == 0;
      return;
    }
    close(fd);
  }
}

ScriptLock::~ScriptLock() {
  if (!held_) return;
  if (exclusive_) unlink(kScriptLockPath);  // before the lock goes, while it is still ours
  close(fd_);
}

#endif
