#include "script/script_lines.h"

void write_region_opening(ScriptSink& script, int free_start, int free_end) {
  script.write<"\n">();
  script.write_plain(kSeparator);
  script.write<"\n//\n">();
  script.write<kJumpOpen>();
  script.write<"$">();
  script.write_hex(static_cast<std::uint32_t>(free_start));
  script.write<",$">();
  script.write_hex(static_cast<std::uint32_t>(free_end));
  script.write<")\n">();
}

void write_block_footer(ScriptSink& script, std::string_view file_line) {
  script.write<"\n//">();
  script.write_plain(file_line);
  script.write<"\n">();
  script.write_plain(kSeparator);
  script.write<"\n\n\n">();
}
