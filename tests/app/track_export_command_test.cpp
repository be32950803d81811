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

using Texts = std::vector<std::string>;

using TrackExportCommandTest = TAppWindowTest;

TEST_F(TrackExportCommandTest, ExportsTheFormatOfTheChosenFilterOrSaysWhyNot) {
    ASSERT_TRUE(LoadStringTable("english"));
    const auto text = [](const char* key) {
        std::string text;
        GetString(key, &text, nullptr);
        return text;
    };
    const auto exportTo = [](const std::string& recording, const std::string& target,
                             DWORD filter) {
        Texts said;
        StartRecordingSaveDialogs(target, filter);
        ExportRecordingTrack(nullptr, recording, [&](HWND, const char* text, const char*, UINT) {
            said.push_back(text);
            return IDOK;
        });
        StopRecordingSaveDialogs();
        return said;
    };
    const auto contents = [](const std::string& path) {
        std::ostringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    };
    velor::fixtures::RecordingOptions options;
    options.seconds = 2;
    options.gpsTrack.startLatitude = -33.8688;
    options.gpsTrack.startLongitude = -70.6693;
    TFixtureRecording recording(options, "EVT_REC_00_20260314_080412.avi");
    TTempFolder out;

    EXPECT_TRUE(exportTo(recording.Path(), out.File("trip.gpx"), 1).empty());
    ASSERT_EQ(RecordedSaveDialogs().size(), 1u);
    const TSaveDialogCall call = RecordedSaveDialogs()[0];
    EXPECT_EQ(call.proposed, "EVT_REC_00_20260314_080412");
    EXPECT_EQ(call.picker.title, text(ExportTrackTitleKey));
    EXPECT_EQ(call.picker.filter, (Texts{"GPX 1.1 (*.gpx)", "*.gpx", "KML 2.2 (*.kml)", "*.kml"}));
    EXPECT_NE(contents(out.File("trip.gpx")).find("lat=\"-33.86"), std::string::npos);
    EXPECT_TRUE(exportTo(recording.Path(), out.File("trip.kml"), 2).empty());
    EXPECT_NE(contents(out.File("trip.kml")).find(" -33.86"), std::string::npos);
    EXPECT_EQ(RecordedSaveDialogs()[0].picker.initialFolder, out.Path()) << "the last folder";
    EXPECT_TRUE(exportTo(recording.Path(), "", 1).empty()) << "cancelled";
    EXPECT_EQ(exportTo(recording.Path(), out.File("no/such/trip.gpx"), 1),
              Texts{text(ExportTrackFailedKey)});

    options.telemetry = false;
    TFixtureRecording withoutGps(options);
    EXPECT_EQ(exportTo(withoutGps.Path(), out.File("none.gpx"), 1), Texts{text(NoGpsFixKey)});
    EXPECT_TRUE(RecordedSaveDialogs().empty()) << "no dialog when there is nothing to export";
    EXPECT_FALSE(std::filesystem::exists(out.File("none.gpx")));
}
