#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/language/language_folder.h"
#include "tests/settings/setup_image.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_runner.h"

using nlohmann::json;

namespace {

// Runs the probe with a home, a resource folder and a card of its own.
class ProbeSetupCfg : public ::testing::Test {
protected:
    void SetUp() override { m_languages.Write("english", kTestModelList); }

    json Probe(std::vector<std::string> arguments, int expectedExit = 0) {
        arguments.insert(arguments.begin(), {"setup-cfg", m_path});
        arguments.insert(arguments.end(), {"--language", "english"});
        m_run = RunProbe(arguments);
        EXPECT_EQ(m_run.exitCode, expectedExit) << m_run.err;
        return json::parse(m_run.out, nullptr, false);
    }

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.Path()};
    TLanguageFolder m_languages;
    TTempFolder m_card;
    std::string m_path = m_card.File("setup.cfg");
    TToolRun m_run;
};

} // namespace

TEST_F(ProbeSetupCfg, PrintsEveryStoredFieldOfTheExtendedLayout) {
    TSetupImage image("zx", 1, 2, 3);
    image.Set(80, 70).Set(88, 30).Set(268, 1).Set(276, 0).Set(280, 5).Set(468, 2);
    image.Set(300 + 88, 1).Set(300 + 92, 25).Set(300 + 100, 15).Set(300 + 56, 9);
    for (int i = 0; i < 6; ++i)
        image.Set(476 + 4 * static_cast<std::size_t>(i), i + 1);
    image.WriteTo(m_path);
    json result = Probe({});
    ASSERT_FALSE(result.is_discarded()) << m_run.out;
    EXPECT_EQ(result["crcOk"], true);
    EXPECT_EQ(result["model"], "zx");
    EXPECT_EQ(result["layout"], 1);
    EXPECT_EQ(result["firmware"], json::parse("[1,2,3]"));
    const json& settings = result["settings"];
    EXPECT_EQ(settings.size(), 29u);
    EXPECT_EQ(settings["cutted_voltage"], 7);
    EXPECT_EQ(settings["cutoff_vol_time"], 7);
    EXPECT_EQ(settings["time_zone"], 9);
    EXPECT_EQ(settings["time_setting"], json::parse("[1,2,3,4,5,6]"));
    EXPECT_TRUE(settings.contains("wifi"));
    EXPECT_EQ(result["sensorBrightness"], 70);
    EXPECT_EQ(result["sensorColour"], 30);
    EXPECT_EQ(result["recordingSoundSwitch"], 1);
    EXPECT_EQ(result["speakerSwitch"], 0);
    EXPECT_EQ(result["memorySwitch"], 1);
    EXPECT_EQ(result["memoryShareUpper"], 25);
    EXPECT_EQ(result["memoryShareMiddle"], 15);
}

TEST_F(ProbeSetupCfg, TheShortLayoutListsOnlyWhatItStores) {
    TSetupImage("QRV-2CAM").Set(292 + 56, 4).WriteTo(m_path);
    json result = Probe({});
    EXPECT_EQ(result["layout"], 2);
    const json& settings = result["settings"];
    EXPECT_EQ(settings["time_zone"], 4);
    for (const char* absent : {"wifi", "night_revision", "time_setting", "adas_speed",
                               "viewer_time_apply", "forward_car_notify"})
        EXPECT_FALSE(settings.contains(absent)) << absent;
    EXPECT_TRUE(settings.contains("overspeed_notice"));
}

TEST_F(ProbeSetupCfg, SetWritesTheFileAndPrintsItReadBack) {
    TSetupImage("ZX", 1).WriteTo(m_path);
    json result = Probe({"--set", "cutted_voltage=8", "--set", "recording_volume=0", "--set",
                         "time_setting=7,6,5,4,3,2019", "--set", "memoryShareUpper=40"});
    ASSERT_FALSE(result.is_discarded()) << m_run.out;
    EXPECT_EQ(result["settings"]["cutted_voltage"], 8);
    EXPECT_EQ(result["settings"]["recording_volume"], 0);
    EXPECT_EQ(result["recordingSoundSwitch"], 0);
    EXPECT_EQ(result["settings"]["time_setting"], json::parse("[7,6,5,4,3,2019]"));
    EXPECT_EQ(result["memoryShareUpper"], 40);
    std::vector<std::uint8_t> bytes = TSetupImage::ReadFrom(m_path);
    EXPECT_TRUE(TSetupImage::CrcMatches(bytes));
    EXPECT_EQ(TSetupImage::At(bytes, 280), 5);
    EXPECT_EQ(TSetupImage::At(bytes, 468), 3);
}

TEST_F(ProbeSetupCfg, ResetUsesTheRecordsModel) {
    TSetupImage("pnta-fr").Set(292 + 20, 0).WriteTo(m_path);
    json known = Probe({"--reset"});
    EXPECT_EQ(known["settings"]["front_quality"], 2);
    EXPECT_EQ(known["settings"]["time_zone"], 9);
    EXPECT_EQ(known["settings"]["save_channel"], 1);
    EXPECT_EQ(known["memoryShareUpper"], 30);

    TSetupImage("NEW-CAM").WriteTo(m_path);
    json unknown = Probe({"--reset"});
    EXPECT_EQ(unknown["layout"], 1);
    EXPECT_EQ(unknown["settings"]["time_zone"], 0);
    EXPECT_EQ(unknown["settings"]["cutted_voltage"], 0);
}

TEST_F(ProbeSetupCfg, RefusesBadFilesAndBadSettingsLeavingTheFileUntouched) {
    Probe({}, 1);
    EXPECT_NE(m_run.err.find("cannot be opened"), std::string::npos) << m_run.err;
    EXPECT_FALSE(std::filesystem::exists(m_path));

    TSetupImage cut("ZX");
    cut.Bytes().resize(4000);
    cut.WriteTo(m_path);
    Probe({"--reset"}, 1);
    EXPECT_NE(m_run.err.find("shorter"), std::string::npos) << m_run.err;
    EXPECT_EQ(TSetupImage::ReadFrom(m_path), cut.Bytes());

    TSetupImage damaged("ZX");
    damaged.Bytes()[100] ^= 0x40;
    damaged.WriteTo(m_path);
    Probe({"--set", "osd=0"}, 1);
    EXPECT_NE(m_run.err.find("CRC"), std::string::npos) << m_run.err;
    EXPECT_EQ(TSetupImage::ReadFrom(m_path), damaged.Bytes());

    TSetupImage shortLayout("QRV-2CAM");
    shortLayout.WriteTo(m_path);
    for (const char* assignment : {"wifi=1", "no_such_key=1", "osd=x", "time_zone=1,2",
                                   "speakerSwitch=0"}) {
        Probe({"--set", assignment}, 1);
        EXPECT_FALSE(m_run.err.empty()) << assignment;
        EXPECT_EQ(TSetupImage::ReadFrom(m_path), shortLayout.Bytes()) << assignment;
    }
}
