#include "tests/tools/tool_runner.h"

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

TToolRun RunProbe(const std::vector<std::string>& arguments) {
    TTempFolder scratch;
    std::string command = VELOR_PROBE_PATH;
    for (std::string argument : arguments) {
        for (std::size_t quote = 0; (quote = argument.find('\'', quote)) != std::string::npos;
             quote += 4)
            argument.replace(quote, 1, "'\\''");
        command += " '" + argument + "'";
    }
    command += " 2>" + scratch.File("err");
    TToolRun run;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe))
            run.out.append(buffer, read);
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::ifstream err(scratch.File("err"));
    run.err.assign(std::istreambuf_iterator<char>(err), {});
    return run;
}

std::string TProbeHome::Touch(const std::string& relative) const {
    const std::string path = m_card.File(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream{path};
    return path;
}
