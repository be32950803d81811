#include "app/command_line.h"

#include <sys/stat.h>

#include <cstring>

#ifndef VELOR_VERSION
#define VELOR_VERSION "0.0"
#endif

namespace {

TCommandLine Refused(std::string message) {
    TCommandLine refused;
    refused.action = TCommandAction::Refuse;
    refused.message = std::move(message);
    return refused;
}

TCommandLine WithPath(const char* path) {
    struct stat status {};
    if (stat(path, &status) != 0)
        return Refused(std::string("velor-player: ") + path + ": no such file or folder");
    TCommandLine command;
    command.path = path;
    if (S_ISDIR(status.st_mode)) {
        command.kind = TPathKind::Folder;
        return command;
    }
    if (!S_ISREG(status.st_mode))
        return Refused(std::string("velor-player: ") + path +
                       ": neither a folder nor a recording file");
    command.kind = TPathKind::File;
    return command;
}

bool IsOption(const char* argument) {
    return argument[0] == '-' && argument[1] != '\0';
}

} // namespace

TCommandLine ParseCommandLine(int argc, const char* const* argv) {
    const char* path = nullptr;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (!optionsEnded && std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded &&
            (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0)) {
            TCommandLine help;
            help.action = TCommandAction::Help;
            return help;
        }
        if (!optionsEnded && std::strcmp(argument, "--version") == 0) {
            TCommandLine version;
            version.action = TCommandAction::Version;
            return version;
        }
        if (!optionsEnded && IsOption(argument))
            return Refused(std::string("velor-player: unknown option ") + argument +
                           " (see --help)");
        if (path)
            return Refused("velor-player: one folder or file at most (see --help)");
        path = argument;
    }
    return path ? WithPath(path) : TCommandLine{};
}

std::string UsageText(const char* programName) {
    const std::string name = programName && programName[0] ? programName : "velor-player";
    return "Usage: " + name +
           " [FOLDER | FILE.avi]\n"
           "Plays dash-camera recordings.\n\n"
           "  FOLDER      list the recordings of this folder\n"
           "  FILE.avi    list the recordings beside this file and play it\n"
           "  --help      show this text and end\n"
           "  --version   show the version and end\n\n"
           "Without an argument the first removable drive is listed.\n";
}

std::string VersionText() {
    return std::string("velor-player ") + VELOR_VERSION + "\n";
}
