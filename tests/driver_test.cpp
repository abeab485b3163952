#include <gtest/gtest.h>
#include <sys/stat.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "driver/file_open.h"
#include "driver/replace_file.h"
#include "support/blank_image_output.h"
#include "support/image_builder.h"
#include "support/process.h"

namespace {

using namespace std::string_literals;

const std::string kTableMissing = "\nTable file not found: table//table_dump.txt";
const std::string kOldScript = "old script\r\n";
const std::string kTryHelp = "Try 'textdump --help' for more information.\n";

// A working folder for one run of the tool, holding `image.rom`; the `text` and `table`
// folders only when a case asks for them.
class RunFolder {
 public:
  explicit RunFolder(const ImageBuilder& image = ImageBuilder()) {
    image.save(folder_ / "image.rom");
  }

  std::string operator/(const std::string& name) const { return folder_ / name; }
  void make_folder(const std::string& name) const {
    std::filesystem::create_directory(folder_ / name);
  }
  void make_text_folder_with_old_script() const {
    make_folder("text");
    write_file(folder_ / "text/script.txt", kOldScript);
  }
  void write_table(const std::string& bytes) const {
    make_folder("table");
    write_file(folder_ / "table/table_dump.txt", bytes);
  }
  std::string script() const { return read_file(folder_ / "text/script.txt"); }
  bool has(const std::string& name) const { return file_exists(folder_ / name); }

  ProcessResult run(const std::vector<std::string>& args) const {
    return run_process(TEXTDUMP_EXE, args, folder_.path());
  }

 private:
  TempFolder folder_;
};

TEST(Driver, fewer_than_two_arguments_is_an_error_and_creates_nothing) {
  const std::vector<std::vector<std::string>> cases = {{},
                                                       {"DUMP_TEXT"},
                                                       {"CHECK_TABLE"},
                                                       {"CHECK_SCRIPT"},
                                                       {"OTHER"},
                                                       {"image.rom"},
                                                       {"--HELP"},
                                                       {"-help"},
                                                       {"--versions"},
                                                       {""}};
  for (const auto& args : cases) {
    SCOPED_TRACE(testing::PrintToString(args));
    RunFolder f;
    f.make_folder("text");
    const ProcessResult r = f.run(args);
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "ERROR - no ROM args\n" + kTryHelp);
    EXPECT_FALSE(f.has("text/script.txt"));
  }
}

// First, whatever follows them: nothing else is looked at.
TEST(Driver, help_and_version_go_to_standard_output_and_succeed) {
  const std::string usage_start = "Usage: textdump DUMP_TEXT <rom image>\n";
  const std::pair<std::string, std::string> cases[] = {
      {"--help", usage_start}, {"-h", usage_start}, {"--version", "textdump 1.0.0\n"}};
  const std::vector<std::string> afters[] = {
      {}, {"image.rom"}, {"DUMP_TEXT", "image.rom", "x"}, {"--version"}};
  for (const auto& [option, out_start] : cases) {
    for (const std::vector<std::string>& after : afters) {
      SCOPED_TRACE(option + " " + testing::PrintToString(after));
      RunFolder f;
      f.make_folder("text");
      std::vector<std::string> args = {option};
      args.insert(args.end(), after.begin(), after.end());
      const ProcessResult r = f.run(args);
      EXPECT_EQ(r.exit_status, 0);
      EXPECT_EQ(r.out.substr(0, out_start.size()), out_start);
      EXPECT_EQ(r.err, "");
      EXPECT_FALSE(f.has("text/script.txt"));
      if (option != "--version") {
        for (const char* named :
             {"table/table_dump.txt", "text/script.txt", "CHECK_SCRIPT", "\n  1 ", "\n  255 "})
          EXPECT_NE(r.out.find(named), std::string::npos) << named;
      }
    }
  }
}

// Only the exact words run: any other is a mistake on the command line, found before the
// image is opened (missing.rom is never looked for), and nothing is read or written.
TEST(Driver, other_command_words_are_an_error_and_keep_an_existing_script) {
  const std::string words[] = {"dump_text",    "Dump_Text",    "DUMP",        "DUMP_TEXTS",
                               "DUMP_TEXT ",   " DUMP_TEXT",   "DUMP_TEXT\n", "",
                               "--HELP",       "-version",     "check_table", "CHECK_TABLE ",
                               "check_script", "CHECK_SCRIPTS"};
  for (const std::string& word : words) {
    for (const char* image : {"image.rom", "missing.rom"}) {
      SCOPED_TRACE("word '" + word + "', " + image);
      RunFolder f;
      f.make_text_folder_with_old_script();
      const ProcessResult r = f.run({word, image});
      EXPECT_EQ(r.exit_status, 255);
      EXPECT_EQ(r.out, "");  // no table is looked for
      EXPECT_EQ(r.err, "ERROR - unknown command word: " + word + "\n" + kTryHelp);
      EXPECT_EQ(f.script(), kOldScript);
    }
  }
  RunFolder f;
  EXPECT_EQ(f.run({"dump_text", "image.rom"}).exit_status, 255);
  EXPECT_FALSE(f.has("text"));
}

// Image names are taken byte for byte (UTF-8 on Windows too, whatever its code page).
TEST(Driver, any_image_name_is_read_alike) {
  RunFolder plain;
  plain.make_folder("text");
  const ProcessResult expected = plain.run({"DUMP_TEXT", "image.rom"});
  RunFolder f;
  f.make_folder("text");
  write_file(f / "ロム.bin", read_file(f / "image.rom"));
  const ProcessResult r = f.run({"DUMP_TEXT", "ロム.bin"});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, expected.out);
  EXPECT_EQ(r.err, expected.err);
  EXPECT_EQ(f.script(), plain.script());
}

// A stray argument is a mistake on the command line, found after the command word and
// before the image is opened (missing.rom is never looked for): nothing is read or written.
TEST(Driver, argument_after_the_image_is_an_error_and_keeps_an_existing_script) {
  for (const char* word : {"DUMP_TEXT", "CHECK_TABLE", "CHECK_SCRIPT"}) {
    for (const char* image : {"image.rom", "missing.rom"}) {
      SCOPED_TRACE(std::string(word) + " " + image);
      RunFolder f;
      f.make_text_folder_with_old_script();
      const ProcessResult r = f.run({word, image, "other.rom", "more"});
      EXPECT_EQ(r.exit_status, 255);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, "ERROR - unexpected argument: other.rom\n" + kTryHelp);
      EXPECT_EQ(f.script(), kOldScript);
      EXPECT_FALSE(f.has("text/script.txt.bak"));
    }
  }
  // The command word is checked first.
  RunFolder f;
  EXPECT_EQ(f.run({"DUMP", "image.rom", "x"}).err,
            "ERROR - unknown command word: DUMP\n" + kTryHelp);
}

// The image is checked after the command word, for every word, and nothing else is read
// or written: a run that went on would report the missing table. An image 512 bytes over
// whole banks carries a copier's header, which would shift every string.
TEST(Driver, unreadable_image_is_an_error_before_anything_else) {
  const std::string cannot_open = "ERROR - cannot open ROM: ";
  const std::string copier_header = "ERROR - ROM has a 512-byte copier header: ";
  std::vector<std::pair<std::string, std::string>> paths = {
      {"missing.rom", cannot_open},  {"no_folder/image.rom", cannot_open},
      {"image_folder", cannot_open}, {"text", cannot_open},
      {"ロム.bin", cannot_open},     {"headered.rom", copier_header},
      {"ヘッダ.smc", copier_header}};
#ifndef _WIN32
  if (geteuid() != 0) paths.push_back({"locked.rom", cannot_open});  // root reads any file
#endif
  for (const char* word : {"DUMP_TEXT", "CHECK_TABLE", "CHECK_SCRIPT"}) {
    for (const auto& [path, error] : paths) {
      SCOPED_TRACE(std::string(word) + " " + path);
      RunFolder f;
      f.make_text_folder_with_old_script();
      f.make_folder("image_folder");
      const std::string whole_banks = read_file(f / "image.rom");
      write_file(f / "headered.rom", std::string(512, '\0') + whole_banks);
      write_file(f / "ヘッダ.smc", std::string(512, '\0') + whole_banks.substr(0, 0x8000));
#ifndef _WIN32
      write_file(f / "locked.rom", std::string(16, '\xFF'));
      chmod((f / "locked.rom").c_str(), 0);
#endif
      const ProcessResult r = f.run({word, path});
      EXPECT_EQ(r.exit_status, 255);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, error + path + "\n");
      EXPECT_EQ(f.script(), kOldScript);
    }
  }
}

TEST(Driver, image_that_cannot_be_positioned_is_an_error) {
#ifdef _WIN32
  GTEST_SKIP() << "a FIFO is a POSIX file kind";
#else
  RunFolder f;
  f.make_text_folder_with_old_script();
  const std::string pipe = f / "image.pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  // Holding a write end lets the tool open the pipe without waiting; the guard lets go of
  // it after a while, so a tool that reads the pipe after all ends instead of hanging.
  const int writer = open(pipe.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  std::jthread guard([writer](std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    wake.wait_for(lock, stop, std::chrono::seconds(10), [] { return false; });
    close(writer);
  });
  const ProcessResult r = f.run({"DUMP_TEXT", "image.pipe"});
  guard.request_stop();
  EXPECT_EQ(r.exit_status, 255);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "ERROR - cannot open ROM: image.pipe\n");
  EXPECT_EQ(f.script(), kOldScript);
#endif
}

// The table is loaded, and its message written, before the script is created.
TEST(Driver, script_that_cannot_be_created_is_an_error_after_the_table) {
  struct Case {
    std::string name;
    bool table;
    std::string blocker;  // what stands where the script would go, if anything
    std::string out;
    std::string err = "ERROR - no TEXT dir\n";
  };
  const Case cases[] = {
      {"no text folder, no table", false, "", kTableMissing + "\n"},
      {"no text folder", true, "", ""},
      {"text is a file", true, "text", ""},
      {"script is a folder", false, "text/script.txt", kTableMissing + "\n",
       "ERROR - cannot write text//script.txt\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunFolder f;
    if (c.table) f.write_table("41=A\n");
    if (c.blocker == "text") write_file(f / "text", "not a folder");
    if (c.blocker == "text/script.txt") {
      f.make_folder("text");
      f.make_folder("text/script.txt");
    }
    const ProcessResult r = f.run({"DUMP_TEXT", "image.rom"});
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
    if (c.blocker.empty()) {
      EXPECT_FALSE(f.has("text"));  // never created by the tool
    }
  }
}

// The script is replaced, not rewritten, so the new one takes over the old one's rights.
TEST(Driver, replaced_script_keeps_the_access_rights_of_the_old_one) {
#ifdef _WIN32
  GTEST_SKIP() << "POSIX access rights";
#else
  for (const mode_t mode : {0600, 0640, 0664}) {
    SCOPED_TRACE(mode);
    RunFolder f;
    f.make_folder("text");
    ASSERT_EQ(f.run({"DUMP_TEXT", "image.rom"}).exit_status, 0);
    chmod((f / "text/script.txt").c_str(), mode);
    ASSERT_EQ(f.run({"DUMP_TEXT", "image.rom"}).exit_status, 0);
    ASSERT_TRUE(f.has("text/script.txt.bak"));  // replaced
    struct stat status {};
    ASSERT_EQ(stat((f / "text/script.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, mode);
  }
#endif
}

// A table that cannot be read is reported once, and the dump goes on with fallback forms.
TEST(Driver, table_is_read_from_the_table_folder_and_a_missing_one_is_reported) {
  ImageBuilder image;
  image.place(0x10, 0xA000, make_block({text_string("AB")}));  // a block of the fixed list
  struct Case {
    std::string name;
    std::optional<std::string> table;  // file contents
    bool table_is_folder;
    std::string out_start;
    std::string first_string;
  };
  const Case cases[] = {
      {"table present", "41=A\n42=B\n", false, "\n[DUMP_LAYER2]", "//AB<CODE FF>\r\n"},
      {"no table", std::nullopt, false, kTableMissing + "\n[DUMP_LAYER2]",
       "//<$41><$42><CODE FF>\r\n"},
      {"table is a folder", std::nullopt, true, kTableMissing + "\n[DUMP_LAYER2]",
       "//<$41><$42><CODE FF>\r\n"},
      // A table saved as UTF-16 holds no entry line that the dump can read; it says so first.
      {"table in UTF-16",
       "\xFF\xFE"
       "4\0"
       "1\0=\0A\0\n\0"s,
       false, "\n[TABLE] the file is UTF-16: save it as UTF-8\n[DUMP_LAYER2]",
       "//<$41><$42><CODE FF>\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunFolder f(image);
    f.make_folder("text");
    if (c.table) f.write_table(*c.table);
    if (c.table_is_folder) {
      f.make_folder("table");
      f.make_folder("table/table_dump.txt");
    }
    const ProcessResult r = f.run({"DUMP_TEXT", "image.rom"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.substr(0, c.out_start.size()), c.out_start);
    EXPECT_NE(r.out.find("\n[FILE] 10A000-10A005 [0]"), std::string::npos) << r.out;
    EXPECT_NE(f.script().find("\r\n\r\n" + c.first_string), std::string::npos) << f.script();
  }
}

// Past the image's end every byte reads 0xFF, so an empty image dumps like one of 0xFF.
TEST(Driver, image_without_text_gives_the_header_then_block_then_region_sections) {
  ImageBuilder null_index;  // every index entry names a record that holds bank 0, address 0
  null_index.place_at(0x1A0000, Bytes(2 * 279, 0x00)).place_at(0x198025, {0x00, 0x00, 0x00});
  struct Case {
    std::string name;
    ImageBuilder image;
    bool index_names_sentinel_block;
  };
  const Case cases[] = {
      {"2 MiB of 0xFF", ImageBuilder(), true},
      {"empty image", ImageBuilder(0), true},
      {"index naming no block", null_index, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunFolder f(c.image);
    f.make_folder("text");
    const BlankImageOutput expected = blank_image_output(c.index_names_sentinel_block);
    const ProcessResult r = f.run({"DUMP_TEXT", "image.rom"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.out, kTableMissing + expected.console + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(f.script(), expected.script);
  }
}

// The script a dump replaces becomes the backup, replacing an older one, and the dump is the
// original beside it. A script that is not a dump of the image is not replaced: nothing in it
// is lost. A run that fails leaves all three as they were.
TEST(Driver, replaced_script_becomes_the_backup_and_an_edited_or_failed_one_is_kept) {
  RunFolder f;
  f.make_folder("text");
  struct Step {
    std::string name;
    std::string edited;  // written over the script first, if not empty
    std::string image;
    int exit_status;
    std::string err;
    bool backup;  // afterwards
  };
  const std::string refused =
      "ERROR - text//script.txt differs from a fresh dump at line 1: run UPDATE_TEXT to keep "
      "its edits, or move it away to dump afresh\n";
  const Step steps[] = {
      {"first run: nothing to keep", "", "image.rom", 0, "", false},
      {"the dump again", "", "image.rom", 0, "", true},
      {"edited: kept", "edited once\r\n", "image.rom", 255, refused, true},
      {"failed run", "edited again\r\n", "missing.rom", 255,
       "ERROR - cannot open ROM: missing.rom\n", true},
  };
  ASSERT_EQ(f.run({"DUMP_TEXT", "image.rom"}).exit_status, 0);
  const std::string dumped = f.script();
  std::filesystem::remove(f / "text/script.txt");
  std::filesystem::remove(f / "text/script.txt.orig");
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (!step.edited.empty()) write_file(f / "text/script.txt", step.edited);
    const ProcessResult r = f.run({"DUMP_TEXT", step.image});
    EXPECT_EQ(r.exit_status, step.exit_status);
    EXPECT_EQ(r.err, step.err);
    EXPECT_EQ(f.script(), step.exit_status == 0 ? dumped : step.edited);
    EXPECT_EQ(read_file(f / "text/script.txt.orig"), dumped);
    EXPECT_EQ(f.has("text/script.txt.bak"), step.backup);
    if (step.backup) {
      EXPECT_EQ(read_file(f / "text/script.txt.bak"), dumped);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f / "text"), {}),
              step.backup ? 3 : 2);
  }
}

// A script kept elsewhere (in a repository, say) through a symbolic link is replaced there:
// the link stays, the file it names gets the new script, and its backup lies beside it.
TEST(Driver, script_that_is_a_link_to_a_file_is_replaced_where_it_points) {
#ifdef _WIN32
  GTEST_SKIP() << "symbolic links are followed on POSIX";
#else
  namespace fs = std::filesystem;
  RunFolder plain;
  plain.make_folder("text");
  ASSERT_EQ(plain.run({"DUMP_TEXT", "image.rom"}).exit_status, 0);
  RunFolder f;
  f.make_folder("text");
  f.make_folder("repo");
  write_file(f / "repo/script.txt", plain.script());
  fs::create_symlink("../repo/script.txt", f / "text/script.txt");
  for (int run = 0; run < 2; ++run) {
    const ProcessResult r = f.run({"DUMP_TEXT", "image.rom"});
    EXPECT_EQ(r.exit_status, 0);
    EXPECT_EQ(r.err, "");
    ASSERT_TRUE(fs::is_symlink(fs::symlink_status(f / "text/script.txt")));
    EXPECT_EQ(fs::read_symlink(f / "text/script.txt"), "../repo/script.txt");
    EXPECT_EQ(read_file(f / "repo/script.txt"), plain.script());
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(f / "repo/script.txt.bak")));
    EXPECT_EQ(read_file(f / "repo/script.txt.bak"), plain.script());
    EXPECT_EQ(std::distance(fs::directory_iterator(f / "repo"), {}), 2);
    EXPECT_EQ(read_file(f / "text/script.txt.orig"), plain.script());  // always in text/
  }
  // A link to no file is replaced by the script, as any other entry there.
  fs::remove(f / "repo/script.txt");
  fs::remove(f / "repo/script.txt.bak");
  EXPECT_EQ(f.run({"DUMP_TEXT", "image.rom"}).exit_status, 0);
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(f / "text/script.txt")));
  EXPECT_EQ(f.script(), plain.script());
#endif
}

// A file open for reading (the script, while CHECK_SCRIPT reads it) can be replaced meanwhile:
// on Windows it is opened with read, write and delete sharing.
TEST(Driver, file_being_read_can_be_replaced) {
  TempFolder f;
  write_file(f / "script.txt", kOldScript);
  write_file(f / "script.txt.tmp", "new script\r\n");
  const OwnedFile reading(open_to_read((f / "script.txt").c_str()));
  ASSERT_NE(reading, nullptr);
  EXPECT_TRUE(replace_file((f / "script.txt.tmp").c_str(), (f / "script.txt").c_str(),
                           (f / "script.txt.bak").c_str()));
  EXPECT_EQ(read_file(f / "script.txt"), "new script\r\n");
  EXPECT_EQ(read_file(f / "script.txt.bak"), kOldScript);
  char first = 0;
  EXPECT_EQ(std::fread(&first, 1, 1, reading.get()), 1u);  // the reader reads on
  EXPECT_EQ(first, 'o');
}

// Runs started together in one folder take turns: each exits 0 having put its whole script in
// place, and the folder is left with a whole script, a whole backup and a whole original.
TEST(Driver, runs_at_once_in_one_folder_leave_one_runs_whole_script) {
  ImageBuilder image;
  image.place(0x10, 0xA000, make_block({text_string("AB")}));
  RunFolder f(image);
  f.make_folder("text");
  ASSERT_EQ(f.run({"DUMP_TEXT", "image.rom"}).exit_status, 0);
  const std::string whole = f.script();
  // A pair takes a few milliseconds here, a second under Wine.
#ifdef _WIN32
  constexpr int kPairs = 4;
#else
  constexpr int kPairs = 12;
#endif
  for (int pair = 0; pair < kPairs; ++pair) {
    SCOPED_TRACE(pair);
    ProcessResult results[2];
    {
      std::jthread first([&] { results[0] = f.run({"DUMP_TEXT", "image.rom"}); });
      std::jthread second([&] { results[1] = f.run({"DUMP_TEXT", "image.rom"}); });
    }
    for (const ProcessResult& r : results) {
      EXPECT_EQ(r.exit_status, 0);
      EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(f.script(), whole);
    EXPECT_EQ(read_file(f / "text/script.txt.bak"), whole);
    EXPECT_EQ(read_file(f / "text/script.txt.orig"), whole);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f / "text"), {}), 3);
  }
}

#ifndef _WIN32
// Whether a process other than this one has `path` open.
bool opened_elsewhere(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path target = fs::canonical(path);
  const std::string self = std::to_string(getpid());
  std::error_code error;
  for (const fs::directory_entry& process : fs::directory_iterator("/proc", error)) {
    const std::string pid = process.path().filename().string();
    if (pid == self || pid.find_first_not_of("0123456789") != std::string::npos) continue;
    for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", error)) {
      if (fs::read_symlink(fd.path(), error) == target) return true;
    }
  }
  return false;
}
#endif

// A run that waited on a lock file that its holder deleted on the way out starts again on the
// file named there now: while a third run holds that one, it waits and writes nothing.
TEST(Driver, run_that_got_a_deleted_lock_file_waits_for_the_one_named_now) {
#ifdef _WIN32
  GTEST_SKIP() << "the lock file of flock, deleted by its holder, is POSIX";
#else
  RunFolder f;
  // A script with nothing to lose, saved with LF alone, so that it differs from the new one.
  f.make_folder("text");
  ASSERT_EQ(f.run({"DUMP_TEXT", "image.rom"}).exit_status, 0);
  std::string old_script;
  for (char c : f.script())
    if (c != '\r') old_script += c;
  write_file(f / "text/script.txt", old_script);
  const std::string lock = f / "text/script.txt.lock";
  const int first = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);  // this test
  ASSERT_GE(first, 0);
  ASSERT_EQ(flock(first, LOCK_EX), 0);
  std::atomic<bool> done = false;
  ProcessResult waiting;
  std::jthread run([&] {
    waiting = f.run({"DUMP_TEXT", "image.rom"});
    done = true;
  });
  // Once the run has the lock file open, it waits on it.
  for (int tries = 0; tries < 1000 && !opened_elsewhere(lock); ++tries)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  // The holder deletes the file and lets go; meanwhile a third run made a new one and holds it.
  ASSERT_EQ(unlink(lock.c_str()), 0);
  const int third = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  ASSERT_GE(third, 0);
  ASSERT_EQ(flock(third, LOCK_EX), 0);
  close(first);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(done);
  EXPECT_EQ(f.script(), old_script);
  close(third);
  run.join();
  EXPECT_EQ(waiting.exit_status, 0);
  EXPECT_NE(f.script(), old_script);
#endif
}

}  // namespace
