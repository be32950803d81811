#pragma once
// velor-probe subcommands register themselves here, one file each.

#include <string>
#include <vector>

struct TProbeCommand {
    const char* name;
    const char* usage;
    // Gets the arguments after the subcommand's name; returns the exit code.
    int (*run)(const std::vector<std::string>& arguments);
};

// Called from a static initialiser in each subcommand's file.
bool RegisterProbeCommand(const TProbeCommand& command);
const std::vector<TProbeCommand>& ProbeCommands();
