#include "script/script_lines.h"

void write_region_opening(ScriptSink& script, int free_start, int free_end) {
  script.write<"\n">();
  script.write_plain(kSeparator);
  script.write<"\n//\n#JMP($">();
  script.write_hex(static_cast<std::uint32_t>(free_start));
  script.write<",$">();
  script.write_hex(static_cast<std::uint32_t>(free_end));
  script.write<")\n">();
}

char* put_file_line(char* out, int start, int end, int twice_index) {
  out = ScriptSink::put<kFileLineOpen>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(start), 6);
  out = ScriptSink::put<kFileLineTo>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(end), 6);
  out = ScriptSink::put<kFileLineIndexOpen>(out);
  out = ScriptSink::put_hex(out, static_cast<std::uint32_t>(twice_index));
  return ScriptSink::put<kFileLineClose>(out);
}

void write_block_footer(ScriptSink& script, std::string_view file_line) {
  script.write<"\n//">();
  script.write_plain(file_line);
  script.write<"\n">();
  script.write_plain(kSeparator);
  script.write<"\n\n\n">();
}
