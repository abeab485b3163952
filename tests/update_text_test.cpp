// UPDATE_TEXT on the sample image, as a translator meets it: a script dumped while the table
// lacked codes, edited and saved with LF alone, then brought up to date once the table has them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/expected_text.h"
#include "support/fault_injection.h"
#include "support/process.h"

namespace {

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
    lines.push_back(text.substr(at, end - at));
  lines.push_back(text.substr(at));
  return lines;
}

std::string join_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? "\n" : "") + lines[i];
  return text;
}

// The table without the lines of the codes 65 to 69 (e to i): the dump writes them by value.
std::string table_lacking_e_to_i(const std::string& table) {
  std::vector<std::string> kept;
  for (const std::string& line : split_lines(table))
    if (!(line.size() > 3 && line[0] == '6' && line[1] >= '5' && line[1] <= '9' && line[2] == '='))
      kept.push_back(line);
  return join_lines(kept);
}

TEST(UpdateText, keeps_the_edits_and_the_notes_and_renders_every_unedited_string_anew) {
#ifndef SAMPLE_MAKER_EXE
  GTEST_SKIP() << "the sample image maker is not built";
#else
  TempFolder folder;
  ASSERT_EQ(run_process(SAMPLE_MAKER_EXE, {folder.path()}, folder.path()).exit_status, 0);
  const std::string table = read_file(folder / "table/table_dump.txt");
  ASSERT_EQ(run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, folder.path()).exit_status, 0);
  const std::string fresh = lf_only(read_file(folder / "text/script.txt"));

  write_file(folder / "table/table_dump.txt", table_lacking_e_to_i(table));
  ASSERT_EQ(run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, folder.path()).exit_status, 0);
  std::vector<std::string> lines = split_lines(lf_only(read_file(folder / "text/script.txt")));
  std::vector<std::string> expected = split_lines(fresh);
  ASSERT_EQ(lines.size(), expected.size());

  // Three strings of one line translated, one given with the value of its first character (which
  // still gives the image's bytes, so it is rendered anew like an unedited one), and a note.
  int translated = 0;
  bool by_value = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const bool text = !line.empty() && line[0] != '#' && line[0] != '/';
    if (!text || line.find("<$65>") == std::string::npos) continue;
    if (!by_value && line[0] == 'M') {
      lines[i] = "<$4D>" + line.substr(1);
      by_value = true;
    } else if (translated < 3 && lines[i - 1].empty() && lines[i + 1].empty()) {  // one line
      lines[i] = expected[i] = "Traduit " + std::to_string(++translated) + "[end]";
    }
  }
  ASSERT_TRUE(by_value);
  const std::size_t note_at = 40;
  ASSERT_TRUE(lines[note_at].empty());
  lines.insert(lines.begin() + note_at, "// note: the tone is formal here");
  expected.insert(expected.begin() + note_at, lines[note_at]);
  const std::string edited = join_lines(lines);
  write_file(folder / "text/script.txt", edited);

  write_file(folder / "table/table_dump.txt", table);
  const ProcessResult update =
      run_process(TEXTDUMP_EXE, {"UPDATE_TEXT", "sample.rom"}, folder.path());
  EXPECT_EQ(update.exit_status, 0);
  EXPECT_EQ(update.err, "");
  EXPECT_EQ(update.out,
            "\n[SUMMARY] 59 strings: 45 updated, 11 unchanged, 3 kept; 32 comments updated\n");
  EXPECT_EQ(read_file(folder / "text/script.txt"), join_lines(expected));
  EXPECT_EQ(read_file(folder / "text/script.txt.bak"), edited);

  // Up to date: a second update changes nothing, and leaves the backup alone.
  const ProcessResult again =
      run_process(TEXTDUMP_EXE, {"UPDATE_TEXT", "sample.rom"}, folder.path());
  EXPECT_EQ(again.out,
            "\n[SUMMARY] 59 strings: 0 updated, 56 unchanged, 3 kept; 0 comments updated\n");
  EXPECT_EQ(read_file(folder / "text/script.txt.bak"), edited);
#endif
}

// The table corrected (e becomes é) and given a text of two characters (th) that the
// encoder now takes for the two codes: the unedited strings no longer give the image's bytes
// back, yet the original tells them from the translator's. A dump then keeps the script until
// nothing in it would be lost.
TEST(UpdateText, with_the_original_every_unedited_string_follows_a_changed_table) {
#ifndef SAMPLE_MAKER_EXE
  GTEST_SKIP() << "the sample image maker is not built";
#else
  TempFolder folder;
  ASSERT_EQ(run_process(SAMPLE_MAKER_EXE, {folder.path()}, folder.path()).exit_status, 0);
  const auto run = [&](const char* command) {
    return run_process(TEXTDUMP_EXE, {command, "sample.rom"}, folder.path());
  };
  const std::string table = read_file(folder / "table/table_dump.txt");
  std::string changed_table = table;
  changed_table.replace(changed_table.find("\n65=e\n"), 6, "\n65=\xC3\xA9\n");
  changed_table += "7E=th\n";
  write_file(folder / "table/table_dump.txt", changed_table);
  ASSERT_EQ(run("DUMP_TEXT").exit_status, 0);
  const std::string fresh = read_file(folder / "text/script.txt");
  write_file(folder / "table/table_dump.txt", table);
  ASSERT_EQ(run("DUMP_TEXT").exit_status, 0);
  const std::string unedited = read_file(folder / "text/script.txt");

  // Without the original, a dump would lose the strings that no longer give their bytes back.
  write_file(folder / "table/table_dump.txt", changed_table);
  std::filesystem::rename(folder / "text/script.txt.orig", folder / "orig");
  const ProcessResult refused = run("DUMP_TEXT");
  EXPECT_EQ(refused.exit_status, 255);
  EXPECT_TRUE(
      refused.err.starts_with("ERROR - text//script.txt differs from a fresh dump at line "))
      << refused.err;
  std::filesystem::rename(folder / "orig", folder / "text/script.txt.orig");

  // Three strings of one line translated, and a note after the first.
  std::vector<std::string> lines = split_lines(unedited);
  std::vector<std::string> expected = split_lines(fresh);
  ASSERT_EQ(lines.size(), expected.size());
  std::vector<std::size_t> translated;
  for (std::size_t i = 1; i + 1 < lines.size() && translated.size() < 3; ++i) {
    const bool text = lines[i] != "\r" && lines[i][0] != '#' && lines[i][0] != '/';
    if (text && lines[i - 1] == "\r" && lines[i + 1] == "\r") {
      translated.push_back(i);
      lines[i] = expected[i] = "Traduit " + std::to_string(translated.size()) + "[end]\r";
    }
  }
  ASSERT_EQ(translated.size(), 3u);
  lines.insert(lines.begin() + translated[0] + 2, "// note: the tone is formal here\r");
  expected.insert(expected.begin() + translated[0] + 2, lines[translated[0] + 2]);
  const std::string edited = join_lines(lines);
  write_file(folder / "text/script.txt", edited);

  // An update killed after it put the new original in place, before the script: the next one
  // still keeps every edit.
  if (can_inject_faults()) {
    run_process(
        "/bin/sh",
        {"-c", with_fault("", "link:signal=SIGKILL:when=1") + "\"$0\" UPDATE_TEXT sample.rom",
         TEXTDUMP_EXE},
        folder.path());
    EXPECT_EQ(read_file(folder / "text/script.txt"), edited);
    EXPECT_EQ(read_file(folder / "text/script.txt.orig"), fresh);
    EXPECT_EQ(run("UPDATE_TEXT").exit_status, 0);
    const std::string kept = read_file(folder / "text/script.txt");
    for (std::size_t line : translated) EXPECT_NE(kept.find(lines[line]), std::string::npos);
    EXPECT_NE(kept.find(lines[translated[0] + 2]), std::string::npos);
    write_file(folder / "text/script.txt", edited);
    write_file(folder / "text/script.txt.orig", unedited);
    std::filesystem::remove(folder / "text/script.txt.bak");
  }

  const ProcessResult update = run("UPDATE_TEXT");
  EXPECT_EQ(update.exit_status, 0);
  EXPECT_EQ(update.out,
            "\n[SUMMARY] 59 strings: 38 updated, 18 unchanged, 3 kept; 25 comments updated\n");
  EXPECT_EQ(read_file(folder / "text/script.txt"), join_lines(expected));
  EXPECT_EQ(read_file(folder / "text/script.txt.bak"), edited);
  EXPECT_EQ(read_file(folder / "text/script.txt.orig"), fresh);

  // A dump now would lose the translations: it writes nothing.
  const ProcessResult dump = run("DUMP_TEXT");
  EXPECT_EQ(dump.exit_status, 255);
  EXPECT_EQ(
      dump.err,
      "ERROR - text//script.txt differs from a fresh dump at line 29: run UPDATE_TEXT to keep "
      "its edits, or move it away to dump afresh\n");
  EXPECT_EQ(read_file(folder / "text/script.txt"), join_lines(expected));
  EXPECT_EQ(read_file(folder / "text/script.txt.bak"), edited);
  EXPECT_EQ(read_file(folder / "text/script.txt.orig"), fresh);
#endif
}

// An update holds the script from before it reads it until its own is in place: a dump
// started meanwhile waits for it to end, then replaces the updated script.
TEST(UpdateText, dump_started_during_an_update_waits_for_it) {
#ifndef SAMPLE_MAKER_EXE
  GTEST_SKIP() << "the sample image maker is not built";
#else
  if (!can_inject_faults()) GTEST_SKIP() << "no strace to hold the update at its image read";
  TempFolder folder;
  ASSERT_EQ(run_process(SAMPLE_MAKER_EXE, {folder.path()}, folder.path()).exit_status, 0);
  ASSERT_EQ(run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, folder.path()).exit_status, 0);
  const std::string fresh = read_file(folder / "text/script.txt");
  std::string by_value = fresh;  // an edit that still gives the image's bytes
  by_value.replace(by_value.find("Maybe tomorrow."), 5, "Mayb<$65>");
  write_file(folder / "text/script.txt", by_value);

  // Its read of the file index, once it holds the script, takes two seconds.
  using Clock = std::chrono::steady_clock;
  ProcessResult update;
  std::jthread updating([&] {
    update = run_process("/bin/sh",
                         {"-c",
                          with_fault("sample.rom", "read:delay_enter=2000000:when=2") +
                              "\"$0\" UPDATE_TEXT sample.rom",
                          TEXTDUMP_EXE},
                         folder.path());
  });
  const auto give_up = Clock::now() + std::chrono::seconds(20);
  while (!file_exists(folder / "text/script.txt.tmp") && Clock::now() < give_up)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const Clock::time_point dump_started = Clock::now();
  const ProcessResult dump = run_process(TEXTDUMP_EXE, {"DUMP_TEXT", "sample.rom"}, folder.path());
  const Clock::duration dump_took = Clock::now() - dump_started;
  updating.join();

  EXPECT_EQ(update.exit_status, 0);
  EXPECT_EQ(dump.exit_status, 0);
  EXPECT_GE(dump_took, std::chrono::seconds(1));  // it waited; alone it takes milliseconds
  EXPECT_EQ(read_file(folder / "text/script.txt"), fresh);
  EXPECT_EQ(read_file(folder / "text/script.txt.bak"), fresh);  // the update's
#endif
}

}  // namespace
