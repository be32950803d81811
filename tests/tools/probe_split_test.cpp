#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using nlohmann::json;
using velor::fixtures::RecordingOptions;

TEST(ProbeSplit, SplitsAndNamesBothFiles) {
    RecordingOptions options;
    options.seconds = 2;
    TFixtureRecording recording(options);
    const std::string folder = recording.Folder().File("split");
    TToolRun run = RunProbe({"split", recording.Path(), folder});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const json written = json::parse(run.out, nullptr, false);
    ASSERT_FALSE(written.is_discarded()) << run.out;
    EXPECT_EQ(written, (json{{"front", folder + "/F_NOR_20260101_120000_F.avi"},
                             {"rear", folder + "/R_NOR_20260101_120000_F.avi"}}));
    EXPECT_TRUE(std::filesystem::exists(written["front"].get<std::string>()));
    EXPECT_TRUE(std::filesystem::exists(written["rear"].get<std::string>()));
}
