#include "tools/velor-bench/bench_args.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool ParseSeconds(const std::string& text, double* seconds) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value > 0.0))
        return false;
    *seconds = value;
    return true;
}

} // namespace

std::optional<TBenchArgs> ParseBenchArgs(const std::vector<std::string>& arguments) {
    TBenchArgs args;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--headless") {
            args.headless = true;
        } else if (argument == "--seconds") {
            if (i + 1 >= arguments.size() || !ParseSeconds(arguments[i + 1], &args.seconds)) {
                std::fprintf(stderr, "velor-bench: --seconds needs a positive number\n");
                return std::nullopt;
            }
            ++i;
        } else if (!argument.empty() && argument[0] == '-') {
            std::fprintf(stderr, "velor-bench: unknown option %s\n", argument.c_str());
            return std::nullopt;
        } else if (args.file.empty()) {
            args.file = argument;
        } else {
            std::fprintf(stderr, "velor-bench: one recording only\n");
            return std::nullopt;
        }
    }
    if (args.file.empty()) {
        std::fprintf(stderr, "usage: velor-bench FILE [--seconds N] [--headless]\n");
        return std::nullopt;
    }
    return args;
}
