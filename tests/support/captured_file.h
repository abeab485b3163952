#pragma once

#include <cstdio>
#include <string>

// A temporary file standing in for a stream under test; read back what was written.
class CapturedFile {
 public:
  CapturedFile();
  ~CapturedFile();
  CapturedFile(const CapturedFile&) = delete;
  CapturedFile& operator=(const CapturedFile&) = delete;

  std::FILE* get() const { return file_; }
  std::string contents() const;

 private:
  std::FILE* file_ = nullptr;
  std::string path_;  // empty where the system removes the file itself
};
