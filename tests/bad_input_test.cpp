// The real binary on inputs that come from anywhere: broken, empty, huge or unreadable
// images and tables, script places that cannot be written, and reads and writes that fail
// half-way (injected by strace). Each run must end with the
// documented message and status, never by a signal, and leave nothing behind but a whole
// script, and that only where one is due.

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/expected_text.h"
#include "support/fault_injection.h"
#include "support/image_builder.h"
#include "support/process.h"

namespace {

namespace fs = std::filesystem;

const std::string kOlderScript = "older script\r\n";

// An image whose file index names one block, 07:9000; the fixed list's block 10:A000 holds
// a string too. Entry 0 names the record at window offset 0x9000, the other entries the
// record at offset 0, whose pointer is 0:0 and so skipped.
ImageBuilder indexed_image() {
  ImageBuilder image;
  image.place_at(0x198000 + 0x8000, {0x00, 0x90});
  image.place_at(0x198000 + 0x8002, Bytes(2 * 278, 0x00));
  image.place_at(0x198000 + 0x9000 + 37, {0x00, 0x90, 0x07});
  image.place_at(0x198000 + 37, {0x00, 0x00, 0x00});
  image.place(0x07, 0x9000, make_block({text_string("AB"), text_string("BA", 0xD0)}));
  image.place(0x10, 0xA000, make_block({text_string("BB")}));
  return image;
}

std::string image_bytes(std::size_t size = 0x200000) {
  const ImageBuilder image = indexed_image();
  const Bytes& bytes = image.bytes();
  return std::string(bytes.begin(), bytes.begin() + static_cast<long>(size));
}

// The standard image's script as dumped before the table had A and B: unedited, so a dump
// with the table replaces it.
const std::string& old_script() {
  static const std::string script = [] {
    TempFolder folder;
    write_file(folder / "image.rom", image_bytes());
    fs::create_directory(folder / "text");
    run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "image.rom"}, folder.path());
    return read_file(folder / "text/script.txt");
  }();
  return script;
}

// The standard folder: image.rom, a table defining A and B, and a text folder holding an
// old script and its backup, which a failed run must leave as they were.
void lay_out_folder(const TempFolder& folder) {
  write_file(folder / "image.rom", image_bytes());
  fs::create_directory(folder / "table");
  write_file(folder / "table/table_dump.txt", "41=A\n42=B\n");
  fs::create_directory(folder / "text");
  write_file(folder / "text/script.txt", old_script());
  write_file(folder / "text/script.txt.bak", kOlderScript);
}

// A change to the standard folder after which the old script is no dump of the image, and
// which a dump would refuse to replace: so it goes first.
std::function<void(const TempFolder&)> without_old_script(
    std::function<void(const TempFolder&)> prepare) {
  return [prepare](const TempFolder& f) {
    fs::remove(f / "text/script.txt");
    prepare(f);
  };
}

// Every entry of the folder, with what it is and, for a file, its bytes.
std::map<std::string, std::string> snapshot(const TempFolder& folder) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder.path())) {
    const std::string name = fs::relative(entry.path(), folder.path()).generic_string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status)) {
      entries[name] = "link to " + fs::read_symlink(entry.path()).string();
    } else if (fs::is_directory(status)) {
      entries[name] = "folder";
    } else if (fs::is_regular_file(status)) {
      entries[name] = "file " + read_file(entry.path().string());
    } else {
      entries[name] = "other kind";
    }
  }
  return entries;
}

void expect_well_formed(const std::string& script) {
  EXPECT_TRUE(script.starts_with(crlf(kHeader))) << "no header";
  ASSERT_TRUE(line_ends_are_cr_lf(script)) << "a bare LF or CR";
  std::size_t at = 0;
  std::size_t first_region = std::string::npos;
  for (const documented::Region& region : documented::kRegions) {
    const std::string opening = crlf(region_opening(region));
    at = script.find(opening, at);
    ASSERT_NE(at, std::string::npos) << "region of bank " << region.bank << " missing or late";
    if (first_region == std::string::npos) first_region = at;
    at += opening.size();
  }
  EXPECT_EQ(script.find("\r\n//[FILE] ", first_region), std::string::npos)
      << "a block section after the regions";
  const std::string tail = script.substr(at);
  EXPECT_TRUE(tail.empty() || (tail.starts_with("\r\n//[") && tail.ends_with("\r\n\r\n\r\n")))
      << "the script does not end with the last region's strings";
}

enum class Console { kExactly, kStartsWith };

enum class Script {
  kUntouched,  // nothing in the folder changes, the old script and its backup included
  kWritten,    // text/script.txt is replaced by a whole script, the old one becoming the
               // backup; nothing else changes
};

struct BadInput {
  std::string name;
  std::function<void(const TempFolder&)> prepare;  // changes the standard folder
  // A POSIX shell line, $0 being the tool; kDump runs the tool itself, and a tab followed by
  // arguments runs it with those.
  std::string command;
  int exit_status;
  std::string err;
  Console out_is;
  std::string out;
  Script script;
  std::string script_holds = {};  // a piece the written script must contain
  bool needs_non_root = false;
  const char* posix_only = nullptr;  // why the case cannot happen on Windows
};

[[maybe_unused]] void PrintTo(const BadInput& c, std::ostream* os) {
  *os << c.name;
}

const std::string kDump = "";  // textdump DUMP_TEXT image.rom, with no shell in between
const std::string kDumpArgs = "\"$0\" DUMP_TEXT image.rom";  // behind a shell line's fault
const std::string kCheckTableArgs = "\"$0\" CHECK_TABLE image.rom";
const std::string kCheckScriptArgs = "\"$0\" CHECK_SCRIPT image.rom";
const std::string kUpdateArgs = "\"$0\" UPDATE_TEXT image.rom";
// The tool run with these arguments, with no shell in between, as on every system.
const std::string kUpdate =
    "\t"
    "UPDATE_TEXT image.rom";
const std::string kUpdateAlone =
    "\t"
    "UPDATE_TEXT";
const std::string kTemp = "text//script.txt.tmp";
const std::string kCannotWrite = "ERROR - cannot write text//script.txt\n";
const std::string kCannotRead = "ERROR - cannot read ROM: image.rom\n";
const std::string kCannotReadTable = "ERROR - cannot read table//table_dump.txt\n";
const std::string kTableReadFails = with_fault("table/table_dump.txt", "read:error=EIO:when=2");
const std::string kCannotWriteStdout = "ERROR - cannot write standard output\n";
const char kDevFull[] = "/dev/full is a Linux device";
const char kPipes[] = "pipes, FIFOs and /dev/stdin as a path are POSIX";
const char kStrace[] = "faults are injected with strace, which traces Linux processes only";
const std::string kUnreadableStdin = "ERROR - cannot open ROM: /dev/stdin\n";
// An image without an index reads 0xFF there: every record offset is 0xFFFF, so every
// pointer runs past the window and names bank 0xFF, address 0xFFFF, a block of 0xFF bytes.
const std::string kNoIndexOut =
    "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 100FFFF)\n[FILE] FFFFFF-100FFFF [0]"
    "\n[DUMP_LAYER2] FAIL-SAFE (missed @ 01C373)\n[FILE] 00C373-01C373 [0]";
const std::string kIndexedOut = "\n[FILE] 079000-07900A [0]\n[DUMP_LAYER2] FAIL-SAFE (missed";
const std::string kFirstString = "//[079004 ~ 039004]\r\n\r\n//AB<CODE FF>\r\n";

// What a killed run leaves. Made beforehand also so that strace can follow its descriptor.
void leave_temporary_file(const TempFolder& folder) {
  write_file(folder / "text/script.txt.tmp", "part of a script\r\n");
}

// A script whose one string is the image's own text, written by value: an update renders it
// with the table, so writes a script.
void leave_script_to_update(const TempFolder& folder) {
  write_file(folder / "text/script.txt",
             "//[079007 ~ 039007]\r\n#WRITEINDEX($39002,2)\r\n#WRITE(PtrTable)\r\n\r\n"
             "<$42><$41><CODE D0>\r\n\r\n\r\n");
  leave_temporary_file(folder);
}

void replace_with_folder(const std::string& path) {
  fs::remove(path);
  fs::create_directory(path);
}

const std::vector<BadInput> kBadInputs = {
    {"empty_image", without_old_script([](const TempFolder& f) { write_file(f / "image.rom", ""); }),
     kDump, 0, "",
     Console::kStartsWith, kNoIndexOut, Script::kWritten, "\r\n//[FILE] FFFFFF-100FFFF [0]\r\n"},
    {"one_byte_image",
     without_old_script([](const TempFolder& f) { write_file(f / "image.rom", "A"); }), kDump, 0,
     "",
     Console::kStartsWith, kNoIndexOut, Script::kWritten, "\r\n//[FILE] 00C373-01C373 [0]\r\n"},
    // The index is gone, the fixed block in bank 0x10 is still read, and written again by
    // its region.
    {"image_shorter_than_the_index",
     without_old_script(
         [](const TempFolder& f) { write_file(f / "image.rom", image_bytes(0x100000)); }),
     kDump, 0, "",
     Console::kStartsWith, kNoIndexOut, Script::kWritten,
     "\r\n//[10A002 ~ 082002]\r\n#W16($82002)\r\nBB<CODE FF>\r\n\r\n\r\n"},
    // Only 512 bytes over whole banks are a copier's header.
    {"image_1536_bytes_over_whole_banks",
     [](const TempFolder& f) {
       write_file(f / "image.rom", image_bytes() + std::string(1536, '\xFF'));
     },
     kDump, 0, "", Console::kStartsWith, kIndexedOut, Script::kWritten, kFirstString},
    {"image_is_a_folder", [](const TempFolder& f) { replace_with_folder(f / "image.rom"); }, kDump,
     255, "ERROR - cannot open ROM: image.rom\n", Console::kExactly, "", Script::kUntouched},
    {"image_is_missing", [](const TempFolder& f) { fs::remove(f / "image.rom"); }, kDump, 255,
     "ERROR - cannot open ROM: image.rom\n", Console::kExactly, "", Script::kUntouched},
    // A pipe cannot be positioned, so its image cannot be read at the index's offset.
    {"image_through_a_pipe", [](const TempFolder&) {},
     "head -c 65536 image.rom | \"$0\" DUMP_TEXT /dev/stdin", 255, kUnreadableStdin,
     Console::kExactly, "", Script::kUntouched, "", false, kPipes},
    {"image_through_a_fifo",
     []([[maybe_unused]] const TempFolder& f) {
#ifndef _WIN32
       ASSERT_EQ(mkfifo((f / "feed").c_str(), 0600), 0);
#endif
     },
     "cat image.rom > feed & exec \"$0\" DUMP_TEXT /dev/stdin < feed", 255, kUnreadableStdin,
     Console::kExactly, "", Script::kUntouched, "", false, kPipes},
    // The same path names a file that can be positioned when standard input is one.
    {"image_as_standard_input_from_a_file", [](const TempFolder&) {},
     "exec \"$0\" DUMP_TEXT /dev/stdin < image.rom", 0, "", Console::kStartsWith, kIndexedOut,
     Script::kWritten, kFirstString, false, kPipes},
    {"table_is_a_folder",
     [](const TempFolder& f) { replace_with_folder(f / "table/table_dump.txt"); }, kDump, 0, "",
     Console::kStartsWith, "\nTable file not found: table//table_dump.txt" + kIndexedOut,
     Script::kWritten, "//<$41><$42><CODE FF>\r\n"},
    {"table_full_of_nul_bytes",
     [](const TempFolder& f) { write_file(f / "table/table_dump.txt", std::string(4096, '\0')); },
     kDump, 0, "", Console::kStartsWith, kIndexedOut, Script::kWritten,
     "//<$41><$42><CODE FF>\r\n"},
    {"table_of_random_bytes", without_old_script([](const TempFolder& f) {
       std::mt19937 random(20240607);
       std::string bytes(0x10000, '\0');
       for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
       write_file(f / "table/table_dump.txt", bytes);
     }),
     kDump, 0, "", Console::kStartsWith, kIndexedOut, Script::kWritten,
     "//[079004 ~ 039004]\r\n\r\n//"},
    // The line is read in pieces of 255 characters: the first defines 41 (cut to 39 bytes),
    // the rest start with 'x' and hold no key, and the next line is read as usual.
    {"table_with_a_line_of_one_mebibyte",
     [](const TempFolder& f) {
       write_file(f / "table/table_dump.txt", "41=" + std::string(1 << 20, 'x') + "\n42=B\n");
     },
     kDump, 0, "", Console::kStartsWith, kIndexedOut, Script::kWritten,
     "//" + std::string(39, 'x') + "B<CODE FF>\r\n"},
    {"text_is_a_file",
     [](const TempFolder& f) {
       fs::remove_all(f / "text");
       write_file(f / "text", "not a folder\n");
     },
     kDump, 255, "ERROR - no TEXT dir\n", Console::kExactly, "", Script::kUntouched},
    {"text_folder_is_read_only",
     [](const TempFolder& f) {
       fs::remove(f / "text/script.txt");
       fs::permissions(f / "text", fs::perms::owner_read | fs::perms::owner_exec);
     },
     kDump, 255, kCannotWrite, Console::kExactly, "", Script::kUntouched, "", true,
     "on Windows a read-only folder still takes new files"},
    {"script_is_read_only",
     [](const TempFolder& f) { fs::permissions(f / "text/script.txt", fs::perms::owner_read); },
     kDump, 255, kCannotWrite, Console::kExactly, "", Script::kUntouched, "", true},
    {"script_is_a_folder", [](const TempFolder& f) { replace_with_folder(f / "text/script.txt"); },
     kDump, 255, kCannotWrite, Console::kExactly, "", Script::kUntouched},
    // A killed run leaves its temporary file; the next run starts it afresh.
    {"temporary_file_left_by_a_killed_run", leave_temporary_file, kDump, 0, "",
     Console::kStartsWith, kIndexedOut, Script::kWritten, kFirstString},
    // The dump runs to its end; the failed write is found when the script is closed.
    {"script_write_finds_the_disk_full", leave_temporary_file,
     with_fault(kTemp, "write:error=ENOSPC:when=1") + kDumpArgs, 255, kCannotWrite,
     Console::kStartsWith, kIndexedOut, Script::kUntouched, "", false, kStrace},
    {"script_close_fails", leave_temporary_file,
     with_fault(kTemp, "close:error=EIO:when=1") + kDumpArgs, 255, kCannotWrite,
     Console::kStartsWith, kIndexedOut, Script::kUntouched, "", false, kStrace},
    {"script_rename_fails", [](const TempFolder&) {},
     with_fault(kTemp, "rename:error=EXDEV:when=1") + kDumpArgs, 255, kCannotWrite,
     Console::kStartsWith, kIndexedOut, Script::kUntouched, "", false, kStrace},
    // The older backup has stepped aside when the old script's second name fails to take
    // its place: it comes back.
    {"backup_rename_fails", [](const TempFolder&) {},
     with_fault("text//script.txt.bak.new", "rename:error=EIO:when=1") + kDumpArgs, 255,
     kCannotWrite,
     Console::kStartsWith, kIndexedOut, Script::kUntouched, "", false, kStrace},
    // A file system without hard links: the backup is a copy.
    {"backup_link_refused", [](const TempFolder&) {},
     with_fault("text//script.txt", "link:error=EPERM") + kDumpArgs, 0, "", Console::kStartsWith,
     kIndexedOut, Script::kWritten, kFirstString, false, kStrace},
    {"script_without_backup", [](const TempFolder& f) { fs::remove(f / "text/script.txt.bak"); },
     kDump, 0, "", Console::kStartsWith, kIndexedOut, Script::kWritten, kFirstString},
    {"no_script_yet_makes_no_backup",
     [](const TempFolder& f) {
       fs::remove(f / "text/script.txt");
       fs::remove(f / "text/script.txt.bak");
     },
     kDump, 0, "", Console::kStartsWith, kIndexedOut, Script::kWritten, kFirstString},
    // A table read that fails after its first bytes: the run stops before the script.
    {"table_read_fails_part_way", [](const TempFolder&) {}, kTableReadFails + kDumpArgs, 255,
     kCannotReadTable, Console::kExactly, "", Script::kUntouched, "", false, kStrace},
    {"table_read_fails_part_way_in_a_check", [](const TempFolder&) {},
     kTableReadFails + kCheckTableArgs, 255, kCannotReadTable, Console::kExactly, "",
     Script::kUntouched, "", false, kStrace},
    {"table_read_fails_part_way_in_a_script_check", [](const TempFolder&) {},
     kTableReadFails + kCheckScriptArgs, 255, kCannotReadTable, Console::kExactly, "",
     Script::kUntouched, "", false, kStrace},
    // A failed read of the script is not its end: nothing is said of the strings after it.
    // Reads 1 and 2 are the checks at the opening of its two readings.
    {"script_read_fails_part_way_in_a_script_check", [](const TempFolder&) {},
     with_fault("text/script.txt", "read:error=EIO:when=3") + kCheckScriptArgs, 255,
     "ERROR - cannot read text//script.txt\n", Console::kExactly, "", Script::kUntouched, "",
     false, kStrace},
    // Lines that did not reach standard output fail the run: the old script stays.
    {"standard_output_cannot_be_written", [](const TempFolder&) {},
     "exec " + kDumpArgs + " >/dev/full", 255, kCannotWriteStdout, Console::kExactly, "",
     Script::kUntouched, "", false, kDevFull},
    // A script check that found something, but could not say what, fails too.
    {"standard_output_cannot_be_written_in_a_script_check", [](const TempFolder&) {},
     "exec " + kCheckScriptArgs + " >/dev/full", 255, kCannotWriteStdout, Console::kExactly, "",
     Script::kUntouched, "", false, kDevFull},
    // Reads of the image: the check at opening, the file index, then the block 07:9000 and
    // the next load.
    {"image_read_fails_at_opening", [](const TempFolder&) {},
     with_fault("image.rom", "read:error=EIO:when=1") + kDumpArgs, 255,
     "ERROR - cannot open ROM: image.rom\n", Console::kExactly, "", Script::kUntouched, "", false,
     kStrace},
    {"image_read_fails_at_the_file_index", [](const TempFolder&) {},
     with_fault("image.rom", "read:error=EIO:when=2") + kDumpArgs, 255, kCannotRead,
     Console::kExactly, "", Script::kUntouched, "", false, kStrace},
    {"image_read_fails_after_a_block", [](const TempFolder&) {},
     with_fault("image.rom", "read:error=EIO:when=4") + kDumpArgs, 255, kCannotRead,
     Console::kExactly, "\n[FILE] 079000-07900A [0]\n", Script::kUntouched, "", false, kStrace},
    // The region pass reads the image again (read 31: bank 0x10's region): a failed read
    // there fails the run as any other.
    {"image_read_fails_in_the_region_pass", [](const TempFolder&) {},
     with_fault("image.rom", "read:error=EIO:when=31") + kDumpArgs, 255, kCannotRead,
     Console::kStartsWith, kIndexedOut, Script::kUntouched, "", false, kStrace},
    // The lines on standard output come before the error, in one stream too.
    {"image_read_fails_with_both_streams_in_one", [](const TempFolder&) {},
     with_fault("image.rom", "read:error=EIO:when=4") + kDumpArgs + " 2>&1", 255, "",
     Console::kExactly, "\n[FILE] 079000-07900A [0]\n" + kCannotRead, Script::kUntouched, "",
     false, kStrace},
    // CHECK_TABLE reads the image as DUMP_TEXT does; a failed read leaves no report.
    {"image_read_fails_after_a_block_in_a_table_check", [](const TempFolder&) {},
     with_fault("image.rom", "read:error=EIO:when=4") + kCheckTableArgs, 255,
     kCannotRead, Console::kExactly, "", Script::kUntouched, "", false, kStrace},
    // So does CHECK_SCRIPT, which has said by then that the old script's string of the block
    // differs from today's dump.
    {"image_read_fails_after_a_block_in_a_script_check", [](const TempFolder&) {},
     with_fault("image.rom", "read:error=EIO:when=4") + kCheckScriptArgs, 255, kCannotRead,
     Console::kExactly, "\n[EDITED] line 25 @ 079007: 3 -> 3 bytes\n", Script::kUntouched, "",
     false, kStrace},
    // The original goes in place before the script: if it cannot, nothing is replaced.
    {"original_write_finds_the_disk_full",
     [](const TempFolder& f) { write_file(f / "text/script.txt.orig.tmp", ""); },
     with_fault("text//script.txt.orig.tmp", "write:error=ENOSPC:when=1") + kDumpArgs, 255,
     kCannotWrite, Console::kStartsWith, kIndexedOut, Script::kUntouched, "", false, kStrace},
    {"original_rename_fails", [](const TempFolder&) {},
     with_fault("text//script.txt.orig.tmp", "rename:error=EXDEV:when=1") + kDumpArgs, 255,
     kCannotWrite, Console::kStartsWith, kIndexedOut, Script::kUntouched, "", false, kStrace},
    // UPDATE_TEXT's errors, in the order they are checked; each leaves every file as it was
    // and standard output empty.
    {"update_without_an_image", [](const TempFolder&) {}, kUpdateAlone, 255,
     "ERROR - no ROM args\nTry 'textdump --help' for more information.\n", Console::kExactly, "",
     Script::kUntouched},
    {"update_without_a_table",
     [](const TempFolder& f) {
       fs::remove(f / "table/table_dump.txt");
       fs::remove(f / "text/script.txt");
     },
     kUpdate, 255, "ERROR - cannot open table//table_dump.txt\n", Console::kExactly,
     "", Script::kUntouched},
    {"update_with_a_table_in_utf16",
     [](const TempFolder& f) { write_file(f / "table/table_dump.txt", "\xFF\xFE" "4\0" "1\0=\0A\0"); },
     kUpdate, 255, "ERROR - table//table_dump.txt is UTF-16: save it as UTF-8\n",
     Console::kExactly, "", Script::kUntouched},
    {"update_table_read_fails_part_way", [](const TempFolder&) {}, kTableReadFails + kUpdateArgs,
     255, kCannotReadTable, Console::kExactly, "", Script::kUntouched, "", false, kStrace},
    {"update_text_is_a_file",
     [](const TempFolder& f) {
       fs::remove_all(f / "text");
       write_file(f / "text", "not a folder\n");
     },
     kUpdate, 255, "ERROR - no TEXT dir\n", Console::kExactly, "",
     Script::kUntouched},
    {"update_without_a_script", [](const TempFolder& f) { fs::remove(f / "text/script.txt"); },
     kUpdate, 255, "ERROR - cannot open text//script.txt\n", Console::kExactly, "",
     Script::kUntouched},
    {"update_script_read_fails_part_way", leave_script_to_update,
     with_fault("text/script.txt", "read:error=EIO:when=2") + kUpdateArgs, 255,
     "ERROR - cannot read text//script.txt\n", Console::kExactly, "", Script::kUntouched, "",
     false, kStrace},
    {"update_image_read_fails_after_a_block", leave_script_to_update,
     with_fault("image.rom", "read:error=EIO:when=4") + kUpdateArgs, 255, kCannotRead,
     Console::kExactly, "", Script::kUntouched, "", false, kStrace},
    {"update_finds_the_disk_full", leave_script_to_update,
     with_fault(kTemp, "write:error=ENOSPC:when=1") + kUpdateArgs, 255, kCannotWrite,
     Console::kExactly, "", Script::kUntouched, "", false, kStrace},
    {"update_rename_fails", leave_script_to_update,
     with_fault(kTemp, "rename:error=EXDEV:when=1") + kUpdateArgs, 255, kCannotWrite,
     Console::kExactly, "", Script::kUntouched, "", false, kStrace},
};

class BadInputRun : public testing::TestWithParam<BadInput> {};

TEST_P(BadInputRun, ends_with_the_documented_outcome_and_writes_only_a_whole_script) {
  const BadInput& c = GetParam();
#ifdef _WIN32
  if (c.posix_only != nullptr) GTEST_SKIP() << c.posix_only;
#else
  if (c.needs_non_root && geteuid() == 0)
    GTEST_SKIP() << "running as root, which may write any file";
#endif
  if (c.command.find("strace") != std::string::npos && !can_inject_faults())
    GTEST_SKIP() << "no strace to inject the fault";
  TempFolder folder;
  lay_out_folder(folder);
  c.prepare(folder);
#ifdef _WIN32
  // Wine run by root lets any program write a read-only file.
  if (c.needs_non_root) {
    std::FILE* script = std::fopen((folder / "text/script.txt").c_str(), "r+b");
    if (script != nullptr) {
      std::fclose(script);
      GTEST_SKIP() << "this user may write a read-only file (Wine run as root)";
    }
  }
#endif
  auto expected_folder = snapshot(folder);
  // Whatever happens, no temporary file is left behind.
  expected_folder.erase("text/script.txt.tmp");
  expected_folder.erase("text/script.txt.orig.tmp");

  ProcessResult r;
  if (c.command == kDump) {
    r = run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "image.rom"}, folder.path());
  } else if (c.command.starts_with('\t')) {  // the arguments, with no shell
    std::vector<std::string> args;
    std::istringstream words(c.command);
    for (std::string word; words >> word;) args.push_back(word);
    r = run_process(TEXTDUMP_EXE, args, folder.path());
  } else {
    r = run_process("/bin/sh", {"-c", c.command, TEXTDUMP_EXE}, folder.path());
  }

  EXPECT_NE(r.exit_status, -1) << "ended by a signal";
  EXPECT_EQ(r.exit_status, c.exit_status);
  EXPECT_EQ(r.err, c.err);
  if (c.out_is == Console::kExactly) {
    EXPECT_EQ(r.out, c.out);
  } else {
    EXPECT_EQ(r.out.substr(0, c.out.size()), c.out);
  }

  auto folder_after = snapshot(folder);
  if (c.script == Script::kWritten) {
    const std::string script = read_file(folder / "text/script.txt");
    expect_well_formed(script);
    EXPECT_EQ(folder_after["text/script.txt.orig"], "file " + script) << "the original";
    folder_after.erase("text/script.txt.orig");
    EXPECT_NE(script.find(c.script_holds), std::string::npos) << "no '" << c.script_holds << "'";
    if (expected_folder.count("text/script.txt") != 0)
      expected_folder["text/script.txt.bak"] = expected_folder["text/script.txt"];
    expected_folder.erase("text/script.txt");
    folder_after.erase("text/script.txt");
  }
  EXPECT_EQ(folder_after, expected_folder);
}

INSTANTIATE_TEST_SUITE_P(BadInputs, BadInputRun, testing::ValuesIn(kBadInputs),
                         [](const testing::TestParamInfo<BadInput>& info) {
                           return info.param.name;
                         });

}  // namespace
