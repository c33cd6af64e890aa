#include "BenchMain.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <vector>

namespace bench {
namespace {

struct Pair {
  std::string name, ours, peer, target;
};

std::vector<Pair>& Pairs() {
  static std::vector<Pair> pairs;
  return pairs;
}

struct Limit {
  std::string name, ours;
  double seconds;
};

std::vector<Limit>& Limits() {
  static std::vector<Limit> limits;
  return limits;
}

struct Measured {
  std::string name;
  double value;
  std::string target;
};

std::vector<Measured>& Reported() {
  static std::vector<Measured> reported;
  return reported;
}

}  // namespace

// Keeps the console output and remembers each benchmark's CPU time per iteration.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: the ratio lines are picked out of the output by scripts.
  CollectingReporter() : ConsoleReporter(OO_Tabular) {}

  std::map<std::string, double> cpuTime;
  std::map<std::string, double> cpuSeconds;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.iterations <= 0) continue;
      cpuTime[run.benchmark_name()] = run.GetAdjustedCPUTime();
      cpuSeconds[run.benchmark_name()] =
          run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

PeerComparison::PeerComparison(std::string name, std::string ours, std::string peer,
                               std::string target) {
  Pairs().push_back({std::move(name), std::move(ours), std::move(peer), std::move(target)});
}

TimeLimit::TimeLimit(std::string name, std::string ours, double seconds) {
  Limits().push_back({std::move(name), std::move(ours), seconds});
}

void ReportRatio(std::string name, double measured, std::string target) {
  Reported().push_back({std::move(name), measured, std::move(target)});
}

}  // namespace bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  for (const bench::Pair& pair : bench::Pairs()) {
    auto ours = reporter.cpuTime.find(pair.ours);
    auto peer = reporter.cpuTime.find(pair.peer);
    if (ours == reporter.cpuTime.end() || peer == reporter.cpuTime.end() || peer->second <= 0)
      continue;
    std::printf("ratio %s %.3f %s\n", pair.name.c_str(), ours->second / peer->second,
                pair.target.c_str());
  }
  for (const bench::Limit& limit : bench::Limits()) {
    auto ours = reporter.cpuSeconds.find(limit.ours);
    if (ours == reporter.cpuSeconds.end()) continue;
    std::printf("ratio %s %.3f 1\n", limit.name.c_str(), ours->second / limit.seconds);
  }
  for (const bench::Measured& m : bench::Reported())
    std::printf("ratio %s %.3f %s\n", m.name.c_str(), m.value, m.target.c_str());
  return 0;
}
