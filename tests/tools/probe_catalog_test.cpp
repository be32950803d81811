#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "tests/language/language_folder.h"
#include "tests/settings/setup_image.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/tool_runner.h"

using nlohmann::json;

namespace {

// A card with one recording of each kind in nested folders, a home and a
// resource folder of the test's own.
class ProbeCatalog : public ::testing::Test {
protected:
    void SetUp() override {
        // The preferences name no language, so the default one's file is read.
        m_languages.Write("japanese", kTestModelList);
        Touch("DCIM/2/MOE_F_0003_20230514-080200.avi");
        Touch("EVT_F_0002_20230514-080100.AVI");
        Touch("DCIM/1/INF_F_0001_20230514-080000.avi");
        Touch("xyz_F_0004_20230514-075900.avi");
        Touch("notes.txt");
    }

    void Touch(const std::string& relative) const {
        const std::string path = m_card.File(relative);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream{path};
    }

    json Probe(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "catalog");
        m_run = RunProbe(arguments);
        EXPECT_EQ(m_run.exitCode, 0) << m_run.err;
        return json::parse(m_run.out, nullptr, false);
    }

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.Path()};
    TLanguageFolder m_languages;
    TTempFolder m_card;
    TToolRun m_run;
};

} // namespace

TEST_F(ProbeCatalog, RowsInListOrderWithKindAndTime) {
    json result = Probe({m_card.Path()});
    ASSERT_FALSE(result.is_discarded()) << m_run.out;
    EXPECT_EQ(result["model"], nullptr);
    const json expected = json::array({
        {{"path", m_card.File("DCIM/1/INF_F_0001_20230514-080000.avi")},
         {"kind", "Normal"},
         {"time", "2023.05.14 08:00:00"}},
        {{"path", m_card.File("EVT_F_0002_20230514-080100.AVI")},
         {"kind", "Event"},
         {"time", "2023.05.14 08:01:00"}},
        {{"path", m_card.File("DCIM/2/MOE_F_0003_20230514-080200.avi")},
         {"kind", "Parking"},
         {"time", "2023.05.14 08:02:00"}},
    });
    EXPECT_EQ(result["rows"], expected);
}

TEST_F(ProbeCatalog, KindsChooseTheRows) {
    json result = Probe({m_card.Path(), "--kinds", "PN"});
    ASSERT_EQ(result["rows"].size(), 2u);
    EXPECT_EQ(result["rows"][0]["kind"], "Normal");
    EXPECT_EQ(result["rows"][1]["kind"], "Parking");
    EXPECT_EQ(Probe({m_card.Path(), "--kinds", "e"})["rows"].size(), 1u);
    EXPECT_EQ(Probe({m_card.Path(), "--kinds", ""})["rows"].size(), 0u);
    TToolRun bad = RunProbe({"catalog", m_card.Path(), "--kinds", "NX"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("--kinds"), std::string::npos) << bad.err;
}

TEST_F(ProbeCatalog, TheModelComesFromTheCardsSetupFileAndIsNotStored) {
    TSetupImage("QRV-2CAM").WriteTo(m_card.File("setup.cfg"));
    EXPECT_EQ(Probe({m_card.Path()})["model"], "QRV-2CAM");
    std::ifstream registry(m_home.File("Velor/registry.reg"));
    std::string text((std::istreambuf_iterator<char>(registry)), {});
    EXPECT_EQ(text.find("QRV-2CAM"), std::string::npos) << text;

    TSetupImage damaged("QRV-2CAM");
    damaged.Bytes()[500] ^= 1;
    damaged.WriteTo(m_card.File("setup.cfg"));
    EXPECT_EQ(Probe({m_card.Path()})["model"], nullptr);
}

TEST_F(ProbeCatalog, AFolderThatCannotBeListedFails) {
    TToolRun run = RunProbe({"catalog", m_card.File("missing")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot be listed"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(RunProbe({"catalog"}).exitCode, 1);
}
