#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "tests/tools/tool_runner.h"

using nlohmann::json;

namespace {

// A card with one recording of each kind in nested folders, one of no kind
// and a file that is no recording.
class ProbeCatalog : public TProbeHome, public ::testing::Test {
protected:
    ProbeCatalog() {
        for (const char* name :
             {"DCIM/2/MOE_F_0003_20230514-080200.avi", "EVT_F_0002_20230514-080100.AVI",
              "DCIM/1/INF_F_0001_20230514-080000.avi", "xyz_F_0004_20230514-075900.avi",
              "notes.txt"})
            Touch(name);
    }

    json Probe(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"catalog", m_card.Path()});
        const TToolRun run = RunProbe(arguments);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return run.Json();
    }
};

} // namespace

TEST_F(ProbeCatalog, RowsInListOrderWithKindAndTime) {
    const json result = Probe({});
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
    // Kind letters in any case choose the rows.
    const json events = Probe({"--kinds", "e"})["rows"];
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0]["kind"], "Event");
}

TEST_F(ProbeCatalog, TheModelComesFromTheCardsSetupFileAndIsNotStored) {
    TSetupImage("QRV-2CAM").WriteTo(m_card.File("setup.cfg"));
    EXPECT_EQ(Probe({})["model"], "QRV-2CAM");
    std::ifstream registry(m_home.File("Velor/registry.reg"));
    const std::string text((std::istreambuf_iterator<char>(registry)), {});
    EXPECT_EQ(text.find("QRV-2CAM"), std::string::npos) << text;

    TSetupImage damaged("QRV-2CAM");
    damaged.Bytes()[500] ^= 1;
    damaged.WriteTo(m_card.File("setup.cfg"));
    EXPECT_EQ(Probe({})["model"], nullptr);
}

TEST_F(ProbeCatalog, AFolderThatCannotBeListedFails) {
    const TToolRun run = RunProbe({"catalog", m_card.File("missing")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.Said("cannot be listed")) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(RunProbe({"catalog"}).exitCode, 1);
    EXPECT_EQ(RunProbe({"catalog", m_card.Path(), "--kinds", "NX"}).exitCode, 1);
}
