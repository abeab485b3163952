#include "support/captured_file.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <process.h>
#endif

// Windows' tmpfile makes its files in the root of the drive, which a user may not write to
// (and which Wine runs out of names in after a few hundred files); there the file is a named
// one in the temporary folder, removed at the end.
CapturedFile::CapturedFile() {
#ifdef _WIN32
  static std::atomic<int> made{0};
  path_ = (std::filesystem::temp_directory_path() /
           ("textdump-capture-" + std::to_string(_getpid()) + "-" + std::to_string(made++)))
              .string();
  file_ = std::fopen(path_.c_str(), "w+b");
#else
  file_ = std::tmpfile();
#endif
  if (file_ == nullptr) std::abort();
}

CapturedFile::~CapturedFile() {
  std::fclose(file_);
  if (!path_.empty()) std::remove(path_.c_str());
}

std::string CapturedFile::contents() const {
  std::fflush(file_);
  const long end = std::ftell(file_);
  std::string bytes(static_cast<std::size_t>(end), '\0');
  std::rewind(file_);
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file_);
  bytes.resize(got);
  std::fseek(file_, 0, SEEK_END);
  return bytes;
}
