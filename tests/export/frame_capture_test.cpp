// Capturing the shown frames into JPEG files (names, sizes, what ends the
// loop, what is reported, the position printing takes from telemetry), and
// printing them: rendered to a PDF printer and read back with the PDF tools,
// as text with its positions and as a raster.

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>

#include "engine/ffmpeg.h"
#include "export/frame_capture.h"
#include "export/frame_print.h"
#include "platform/printing.h"
#include "recordings/telemetry.h"
#include "tests/export/decoded_frames.h"
#include "tests/ui/ui_test_support.h"

namespace {

using velor::fixtures::VideoCodec;

std::tm CaptureTime() {
    std::tm at{};
    strptime("2018-10-10 10:11:12", "%Y-%m-%d %H:%M:%S", &at);
    return at;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// The frame number and channel a captured picture shows.
std::pair<int, int> Shows(const TPictureFile& picture) {
    return PatternIn(picture, 0, 0, picture.width, picture.height);
}

class FrameCapture : public ::testing::TestWithParam<VideoCodec> {};

TEST_P(FrameCapture, SavesEveryChannelWholeUnderTheRecordingAndTheTime) {
    for (int channels : {1, 2}) {
        TFixtureRecording recording(SmallRecording(channels, GetParam()), "REC_A.avi");
        TTempFolder out;
        const std::vector<TShownFrame> frames = ShownFramesOf(
            recording.Path(), channels == 2 ? std::vector<int>{0, 1} : std::vector<int>{0}, 7);
        ASSERT_TRUE(frames[0].frame);
        if (GetParam() == VideoCodec::Mjpeg) {
            EXPECT_NE(frames[0].frame->format, AV_PIX_FMT_YUV420P)
                << "the conversion is not exercised";
        }

        const TCaptureResult result =
            CaptureFrames(frames, CaptureBaseName(out.Path(), recording.Path()), CaptureTime());

        std::vector<std::string> expected{out.File("REC_A_20181010101112__1.jpg")};
        if (channels == 2)
            expected.push_back(out.File("REC_A_20181010101112__2.jpg"));
        EXPECT_EQ(result.outcome, TCaptureOutcome::Done);
        EXPECT_EQ(result.files, expected);
        EXPECT_EQ(FilesIn(out.Path()).size(), expected.size());
        for (std::size_t channel = 0; channel < expected.size(); ++channel) {
            const TPictureFile picture = ReadPicture(expected[channel]);
            EXPECT_EQ(picture.width, kPictureWidth);
            EXPECT_EQ(picture.height, kPictureHeight);
            EXPECT_EQ(Shows(picture), std::make_pair(7, static_cast<int>(channel)))
                << expected[channel];
        }
    }
    // A second capture in the same second replaces the first.
    TFixtureRecording recording(SmallRecording(2, GetParam()), "REC_A.avi");
    TTempFolder out;
    const std::string base = CaptureBaseName(out.Path(), recording.Path());
    const TCaptureResult first =
        CaptureFrames(ShownFramesOf(recording.Path(), {0, 1}, 2), base, CaptureTime());
    const TCaptureResult second =
        CaptureFrames(ShownFramesOf(recording.Path(), {0, 1}, 20), base, CaptureTime());
    EXPECT_EQ(first.files, second.files);
    EXPECT_EQ(FilesIn(out.Path()).size(), 2u);
    EXPECT_EQ(Shows(ReadPicture(second.files[0])), std::make_pair(20, 0));
    EXPECT_EQ(Shows(ReadPicture(second.files[1])), std::make_pair(20, 1));
}

INSTANTIATE_TEST_SUITE_P(Codecs, FrameCapture,
                         ::testing::Values(VideoCodec::H264, VideoCodec::Mjpeg),
                         [](const auto& info) {
                             return info.param == VideoCodec::H264 ? "H264" : "Mjpeg";
                         });

TEST(FrameCaptureTest, StopsAtTheFirstChannelWithoutVideoAndReportsWhatWasNotSaved) {
    TFixtureRecording recording(SmallRecording(2), "REC_A.avi");
    struct TCase {
        const char* what;
        std::vector<int> streams;
        bool folderExists;
        TCaptureOutcome outcome;
        std::set<std::string> files;
    };
    const TCase cases[] = {
        {"front without video", {-1, 1}, true, TCaptureOutcome::Failed, {}},
        {"the channel after one without video",
         {0, -1, 1},
         true,
         TCaptureOutcome::Done,
         {"REC_A_20181010101112__1.jpg"}},
        {"a folder that is not there", {0, 1}, false, TCaptureOutcome::Failed, {}},
    };
    for (const TCase& c : cases) {
        TTempFolder out;
        const std::string folder = c.folderExists ? out.Path() : out.File("missing");
        const TCaptureResult result =
            CaptureFrames(ShownFramesOf(recording.Path(), c.streams, 0),
                          CaptureBaseName(folder, recording.Path()), CaptureTime());
        EXPECT_EQ(result.outcome, c.outcome) << c.what;
        EXPECT_EQ(result.files.size(), c.files.size()) << c.what;
        EXPECT_EQ(FilesIn(out.Path()), c.files) << c.what;
    }
}

TEST(FrameCaptureTest, PrintsThePositionWithTheSignOfItsHemisphere) {
    TTelemetry telemetry;
    telemetry.firstGpsTime = 1;
    // Valid fixes as written, ddmm.mmmm with their hemispheres.
    const auto fix = [](double latitude, char north, double longitude, char east) {
        return TGpsRecord{1, latitude, north, longitude, east, 0.0, {}};
    };
    telemetry.gps = {fix(3330.0, 'S', 15115.0, 'E'), fix(4722.5, 'N', 12215.0, 'W')};
    struct TCase {
        int second;
        double latitude;
        double longitude;
    };
    const TCase cases[] = {
        {1, 0.0, 0.0}, // the second of the first fix's stamp has none yet
        {2, -33.5, 151.25},
        {3, 47.375, -122.25},
        {4, 0.0, 0.0}, // past the last fix
    };
    for (const TCase& c : cases) {
        const TPrintedPosition position = PrintedPosition(&telemetry, c.second);
        EXPECT_DOUBLE_EQ(position.latitude, c.latitude) << c.second;
        EXPECT_DOUBLE_EQ(position.longitude, c.longitude) << c.second;
    }
}

constexpr int kPrinterDpi = 600;
constexpr double kPointsPerInch = 72.0;
// The raster the page is read back at: fine enough that the pattern's
// blocks, scaled to a fraction of a pixel, still sit where it reads them.
constexpr int kRasterDpi = 240;
constexpr const char kRecordingPath[] = "/media/card/NOR_20260101_120000_F.avi";

struct TWord {
    std::string text;
    double left, top, right, bottom; // points
};

std::string Output(const std::string& command) {
    std::string text;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return text;
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe.get()))
        text.append(buffer, read);
    return text;
}

std::vector<TWord> WordsOf(const std::string& pdf) {
    const std::string html = Output("pdftotext -bbox '" + pdf + "' - 2>&1");
    const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<TWord> words;
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it) {
        const std::smatch& m = *it;
        words.push_back({m[5], std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
    }
    return words;
}

// The top of the page, `inches` high.
TPictureFile RasterOf(const std::string& pdf, const std::string& prefix, double inches) {
    Output("pdftoppm -r " + std::to_string(kRasterDpi) + " -H " +
           std::to_string(static_cast<int>(inches * kRasterDpi)) + " -png -singlefile '" + pdf +
           "' '" + prefix + "' 2>&1");
    return ReadPicture(prefix + ".png");
}

// The frame number and channel the page shows inside `inches`.
std::pair<int, int> ShownIn(const TPictureFile& page, const Gdiplus::RectF& inches) {
    // A pixel in from every edge, away from the resampled border.
    return PatternIn(page, static_cast<int>(inches.X * kRasterDpi) + 1,
                     static_cast<int>(inches.Y * kRasterDpi) + 1,
                     static_cast<int>(inches.Width * kRasterDpi) - 2,
                     static_cast<int>(inches.Height * kRasterDpi) - 2);
}

class FramePrint : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureUiApplication();
        ASSERT_FALSE(Output("command -v pdftotext pdftoppm").empty()) << "poppler-utils is needed";
    }
    void TearDown() override { StopAnsweringPrintDialogs(); }

    // Prints frame 9 of each channel into a PDF on A4.
    TCaptureOutcome Print(int channels, double latitude, double longitude, TPrintedPage* page) {
        TFixtureRecording recording(SmallRecording(channels));
        const std::vector<TShownFrame> frames = ShownFramesOf(
            recording.Path(), channels == 2 ? std::vector<int>{0, 1} : std::vector<int>{0}, 9);
        StartAnsweringPrintDialogs({m_folder.File("page.pdf"), 210, 297, kPrinterDpi});
        return PrintFrames(frames, kRecordingPath, latitude, longitude, nullptr, page);
    }
    std::string Pdf() const { return m_folder.File("page.pdf"); }

    TTempFolder m_folder;
};

TEST_F(FramePrint, LaysTheChannelsAcrossThePaperWithThePathAndPositionUnderThem) {
    struct TCase {
        int channels;
        double latitude, longitude;
        const char* latitudeText;
        const char* longitudeText;
    };
    const TCase cases[] = {
        {1, 0.0, 0.0, "0.000000", "0.000000"},
        {2, -33.5, 151.25, "-33.500000", "151.250000"},
        {1, -0.0, -122.25, "0.000000", "-122.250000"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.latitudeText);
        TPrintedPage page;
        ASSERT_EQ(Print(c.channels, c.latitude, c.longitude, &page), TCaptureOutcome::Done);
        const std::vector<TPrintDialogCall> calls = AnsweredPrintDialogs();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].documentName, "Brontis printing");

        // 210 mm of paper are 8.2677 inches, shared by the channels.
        const double slot = 8.2677 / c.channels;
        ASSERT_EQ(page.pictures.size(), static_cast<std::size_t>(c.channels));
        for (int i = 0; i < c.channels; ++i) {
            EXPECT_NEAR(page.pictures[i].X, i * slot, 1e-4);
            EXPECT_NEAR(page.pictures[i].Y, 0.0, 1e-6);
            EXPECT_NEAR(page.pictures[i].Width, slot, 1e-4);
            EXPECT_NEAR(page.pictures[i].Height, slot * kPictureHeight / kPictureWidth, 1e-4);
        }
        ASSERT_EQ(page.lines.size(), 3u);
        const double textBottom = (page.lines[2].Y + page.lines[2].Height) / kPrinterDpi;
        const TPictureFile raster = RasterOf(Pdf(), m_folder.File("page"), textBottom + 0.5);
        ASSERT_GT(raster.width, 0);
        for (int i = 0; i < c.channels; ++i)
            EXPECT_EQ(ShownIn(raster, page.pictures[i]), std::make_pair(9, i));
        // Below the text the paper stays blank.
        const int blankRow = static_cast<int>(textBottom * kRasterDpi) + 4;
        for (int x = 0; x < raster.width; x += 7)
            EXPECT_EQ(raster.Colour(x, blankRow), 0xFFFFFFu) << x;

        const std::vector<TWord> words = WordsOf(Pdf());
        std::vector<std::string> texts;
        for (const TWord& word : words)
            texts.push_back(word.text);
        EXPECT_EQ(texts, (std::vector<std::string>{kRecordingPath, "Latitude:", c.latitudeText,
                                                   "Longitude:", c.longitudeText}));
        if (words.size() != 5)
            continue;
        const double pictureBottom = page.pictures[0].Height * kPointsPerInch;
        EXPECT_GT(words[0].top, pictureBottom + 4) << "the path overlaps the picture";
        // Three lines, each below the one before.
        EXPECT_GE(words[1].top, words[0].bottom);
        EXPECT_GE(words[3].top, words[2].bottom);
        EXPECT_NEAR(words[1].left, words[3].left, 0.5);
    }
}

} // namespace
