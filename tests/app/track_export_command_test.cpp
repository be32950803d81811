// "Export GPS track…": the save dialog proposes the recording's base name
// with GPX and KML to choose from, the chosen filter decides the format, and
// a recording without a valid fix or a target that cannot be written is
// answered with its message.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/track_export_command.h"
#include "language/string_table.h"
#include "platform/message_box.h"
#include "platform/shell_dialogs.h"
#include "tests/app/app_test_support.h"
#include "tests/support/recording_fixture.h"

namespace {

std::string Contents(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string Text(const char* key) {
    std::string text;
    GetString(key, &text, nullptr);
    return text;
}

class TrackExportCommandTest : public TAppWindowTest {
protected:
    void TearDown() override { StopRecordingSaveDialogs(); }

    // Exports with the dialog answering `target` and `filter`; the messages
    // shown come back.
    std::vector<std::string> Export(const std::string& recording, const std::string& target,
                                    DWORD filter) {
        std::vector<std::string> said;
        StartRecordingSaveDialogs(target, filter);
        ExportRecordingTrack(nullptr, recording, [&](HWND, const char* text, const char*, UINT) {
            said.push_back(text);
            return IDOK;
        });
        StopRecordingSaveDialogs();
        return said;
    }
};

} // namespace

TEST_F(TrackExportCommandTest, WritesTheFormatOfTheChosenFilterOrSaysWhyNot) {
    ASSERT_TRUE(LoadStringTable("english"));
    velor::fixtures::RecordingOptions options;
    options.seconds = 2;
    options.gpsTrack.startLatitude = -33.8688;
    options.gpsTrack.startLongitude = -70.6693;
    TFixtureRecording recording(options, "EVT_REC_00_20260314_080412.avi");
    TTempFolder out;

    EXPECT_TRUE(Export(recording.Path(), out.File("trip.gpx"), 1).empty());
    const std::vector<TSaveDialogCall> calls = RecordedSaveDialogs();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].proposed, "EVT_REC_00_20260314_080412");
    EXPECT_EQ(calls[0].picker.title, Text(ExportTrackTitleKey));
    EXPECT_EQ(calls[0].picker.filter,
              (std::vector<std::string>{"GPX 1.1 (*.gpx)", "*.gpx", "KML 2.2 (*.kml)", "*.kml"}));
    const std::string gpx = Contents(out.File("trip.gpx"));
    EXPECT_NE(gpx.find("<gpx version=\"1.1\""), std::string::npos);
    EXPECT_NE(gpx.find("lat=\"-33.86"), std::string::npos);
    EXPECT_NE(gpx.find("lon=\"-70.66"), std::string::npos);

    EXPECT_TRUE(Export(recording.Path(), out.File("trip.kml"), 2).empty());
    EXPECT_NE(Contents(out.File("trip.kml")).find("<gx:Track>"), std::string::npos);
    EXPECT_EQ(RecordedSaveDialogs()[0].picker.initialFolder, out.Path()) << "the last folder";

    // A cancelled dialog writes nothing and says nothing.
    EXPECT_TRUE(Export(recording.Path(), "", 1).empty());

    EXPECT_EQ(Export(recording.Path(), out.File("no/such/folder/trip.gpx"), 1),
              std::vector<std::string>{Text(ExportTrackFailedKey)});

    options.telemetry = false;
    TFixtureRecording withoutGps(options);
    EXPECT_EQ(Export(withoutGps.Path(), out.File("none.gpx"), 1),
              std::vector<std::string>{Text(NoGpsFixKey)});
    EXPECT_TRUE(RecordedSaveDialogs().empty()) << "no dialog when there is nothing to export";
    EXPECT_FALSE(std::filesystem::exists(out.File("none.gpx")));
}
