#pragma once
// Runs a command-line tool and collects what it printed.

#include <string>
#include <vector>

struct TToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `program` with `arguments` (no shell), waits for it to end.
TToolRun RunTool(const std::string& program, const std::vector<std::string>& arguments);
// The same for velor-probe of this build.
TToolRun RunProbe(const std::vector<std::string>& arguments);
