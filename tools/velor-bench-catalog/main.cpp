// velor-bench-catalog [--runs N]: makes 10 000 empty recordings in 100
// nested folders of a temporary folder, times ScanFolder + sort + kind
// filter several times and prints the median and the spread as JSON.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "recordings/recording_catalog.h"

namespace {

constexpr int kTopFolders = 10;
constexpr int kFoldersPerTop = 9; // with the top ones: 100 folders
constexpr int kRecordings = 10000;
constexpr int kDefaultRuns = 9;
constexpr const char* kKindCodes[] = {"INF", "EVT", "MOE", "man", "tls", "xyz"};

struct TTree {
    std::string root;
    std::vector<std::string> folders;
};

bool MakeFolders(TTree* tree) {
    for (int top = 0; top < kTopFolders; ++top) {
        std::string folder = tree->root + "/DCIM" + std::to_string(top);
        if (::mkdir(folder.c_str(), 0755) != 0)
            return false;
        tree->folders.push_back(folder);
        // Each top folder holds a chain, so the tree is nested, not flat.
        for (int depth = 0; depth < kFoldersPerTop; ++depth) {
            folder += "/sub" + std::to_string(depth);
            if (::mkdir(folder.c_str(), 0755) != 0)
                return false;
            tree->folders.push_back(folder);
        }
    }
    return true;
}

// Recording times spread over the folders out of order, so the sort works.
std::string RecordingName(int index) {
    const int scrambled = (index * 7919) % kRecordings;
    char name[64];
    std::snprintf(name, sizeof name, "%s_F_%04d_2023%02d%02d-%02d%02d%02d.avi",
                  kKindCodes[index % 6], index % 10000, 1 + scrambled % 12, 1 + scrambled / 12 % 28,
                  scrambled / 336 % 24, scrambled / 60 % 60, scrambled % 60);
    return name;
}

bool MakeRecordings(const TTree& tree) {
    for (int i = 0; i < kRecordings; ++i) {
        const std::string path = tree.folders[static_cast<std::size_t>(i) % tree.folders.size()] +
                                 "/" + RecordingName(i);
        int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (descriptor < 0)
            return false;
        ::close(descriptor);
    }
    return true;
}

struct TRun {
    double milliseconds = 0;
    std::size_t entries = 0;
    std::size_t rows = 0;
};

TRun TimeOneRun(const std::string& root) {
    TKindFilter filter;
    filter.parking = false;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> entries;
    ScanFolder(root, &entries);
    SortRecordings(&entries);
    std::vector<std::string> rows = FilterRecordings(entries, filter);
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(end - start).count(), entries.size(),
            rows.size()};
}

int RunsFromArguments(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--runs")
        return std::max(1, std::atoi(argv[2]));
    return kDefaultRuns;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = RunsFromArguments(argc, argv);
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && base[0] ? base : "/tmp") + "/velor-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::fprintf(stderr, "velor-bench-catalog: no temporary folder\n");
        return 1;
    }
    TTree tree{pattern, {}};
    const bool made = MakeFolders(&tree) && MakeRecordings(tree);
    std::vector<TRun> results;
    if (made) {
        for (int i = 0; i < runs; ++i)
            results.push_back(TimeOneRun(tree.root));
    }
    std::error_code ignored;
    std::filesystem::remove_all(tree.root, ignored);
    if (!made) {
        std::fprintf(stderr, "velor-bench-catalog: could not make the recordings\n");
        return 1;
    }
    std::vector<double> times;
    for (const TRun& run : results)
        times.push_back(run.milliseconds);
    std::sort(times.begin(), times.end());
    std::printf("{\"recordings\":%d,\"folders\":%zu,\"runs\":%d,\"entries\":%zu,\"rows\":%zu,"
                "\"medianMs\":%.3f,\"minMs\":%.3f,\"maxMs\":%.3f}\n",
                kRecordings, tree.folders.size(), runs, results.front().entries,
                results.front().rows, times[times.size() / 2], times.front(), times.back());
    return 0;
}
