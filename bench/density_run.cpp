#include "density_run.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "child_process.h"
#include "dense_image.h"
#include "dense_table.h"

namespace {

namespace fs = std::filesystem;

constexpr char kImageName[] = "dense.rom";
constexpr char kScriptPath[] = "text/script.txt";
constexpr char kTimePath[] = "/usr/bin/time";

void write_bytes(const fs::path& path, const char* data, std::size_t size) {
  std::ofstream file(path, std::ios::binary);
  file.write(data, static_cast<std::streamsize>(size));
  if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string read_text(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

long count_of(const std::string& text, const std::string& what) {
  long count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// One untimed dump whose output proves the image well-formed: every block dumped without a
// warning, every string written. Returns the script's size.
long checked_dump(const std::string& tool, const DenseImage& image) {
  const ChildRun run = run_child({tool, "DUMP_TEXT", kImageName}, "console.txt");
  if (run.exit_status != 0) throw std::runtime_error("the dump failed");
  const std::string console = read_text("console.txt");
  const std::string script = read_text(kScriptPath);
  const bool sound = count_of(console, "\n[FILE] ") == image.blocks &&
                     count_of(console, "FAIL-SAFE") == 0 &&
                     count_of(script, "\r\n#WRITEINDEX(") == image.strings - image.blocks &&
                     count_of(script, "\r\n#W16(") == image.region_strings;
  if (!sound) throw std::runtime_error("the dump of the dense image is not what it holds");
  return static_cast<long>(script.size());
}

ChildRun timed(const std::vector<std::string>& args) {
  const ChildRun run = run_child(args, "/dev/null");
  if (run.exit_status != 0) throw std::runtime_error("a timed run failed: " + args[0]);
  return run;
}

// Peak resident KiB of one dump as /usr/bin/time sees it (the parent's own usage would count
// the parent's pages); -1 without /usr/bin/time.
long peak_rss_kib(const std::string& tool) {
  if (access(kTimePath, X_OK) != 0) return -1;
  const ChildRun run = run_child(
      {kTimePath, "-f", "%M", "-o", "peak_rss.txt", tool, "DUMP_TEXT", kImageName}, "/dev/null");
  if (run.exit_status != 0) throw std::runtime_error("the dump under /usr/bin/time failed");
  return std::atol(read_text("peak_rss.txt").c_str());
}

}  // namespace

DensityRow measure_density(const fs::path& folder, int density, int runs, const std::string& self) {
  const std::string tool = TEXTDUMP_EXE;
  const fs::path here = folder / ("density-" + std::to_string(density) + "x");
  fs::create_directories(here / "table");
  fs::create_directories(here / "text");
  DensityRow row;
  row.density = density;
  std::vector<long> loads;
  {
    const DenseImage image = make_dense_image(density);
    write_bytes(here / kImageName, reinterpret_cast<const char*>(image.bytes.data()),
                image.bytes.size());
    const std::string table = dense_table_text();
    write_bytes(here / "table" / "table_dump.txt", table.data(), table.size());
    fs::current_path(here);
    row.script_bytes = checked_dump(tool, image);
    row.strings = image.strings;
    loads = image.window_loads;
    std::printf("%dx: %d blocks, %d strings (%d written twice), %zu window loads, script %ld B\n",
                density, image.blocks, image.strings, image.region_strings, loads.size(),
                row.script_bytes);
    std::fflush(stdout);
  }

  const std::vector<std::string> dump = {tool, "DUMP_TEXT", kImageName};
  std::vector<std::string> floor = {self, "--io-floor", kImageName, kScriptPath,
                                    std::to_string(row.script_bytes)};
  for (long offset : loads) floor.push_back(std::to_string(offset));

  timed(dump);  // warm-up: both start from the same caches
  timed(floor);
  std::vector<double> tool_wall, floor_wall, tool_cpu, floor_cpu;
  auto sample = [](const std::vector<std::string>& args, std::vector<double>& wall,
                   std::vector<double>& cpu) {
    const ChildRun run = timed(args);
    wall.push_back(run.wall_ms);
    cpu.push_back(run.cpu_ms);
  };
  for (int i = 0; i < runs; ++i) {  // alternating, and each goes first half of the time
    if (i % 2 == 0) sample(dump, tool_wall, tool_cpu);
    sample(floor, floor_wall, floor_cpu);
    if (i % 2 == 1) sample(dump, tool_wall, tool_cpu);
  }
  row.tool_wall = spread_of(tool_wall);
  row.floor_wall = spread_of(floor_wall);
  row.tool_cpu = spread_of(tool_cpu);
  row.floor_cpu = spread_of(floor_cpu);
  row.peak_rss_kib = peak_rss_kib(tool);
  return row;
}
