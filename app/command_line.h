#pragma once
// What velor-player was asked to do on its command line.

#include <string>

enum class TCommandAction {
    Run,     // start the viewer (with `path` to load, when given)
    Help,    // print the usage and end
    Version, // print the version and end
    Refuse,  // print `message` on standard error and end with kUsageExitStatus
};

enum class TPathKind { None, Folder, File };

inline constexpr int kUsageExitStatus = 2;

struct TCommandLine {
    TCommandAction action = TCommandAction::Run;
    TPathKind kind = TPathKind::None;
    std::string path;    // as given
    std::string message; // why it was refused
};

// Reads the arguments; a path is checked here, before any window exists.
TCommandLine ParseCommandLine(int argc, const char* const* argv);

std::string UsageText(const char* programName);
std::string VersionText();
