// textdump_bench [--runs N] [--folder DIR]: builds a large dense image at 1x, 2x and 4x string
// density and times, alternating, the full dump (the built textdump as a process) against the
// I/O floor (this program re-run with --io-floor: the same window loads and a script of the
// same size), then measures the dump's peak resident memory with /usr/bin/time.

#include <stdlib.h>  // mkdtemp

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "density_run.h"
#include "io_floor.h"
#include "report.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMinRuns = 5;
constexpr int kDensities[] = {1, 2, 4};

struct Options {
  int runs = 21;
  std::string folder;  // empty: a temporary folder, removed at the end
};

[[noreturn]] void usage() {
  std::fprintf(stderr, "usage: textdump_bench [--runs N] [--folder DIR]   (N >= %d)\n", kMinRuns);
  std::exit(2);
}

Options parse_options(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      options.runs = std::atoi(argv[++i]);
      if (options.runs < kMinRuns) usage();
    } else if (arg == "--folder" && i + 1 < argc) {
      options.folder = argv[++i];
    } else {
      usage();
    }
  }
  return options;
}

// --io-floor IMAGE SCRIPT SIZE OFFSET...: the floor process itself.
int io_floor_main(int argc, char** argv) {
  if (argc < 5) return 2;
  std::vector<long> loads;
  for (int i = 5; i < argc; ++i) loads.push_back(std::strtol(argv[i], nullptr, 10));
  return run_io_floor(argv[2], argv[3], std::strtol(argv[4], nullptr, 10), loads);
}

fs::path make_folder(const Options& options) {
  if (!options.folder.empty()) {
    fs::create_directories(options.folder);
    return fs::absolute(options.folder);
  }
  std::string pattern = (fs::temp_directory_path() / "textdump_bench.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder");
  return pattern;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--io-floor") == 0) return io_floor_main(argc, argv);
  const Options options = parse_options(argc, argv);
  try {
    const std::string self = fs::canonical("/proc/self/exe").string();
    const fs::path folder = make_folder(options);
    std::printf(
        "textdump_bench: %s\nmachine: %s, load average %s\nscratch folder: %s\n"
        "runs: %d of each, alternating\n\n",
        TEXTDUMP_EXE, machine_facts().c_str(), load_average().c_str(), folder.c_str(),
        options.runs);
    std::fflush(stdout);
    std::vector<DensityRow> rows;
    for (int density : kDensities) {
      rows.push_back(measure_density(folder, density, options.runs, self));
    }
    print_report(rows);
    std::printf("load average at the end: %s\n", load_average().c_str());
    fs::current_path(folder.parent_path());
    if (options.folder.empty()) fs::remove_all(folder);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "textdump_bench: %s\n", error.what());
    return 1;
  }
  return 0;
}
