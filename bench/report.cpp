#include "report.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <thread>

namespace {

// Where the dump must stand against the I/O floor and in memory.
constexpr double kRatioTarget = 1.5;
constexpr double kRatioAim = 1.25;
constexpr long kPeakRssTargetKib = 8 * 1024;

std::string range_text(const Spread& spread) {
  char text[64];
  std::snprintf(text, sizeof text, "%7.2f [%.2f-%.2f]", spread.median, spread.low, spread.high);
  return text;
}

const char* verdict(bool met) {
  return met ? "met" : "MISSED";
}

// Extra milliseconds per extra MiB of script from one row to the next.
double ms_per_mib(double from_ms, double to_ms, long from_bytes, long to_bytes) {
  return (to_ms - from_ms) / (static_cast<double>(to_bytes - from_bytes) / (1 << 20));
}

}  // namespace

Spread spread_of(std::vector<double> samples) {
  Spread spread;
  if (samples.empty()) return spread;
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  spread.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
  spread.low = samples.front();
  spread.high = samples.back();
  return spread;
}

std::string machine_facts() {
  std::string model = "unknown processor";
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; std::getline(cpuinfo, line);) {
    if (line.rfind("model name", 0) == 0 && line.find(':') != std::string::npos) {
      model = line.substr(line.find(':') + 2);
      break;
    }
  }
  return model + ", " + std::to_string(std::thread::hardware_concurrency()) + " cores";
}

std::string load_average() {
  std::ifstream loadavg("/proc/loadavg");
  std::string one_minute = "unknown";
  loadavg >> one_minute;
  return one_minute;
}

void print_report(const std::vector<DensityRow>& rows) {
  std::printf("\nwall ms: median [min-max]; cpu ms: the child's own user + system time, median\n");
  std::printf("%-7s %8s %10s  %-24s %-24s %5s  %8s %8s %5s  %8s\n", "density", "strings",
              "script KiB", "dump wall", "I/O floor wall", "ratio", "dump cpu", "io cpu", "ratio",
              "peak KiB");
  for (const DensityRow& row : rows) {
    std::printf("%6dx %8d %10ld  %-24s %-24s %5.2f  %8.2f %8.2f %5.2f  %8ld\n", row.density,
                row.strings, row.script_bytes / 1024, range_text(row.tool_wall).c_str(),
                range_text(row.floor_wall).c_str(), row.tool_wall.median / row.floor_wall.median,
                row.tool_cpu.median, row.floor_cpu.median,
                row.tool_cpu.median / row.floor_cpu.median, row.peak_rss_kib);
  }
  if (rows.empty()) return;

  const DensityRow& first = rows.front();
  const double ratio = first.tool_wall.median / first.floor_wall.median;
  std::printf("\n%dx: dump / I/O floor = %.2f wall, %.2f cpu (target <= %.2f, aim %.2f): %s\n",
              first.density, ratio, first.tool_cpu.median / first.floor_cpu.median, kRatioTarget,
              kRatioAim, verdict(ratio <= kRatioTarget));
  if (first.peak_rss_kib < 0) {
    std::printf("peak resident memory: not measured, /usr/bin/time is missing (package `time`)\n");
  } else {
    std::printf(
        "peak resident memory of the dump (/usr/bin/time -f %%M): %ld KiB (target <= %ld): "
        "%s\n",
        first.peak_rss_kib, kPeakRssTargetKib, verdict(first.peak_rss_kib <= kPeakRssTargetKib));
  }
  // Linear cost shows as the same price per script MiB at every step.
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const DensityRow& from = rows[i - 1];
    const DensityRow& to = rows[i];
    auto step = [&](const Spread& a, const Spread& b) {
      return ms_per_mib(a.median, b.median, from.script_bytes, to.script_bytes);
    };
    std::printf(
        "%dx -> %dx: each further MiB of script costs the dump %.2f ms wall, %.2f ms cpu; "
        "the floor %.2f ms wall\n",
        from.density, to.density, step(from.tool_wall, to.tool_wall),
        step(from.tool_cpu, to.tool_cpu), step(from.floor_wall, to.floor_wall));
  }
}
