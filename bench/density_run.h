#pragma once

#include <filesystem>
#include <string>

#include "report.h"

// Builds the dense image of one string density with its table and an empty text/ in a folder
// of its own under `folder`, checks one dump of it, then times `runs` dumps against `runs` I/O
// floor runs (`self` re-run with --io-floor), alternating, and measures the dump's peak
// resident memory. Leaves the current folder there.
DensityRow measure_density(const std::filesystem::path& folder, int density, int runs,
                           const std::string& self);
