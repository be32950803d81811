#include "tools/velor-bench/thread_cpu.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string ReadLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// utime + stime of /proc/self/task/<tid>/stat, in seconds. The name field
// may hold spaces and parentheses, so the numbers are read after its last ')'.
double ThreadSeconds(const std::string& stat) {
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0.0;
    std::istringstream fields(stat.substr(close + 1));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // Fields after the name: state is field 3; utime and stime are 14 and 15.
    for (int index = 3; index <= 15 && fields >> field; ++index) {
        if (index == 14)
            utime = std::strtoull(field.c_str(), nullptr, 10);
        if (index == 15)
            stime = std::strtoull(field.c_str(), nullptr, 10);
    }
    const long ticks = sysconf(_SC_CLK_TCK);
    return ticks > 0 ? static_cast<double>(utime + stime) / static_cast<double>(ticks) : 0.0;
}

} // namespace

TThreadCpu SampleThreadCpu() {
    TThreadCpu sample;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks)
        return sample;
    while (const dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.')
            continue;
        const std::string folder = std::string("/proc/self/task/") + entry->d_name;
        const std::string name = ReadLine(folder + "/comm");
        sample[name] += ThreadSeconds(ReadLine(folder + "/stat"));
    }
    closedir(tasks);
    return sample;
}

TThreadCpu ThreadCpuSince(const TThreadCpu& before, const TThreadCpu& after) {
    TThreadCpu spent;
    for (const auto& [name, seconds] : after) {
        const auto earlier = before.find(name);
        spent[name] = seconds - (earlier == before.end() ? 0.0 : earlier->second);
    }
    return spent;
}
