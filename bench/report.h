#pragma once

#include <string>
#include <vector>

// Median and range of repeated timings, in milliseconds.
struct Spread {
  double median = 0;
  double low = 0;
  double high = 0;
};
Spread spread_of(std::vector<double> samples);

// The figures of one string density.
struct DensityRow {
  int density = 1;
  int strings = 0;
  long script_bytes = 0;
  Spread tool_wall, floor_wall, tool_cpu, floor_cpu;
  long peak_rss_kib = -1;  // -1: not measured
};

// The processor and core count, as far as the system tells.
std::string machine_facts();
// The one-minute load average: other work on the machine stretches the wall times.
std::string load_average();

// The table of all densities, then the targets against the first row and the cost of each
// further script byte.
void print_report(const std::vector<DensityRow>& rows);
