#pragma once
// The command line of velor-bench.

#include <optional>
#include <string>
#include <vector>

struct TBenchArgs {
    std::string file;
    // Seconds of media to play; 0 plays the whole recording.
    double seconds = 0.0;
    bool headless = false;
};

// Nothing when the command line is wrong (the message is on stderr).
std::optional<TBenchArgs> ParseBenchArgs(const std::vector<std::string>& arguments);
