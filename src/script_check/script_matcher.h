#pragma once

#include <cstdint>
#include <limits>

#include "dump/string_receiver.h"
#include "script/script_reader.h"
#include "script_check/report.h"

// Pairs the strings an edited script gives the inserter, in file order, with the image's
// strings as the dump writes them: the n-th string of the script must carry the n-th
// string's two addresses. At the first that does not, the script and the image part, and
// the line that says where goes to the report:
//   [SCRIPT] line N: the image has the string @ LLLLLL here
//   [SCRIPT] the string @ LLLLLL is missing                the script ends early
//   [SCRIPT] line N: the image has no further string       the script goes on (finish())
class ScriptMatcher {
 public:
  // Hears of each reading of the script, before the matcher pairs the string read or reports
  // on it: `found` is false at the script's end, where `string` only holds what the reader
  // met on the way (its jump line).
  class Listener {
   public:
    virtual void read(const ScriptString& string, bool found) = 0;

   protected:
    ~Listener() = default;
  };

  // `listener`, if any, must outlive the matcher.
  ScriptMatcher(ScriptSource& script, Report& report, Listener* listener = nullptr)
      : reader_(script), report_(report), listener_(listener) {}
  // The same for a script held whole in memory, which must outlive the matcher.
  ScriptMatcher(std::string_view script, Report& report) : reader_(script), report_(report) {}

  // The script's string for the image's string `image_string`, valid until the next call;
  // null once the two parted.
  const ScriptString* match(const WalkedString& image_string);
  // After the image's last string: whether the script has more.
  void finish();

  // True once the script and the image parted: nothing after that place is paired.
  bool parted() const { return parted_; }
  // The position line at which they parted; past the script's last line when the script
  // ended early, or while they have not.
  std::int64_t parted_at() const { return parted_at_; }
  // Where the script is read up to (ScriptReader::read_up_to).
  const char* read_up_to() const { return reader_.read_up_to(); }

 private:
  // The next string into `string_`, told to the listener; false at the script's end.
  bool read();

  ScriptReader reader_;
  Report& report_;
  Listener* listener_ = nullptr;
  ScriptString string_;
  bool parted_ = false;
  static constexpr std::int64_t kNoLine = std::numeric_limits<std::int64_t>::max();
  std::int64_t parted_at_ = kNoLine;
};
