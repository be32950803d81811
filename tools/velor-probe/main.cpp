// velor-probe: opens recordings, settings files and folders with the
// program's own code and prints what it finds as JSON.

#include <cstdio>
#include <cstring>

#include "tools/velor-probe/probe_command.h"

namespace {

std::vector<TProbeCommand>& Commands() {
    static std::vector<TProbeCommand> commands;
    return commands;
}

int Usage() {
    std::fprintf(stderr, "usage:\n");
    for (const TProbeCommand& command : Commands())
        std::fprintf(stderr, "  velor-probe %s %s\n", command.name, command.usage);
    return 1;
}

} // namespace

bool RegisterProbeCommand(const TProbeCommand& command) {
    Commands().push_back(command);
    return true;
}

const std::vector<TProbeCommand>& ProbeCommands() {
    return Commands();
}

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    for (const TProbeCommand& command : Commands()) {
        if (std::strcmp(command.name, argv[1]) != 0)
            continue;
        return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "velor-probe: unknown command \"%s\"\n", argv[1]);
    return Usage();
}
