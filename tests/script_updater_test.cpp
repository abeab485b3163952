#include "script_update/script_updater.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Image {
  StringKind kind;
  std::vector<std::uint8_t> bytes;
  std::string rendering;  // as the dump writes it with the table A, B, [br], [end]
  int linear = 0x079007;  // and image offset 0x039007
};

struct Case {
  const char* name;
  std::string script;
  std::vector<Image> images;  // the strings the walk gives, in order
  std::string updated;        // "" when nothing is
};

const std::string kInserted = "//[079007 ~ 039007]\n#W16($39007)\n";
const std::string kCopy = "//[079007 ~ 039007]\n\n";

// What the lines around a string, and their line ends, become.
const Case kCases[] = {
    {"lf_script_keeps_lf",
     kInserted + "<$41>[end]\n\n\n",
     {{StringKind::kInserted, {0x41, 0xFF}, "A[end]\r\n\r\n\r\n"}},
     kInserted + "A[end]\n\n\n"},
    {"last_line_without_its_line_end",
     kInserted + "<$41>[end]",
     {{StringKind::kInserted, {0x41, 0xFF}, "A[end]\r\n\r\n\r\n"}},
     kInserted + "A[end]"},
    {"split_text_joined_and_new_line_breaks_take_the_scripts_line_end",
     kInserted + "A\nB<$FE>\nA[end]\n\n",
     {{StringKind::kInserted, {0x41, 0x42, 0xFE, 0x41, 0xFF}, "AB[br]\r\nA[end]\r\n\r\n\r\n"}},
     kInserted + "AB[br]\nA[end]\n\n"},
    {"text_after_the_end_code_kept",
     kInserted + "<$41>[end]  \n",
     {{StringKind::kInserted, {0x41, 0xFF}, "A[end]\r\n\r\n\r\n"}},
     ""},
    {"crlf_script",
     "//x\r\n" + kInserted + "<$41><$42>[end]\r\n",
     {{StringKind::kInserted, {0x41, 0x42, 0xFF}, "AB[end]\r\n\r\n\r\n"}},
     "//x\r\n" + kInserted + "AB[end]\r\n"},
    {"comment_copy_lines_each_after_slashes",
     kCopy + "//<$41>[br]\n//B[end]\n\n",
     {{StringKind::kCommentCopy, {0x41, 0xFE, 0x42, 0xFF}, "A[br]\r\nB[end]\r\n\r\n\r\n"}},
     kCopy + "//A[br]\n//B[end]\n\n"},
    // Nothing after the place where the script and the image part is updated, a comment copy
    // there neither, though comment copies are paired on their own.
    {"comment_copy_after_the_strings_parted_kept",
     kInserted + "<$41>[end]\n\n\n" + kCopy + "//<$41>[end]\n",
     {{StringKind::kInserted, {0x41, 0xFF}, "A[end]\r\n\r\n\r\n", 0x079100},
      {StringKind::kCommentCopy, {0x41, 0xFF}, "A[end]\r\n\r\n\r\n"}},
     ""},
    {"translation_kept",
     kInserted + "Bonjour[end]\n",
     {{StringKind::kInserted, {0x41, 0xFF}, "A[end]\r\n\r\n\r\n"}},
     ""},
};

class Updater : public testing::TestWithParam<Case> {};

TEST_P(Updater, renders_a_string_that_gives_the_images_bytes_back_in_the_scripts_line_ends) {
  const Case& c = GetParam();
  auto table = std::make_unique<TextTable>();
  auto renderings = std::make_unique<TokenRenderings>();
  table->set(0x41, "A");
  table->set(0x42, "B");
  table->set(0xFE, "[br]");
  table->set(0xFF, "[end]");
  renderings->build(*table);
  const StringEncoder encoder(*table, *renderings);
  std::string report;
  Report held(report);
  std::string updated;
  {
    ScriptSink out(updated);
    ScriptUpdater updater(c.script, std::nullopt, {}, encoder, held, out);
    for (const Image& image : c.images)
      updater.receive(
          {image.kind, image.linear, image.linear - 0x040000, image.bytes, image.rendering});
    updater.finish();
    if (!updater.changed()) updated = "unchanged";
  }
  EXPECT_EQ(updated, c.updated.empty() ? "unchanged" + c.script : c.updated);
}

INSTANTIATE_TEST_SUITE_P(Updates, Updater, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
