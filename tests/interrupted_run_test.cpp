// Runs of the real tool over a large image that are killed, or whose writes or reads fail,
// at moments spread over the whole dump. Each must leave the previous script as it was (or,
// once past the rename, the whole new one), a backup that is some earlier whole script, and
// beside them only files of fixed names, which do not pile up.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "support/fault_injection.h"
#include "support/image_builder.h"
#include "support/process.h"

namespace {

const std::string kDumpArgs = "\"$0\" DUMP_TEXT image.rom";

// The file index names twelve blocks of 300 strings each: without a table every code is
// written as <$xx>, so the script is some 3.8 MB, handed to the file in about 60 writes.
ImageBuilder large_image() {
  constexpr int kBlocks = 12;
  ImageBuilder image;
  image.place_at(0x198000 + 37, {0x00, 0x00, 0x00});  // the record the other entries name
  for (int k = 0; k < kBlocks; ++k) {
    const int record = 0x9000 + 0x40 * k;
    const int bank = 0x12 + 2 * k;  // each block's window spans two banks
    image.place_at(0x198000 + 0x8000 + 2 * k, {static_cast<std::uint8_t>(record & 0xFF),
                                               static_cast<std::uint8_t>(record >> 8)});
    image.place_at(0x198000 + record + 37, {0x00, 0x80, static_cast<std::uint8_t>(bank)});
    std::vector<Bytes> strings;
    for (int i = 0; i < 300; ++i) strings.push_back(text_string(std::string(195, 'A' + i % 26)));
    image.place(bank, 0x8000, make_block(strings));
  }
  image.place_at(0x198000 + 0x8000 + 2 * kBlocks, Bytes(2 * (279 - kBlocks), 0x00));
  return image;
}

std::set<std::string> text_folder(const TempFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder / "text"))
    names.insert(entry.path().filename().string());
  return names;
}

TEST(InterruptedRun, leaves_the_old_script_or_the_whole_new_one_and_no_pile_of_files) {
  if (!can_inject_faults()) GTEST_SKIP() << "no strace to kill the tool at chosen moments";
  TempFolder folder;
  ASSERT_TRUE(large_image().save(folder / "image.rom"));
  std::filesystem::create_directory(folder / "text");
  const auto dump = [&](const std::string& line) {
    return run_process("/bin/sh", {"-c", line, TEXTDUMP_EXE}, folder.path());
  };
  // The old script, dumped before the table had A: a dump with it replaces it.
  ASSERT_EQ(dump("exec " + kDumpArgs).exit_status, 0);
  const std::string old_script = read_file(folder / "text/script.txt");
  std::filesystem::create_directory(folder / "table");
  write_file(folder / "table/table_dump.txt", "41=A\n");
  ASSERT_EQ(dump("exec " + kDumpArgs).exit_status, 0);
  const std::string new_script = read_file(folder / "text/script.txt");
  const int writes = static_cast<int>(new_script.size() >> 16);  // at least this many
  ASSERT_GE(writes, 50);

  struct Interruption {
    std::string path;  // the fault applies to system calls on this file ("": any)
    std::string inject;
    int exit_status;  // -1: killed
    std::string err;
    bool replaced = false;
  };
  std::vector<Interruption> cases;
  // 47 reads: the check at opening, the file index, the 12 blocks, 25 fixed blocks and 8
  // regions; the writes go on between the block reads.
  for (int read : {2, 3, 5, 8, 11, 14, 20, 30, 40, 47})
    cases.push_back({"image.rom", "read:signal=SIGKILL:when=" + std::to_string(read), -1, ""});
  for (int i = 0; i < 10; ++i) {
    const int write = 1 + i * (writes - 1) / 9;
    cases.push_back(
        {"text//script.txt.tmp", "write:signal=SIGKILL:when=" + std::to_string(write), -1, ""});
  }
  cases.push_back({"text//script.txt.tmp", "close:signal=SIGKILL:when=1", -1, ""});
  cases.push_back({"text//script.txt.tmp", "rename:signal=SIGKILL:when=1", -1, ""});
  cases.push_back({"", "exit_group:signal=SIGKILL", -1, "", true});  // after the rename
  cases.push_back({"text//script.txt.tmp", "write:error=ENOSPC:when=" + std::to_string(writes / 2),
                   255, "ERROR - cannot write text//script.txt\n"});
  cases.push_back(
      {"image.rom", "read:error=EIO:when=9", 255, "ERROR - cannot read ROM: image.rom\n"});

  // One folder for all: what one run leaves, the next finds.
  for (const Interruption& c : cases) {
    SCOPED_TRACE(c.inject);
    write_file(folder / "text/script.txt", old_script);
    // strace follows the descriptor of a file only if it exists when the run starts.
    if (!file_exists(folder / "text/script.txt.tmp"))
      write_file(folder / "text/script.txt.tmp", "");
    const ProcessResult r = dump(with_fault(c.path, c.inject) + kDumpArgs);
    EXPECT_EQ(r.exit_status, c.exit_status);
    EXPECT_EQ(r.err, c.err);
    const std::string script = read_file(folder / "text/script.txt");
    EXPECT_TRUE(script == (c.replaced ? new_script : old_script))
        << script.size() << " bytes: " << script.substr(0, 40);
    // Each earlier run began with the old script and ended with it or the new one.
    if (file_exists(folder / "text/script.txt.bak")) {
      const std::string backup = read_file(folder / "text/script.txt.bak");
      EXPECT_TRUE(backup == old_script || backup == new_script) << backup.size() << " bytes";
    }
    // Besides the script, its backup and the original, what a killed run may leave: the
    // temporary files, the backup's own two on the way, the original's aside, and the lock.
    std::set<std::string> allowed = {
        "script.txt",          "script.txt.bak",      "script.txt.orig",
        "script.txt.tmp",      "script.txt.bak.new",  "script.txt.bak.old",
        "script.txt.orig.tmp", "script.txt.orig.old", "script.txt.lock"};
    if (c.exit_status != -1) {  // a handled failure cleans up what it made
      for (const char* made :
           {"script.txt.tmp", "script.txt.orig.tmp", "script.txt.orig.old", "script.txt.lock"})
        allowed.erase(made);
    }
    for (const std::string& name : text_folder(folder)) EXPECT_TRUE(allowed.count(name)) << name;
  }

  ASSERT_EQ(dump("exec " + kDumpArgs).exit_status, 0);
  EXPECT_TRUE(read_file(folder / "text/script.txt") == new_script);
  EXPECT_EQ(text_folder(folder),
            (std::set<std::string>{"script.txt", "script.txt.bak", "script.txt.orig"}));
}

}  // namespace

namespace {

// A run killed at each link and rename of the script's replacement: the translator's edits
// are still in the script or in its backup, whatever the moment; and the next run puts back
// what the killed one left on the way (.bak.new, .bak.old), leaving the script and its backup.
TEST(InterruptedRun, killed_at_each_link_and_rename_of_the_replacement_keeps_the_edits) {
  if (!can_inject_faults()) GTEST_SKIP() << "no strace to kill the tool at chosen moments";
  // A script with nothing to lose, saved with LF alone, so that it differs from the new one.
  const std::string older = "an older script\r\n";
  std::string edits;
  {
    TempFolder blank;
    ASSERT_TRUE(ImageBuilder().save(blank / "image.rom"));
    std::filesystem::create_directory(blank / "text");
    ASSERT_EQ(run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "image.rom"}, blank.path()).exit_status, 0);
    for (char c : read_file(blank / "text/script.txt"))
      if (c != '\r') edits += c;
  }
  struct Kill {
    std::string inject;
    bool with_backup;
  };
  std::vector<Kill> kills;
  for (bool with_backup : {true, false}) {
    kills.push_back({"link:signal=SIGKILL:when=1", with_backup});
    for (int rename = 1; rename <= 5; ++rename)  // the original's two, then the script's
      kills.push_back({"rename:signal=SIGKILL:when=" + std::to_string(rename), with_backup});
  }
  for (const Kill& kill : kills) {
    SCOPED_TRACE(kill.inject + (kill.with_backup ? ", with a backup" : ", without a backup"));
    TempFolder folder;
    ASSERT_TRUE(ImageBuilder().save(folder / "image.rom"));
    std::filesystem::create_directory(folder / "text");
    write_file(folder / "text/script.txt", edits);
    if (kill.with_backup) write_file(folder / "text/script.txt.bak", older);
    const auto dump = [&](const std::string& line) {
      return run_process("/bin/sh", {"-c", line, TEXTDUMP_EXE}, folder.path());
    };
    EXPECT_EQ(dump(with_fault("", kill.inject) + kDumpArgs).exit_status, -1);
    const auto holds = [&](const std::string& name, const std::string& bytes) {
      return file_exists(folder / name) && read_file(folder / name) == bytes;
    };
    EXPECT_TRUE(holds("text/script.txt", edits) || holds("text/script.txt.bak", edits));
    if (kill.with_backup) {  // the older backup is where it was, or on its way back
      EXPECT_TRUE(holds("text/script.txt.bak", older) || holds("text/script.txt.bak.old", older) ||
                  holds("text/script.txt.bak", edits));
    }

    ASSERT_EQ(dump("exec " + kDumpArgs).exit_status, 0);
    const std::set<std::string> left = text_folder(folder);
    EXPECT_EQ(left, (std::set<std::string>{"script.txt", "script.txt.bak", "script.txt.orig"}));
  }
}

}  // namespace
