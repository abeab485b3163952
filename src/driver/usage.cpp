#include "driver/usage.h"

void write_usage(std::FILE* out) {
  std::fputs(
      "Usage: textdump DUMP_TEXT <rom image>\n"
      "       textdump CHECK_TABLE <rom image>\n"
      "       textdump CHECK_SCRIPT <rom image>\n"
      "       textdump UPDATE_TEXT <rom image>\n"
      "       textdump --help | --version\n"
      "\n"
      "DUMP_TEXT dumps every string of the LoROM image that the built-in dump plan names\n"
      "into an insertion script. CHECK_TABLE reads the same strings and reports the table\n"
      "lines it ignores and the codes that have no text; it writes no script.\n"
      "CHECK_SCRIPT reads the edited script back and checks each string the inserter\n"
      "writes against the image and the table: that unedited strings encode back to the\n"
      "image's bytes and edited ones encode at all. It writes no file.\n"
      "UPDATE_TEXT brings the edited script up to date with today's table: each string\n"
      "that still gives the image's bytes back is written again as DUMP_TEXT would write\n"
      "it; translations and every other line stay as they are.\n"
      "Paths are relative to the working folder:\n"
      "\n"
      "  <rom image>             read only\n"
      "  table/table_dump.txt    the character table, read; if it is missing, that is\n"
      "                          reported and every code is written by its value\n"
      "  text/script.txt         the script, created or replaced; the folder text must exist;\n"
      "                          read by CHECK_SCRIPT and UPDATE_TEXT\n"
      "  text/script.txt.bak     the script it replaced\n"
      "  text/script.txt.orig    the script as DUMP_TEXT writes it today, put beside each new\n"
      "                          script: do not edit it. DUMP_TEXT replaces a script only\n"
      "                          when nothing in it would be lost; else run UPDATE_TEXT\n"
      "\n"
      "Progress and warnings go to standard output, errors to standard error.\n"
      "\n"
      "Exit status:\n"
      "  0    the dump was written, the table checked or the script found sound (edited\n"
      "       strings that encode are sound); also for --help and --version\n"
      "  1    CHECK_SCRIPT found a string to look at, or UPDATE_TEXT a place where the\n"
      "       script's strings and the image's part\n"
      "  255  an error, on every system: an unknown command word, no image given or an\n"
      "       argument after it, an image that cannot be read or has a copier header, a\n"
      "       table that cannot be read (or, for UPDATE_TEXT, is missing), a script that\n"
      "       cannot be created, written or (CHECK_SCRIPT, UPDATE_TEXT) read, a script that\n"
      "       DUMP_TEXT would lose edits of, standard output that cannot be written, or\n"
      "       memory run out\n",
      out);
}

void write_version(std::FILE* out) {
  std::fputs("textdump " TEXTDUMP_VERSION "\n", out);
}
