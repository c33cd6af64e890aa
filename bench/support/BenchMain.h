// Peer comparisons for the benchmark programs. A program declares which of its benchmarks is
// measured against which peer; after the run it prints one line per pair:
//   ratio NAME MEASURED TARGET
// where MEASURED is our time divided by the peer's (CPU time per iteration, same run).
#pragma once

#include <string>

namespace bench {

struct PeerComparison {
  // Target is the bound the ratio should stay under, or "-" when only a report is asked for.
  PeerComparison(std::string name, std::string ours, std::string peer, std::string target = "-");
};

// A benchmark held to a time of its own instead of a peer: MEASURED is its CPU time per
// iteration divided by `seconds`, and the target is 1.
struct TimeLimit {
  TimeLimit(std::string name, std::string ours, double seconds);
};

// A ratio that is not of two times (a memory figure against a size, say), printed with the
// others after the run.
void ReportRatio(std::string name, double measured, std::string target);

}  // namespace bench
