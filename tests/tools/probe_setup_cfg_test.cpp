#include <filesystem>

#include <gtest/gtest.h>

#include "tests/tools/tool_runner.h"

using nlohmann::json;

namespace {

class ProbeSetupCfg : public TProbeHome, public ::testing::Test {
protected:
    json Probe(std::vector<std::string> arguments, int expectedExit = 0) {
        arguments.insert(arguments.begin(), {"setup-cfg", m_path});
        m_run = RunProbe(arguments);
        EXPECT_EQ(m_run.exitCode, expectedExit) << m_run.err;
        return m_run.Json();
    }

    std::string m_path = m_card.File("setup.cfg");
    TToolRun m_run;
};

} // namespace

// Where each setting lies in the file is the settings' own tests' business;
// here: that each comes out under its key, arrays as arrays, the cut-off
// setting under both its names, and the fields without a key by name.
TEST_F(ProbeSetupCfg, PrintsEveryStoredFieldOfTheLayout) {
    TSetupImage image("zx", 1, 2, 3);
    image.Set(268, 1).Set(280, 5).Set(468, 2).Set(300 + 92, 25).Set(300 + 56, 9);
    for (int i = 0; i < 6; ++i)
        image.Set(476 + 4 * static_cast<std::size_t>(i), i + 1);
    image.WriteTo(m_path);
    const json result = Probe({});
    EXPECT_EQ(result["settings"].size(), 29u);
    const json expected = {
        {"/crcOk", true},
        {"/model", "zx"},
        {"/layout", 1},
        {"/firmware", {1, 2, 3}},
        {"/settings/cutted_voltage", 7},
        {"/settings/cutoff_vol_time", 7},
        {"/settings/time_zone", 9},
        {"/settings/time_setting", {1, 2, 3, 4, 5, 6}},
        {"/recordingSoundSwitch", 1},
        {"/memoryShareUpper", 25},
    };
    for (const auto& [pointer, value] : expected.items())
        EXPECT_EQ(result.value(json::json_pointer(pointer), json()), value) << pointer;

    TSetupImage("QRV-2CAM").WriteTo(m_path);
    const json shortLayout = Probe({});
    EXPECT_EQ(shortLayout["layout"], 2);
    EXPECT_FALSE(shortLayout["settings"].contains("wifi"));
    EXPECT_TRUE(shortLayout["settings"].contains("overspeed_notice"));
}

TEST_F(ProbeSetupCfg, SetWritesTheFileAndPrintsItReadBack) {
    TSetupImage("ZX", 1).WriteTo(m_path);
    const json result =
        Probe({"--language", "japanese", "--set", "cutted_voltage=8", "--set", "recording_volume=0",
               "--set", "time_setting=7,6,5,4,3,2019", "--set", "memoryShareUpper=40"});
    EXPECT_EQ(result["settings"]["cutted_voltage"], 8);
    EXPECT_EQ(result["settings"]["recording_volume"], 0);
    EXPECT_EQ(result["recordingSoundSwitch"], 0);
    EXPECT_EQ(result["settings"]["time_setting"], json({7, 6, 5, 4, 3, 2019}));
    EXPECT_EQ(result["memoryShareUpper"], 40);
    const std::vector<std::uint8_t> bytes = TSetupImage::ReadFrom(m_path);
    EXPECT_TRUE(TSetupImage::CrcMatches(bytes));
    EXPECT_EQ(TSetupImage::At(bytes, 280), 5);
    EXPECT_EQ(TSetupImage::At(bytes, 468), 3);
}

TEST_F(ProbeSetupCfg, RefusesBadFilesAndBadSettingsLeavingTheFileUntouched) {
    Probe({}, 1);
    EXPECT_TRUE(m_run.Said("cannot be opened")) << m_run.err;
    EXPECT_FALSE(std::filesystem::exists(m_path));

    // Damaged and short files are the settings' own tests' business; a
    // refused setting leaves the file untouched.
    TSetupImage shortLayout("QRV-2CAM");
    shortLayout.WriteTo(m_path);
    for (const char* assignment :
         {"wifi=1", "no_such_key=1", "osd=x", "time_zone=1,2", "speakerSwitch=0"}) {
        Probe({"--set", assignment}, 1);
        EXPECT_FALSE(m_run.err.empty()) << assignment;
        EXPECT_EQ(TSetupImage::ReadFrom(m_path), shortLayout.Bytes()) << assignment;
    }
}
