// What the parts of gatehouse_bench share: times and their medians, the
// programs measured run as child processes, and the verdicts they print.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace gh::bench {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d);
double Median(std::vector<double> values);

struct ChildRun {
    int status = -1;
    double ms = 0;
    long peakKb = 0;  // ru_maxrss of the child
    std::string out;  // standard output, when captured
};

// Runs args[0] (looked up on PATH) with `args` and waits for it; its
// standard output goes to `out` or to /dev/null.
ChildRun RunChild(const std::vector<std::string>& args, bool captureOutput);

// Whether `program` is an executable in a folder of PATH.
bool OnPath(const std::string& program);

const char* Verdict(bool pass);
// `value` through a printf format of one double.
std::string Format(const char* format, double value);

}  // namespace gh::bench
