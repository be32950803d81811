// velor-probe split SOURCE TARGET_DIR: splits a two-camera recording with
// the code the split dialog runs and prints the two files it wrote.

#include <cstdio>

#include <nlohmann/json.hpp>

#include "export/clip_split.h"
#include "tools/velor-probe/probe_command.h"

namespace {

int ProbeSplit(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: velor-probe split SOURCE TARGET_DIR\n");
        return 1;
    }
    const std::string& source = arguments[0];
    const std::string& target = arguments[1];
    const TSplitResult result = Split(source, target);
    if (result != TSplitResult::Done) {
        std::fprintf(stderr, "velor-probe: %s: %s\n", source.c_str(), SplitResultText(result));
        return 1;
    }
    const TSplitNames names = SplitOutputNames(source, target);
    const nlohmann::json written = {{"front", names.front}, {"rear", names.rear}};
    std::printf("%s\n", written.dump().c_str());
    return 0;
}

[[maybe_unused]] const bool g_registered =
    RegisterProbeCommand({"split", "SOURCE TARGET_DIR", ProbeSplit});

} // namespace
