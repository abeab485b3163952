#pragma once

#include <string>
#include <vector>

// What a finished process left behind.
struct ProcessResult {
  int exit_status = -1;  // as a POSIX shell or, on Windows, a batch file sees it; -1 if it
                         // did not exit normally
  std::string out;       // console text with LF line ends, on Windows too
  std::string err;
};

// Runs `program` with `args` in `folder`, standard input from `stdin_path` (empty: the null
// device). Paths and arguments are UTF-8.
ProcessResult run_process(const std::string& program, const std::vector<std::string>& args,
                          const std::string& folder, const std::string& stdin_path = "");

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Paths are UTF-8, as the tool takes them.
std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);
