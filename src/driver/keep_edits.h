#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "driver/run.h"
#include "script/script_sink.h"

// DUMP_TEXT never throws a translation away. Before it replaces a script, it makes sure that
// nothing in the old script is lost: that what UPDATE_TEXT would make of it, with today's table
// and the original, is the fresh dump, line ends aside. Most of the time the old script is the
// fresh dump byte for byte, and that is told as the dump is written, the old script read in
// step, neither held whole.

// The fresh script's second copy, as the dump writes it: into the original's temporary file,
// and against the old script, if there is one.
class FreshScriptCopy final : public ScriptCopy {
 public:
  // `old_script` may be null: there is none.
  FreshScriptCopy(std::FILE* original, std::FILE* old_script)
      : original_(original), old_script_(old_script) {}
  ~FreshScriptCopy();
  FreshScriptCopy(const FreshScriptCopy&) = delete;
  FreshScriptCopy& operator=(const FreshScriptCopy&) = delete;

  bool copy(std::string_view piece) override;

  // True if there is an old script and it is not the fresh one byte for byte, or could not be
  // read: call once the dump is written whole.
  bool old_script_differs();

 private:
  std::FILE* original_;
  std::FILE* old_script_;
  bool same_so_far_ = true;
  std::unique_ptr<char[]> old_piece_;
  std::size_t room_ = 0;
};

// The old script, if `text/script.txt` is a regular file (a link to one included): another
// kind of file is replaced as it is.
std::FILE* open_old_script();

enum class OldScript {
  kKept,       // what UPDATE_TEXT would make of it is today's dump: nothing in it is lost
  kWouldLose,  // it is not; `line` is the first line where the two differ
  kImageUnreadable,
  kScriptUnreadable,
};

// Compares what UPDATE_TEXT would make of the old script, with the original if there is one,
// with today's dump, line ends aside (line_ends_aside.h). Holds the three whole, and walks the
// dump plan over `image` twice more.
OldScript check_old_script(std::FILE* image, DumpStores& stores, std::int64_t& line);
