#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

// The lines of a check's report, built piece by piece: printf's reading of a format costs
// more than the check of an unedited string, and a table that does not give its own dump
// back has a line for thousands of strings. Each line starts with its line feed.
class Report {
 public:
  // Each line goes to `console` as it ends.
  explicit Report(std::FILE* console) : console_(console) {}
  // Each line is added to `held`, for a run that prints its report only once it succeeded.
  explicit Report(std::string& held) : held_(&held) {}

  void put(std::string_view text) { line_ += text; }
  void put_number(long long value);
  void put_address(int linear);                       // "%06X", as a position line shows it
  void put_hex(std::uint32_t value, int min_digits);  // "%0<min_digits>X"
  void end_line();

  // True once a line was ended.
  bool reported() const { return reported_; }

 private:
  std::FILE* console_ = nullptr;
  std::string* held_ = nullptr;
  std::string line_ = "\n";
  bool reported_ = false;
};
