// Printing the shown frames: rendered to a PDF printer and read back with
// the PDF tools, as text with its positions and as a raster.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <regex>

#include "export/frame_print.h"
#include "platform/printing.h"
#include "tests/export/decoded_frames.h"
#include "tests/ui/ui_test_support.h"

namespace {

constexpr int kPrinterDpi = 600;
constexpr double kPointsPerInch = 72.0;
// The raster the page is read back at: fine enough that the pattern's
// blocks, scaled to a fraction of a pixel, still sit where it reads them.
constexpr int kRasterDpi = 240;
constexpr const char kRecordingPath[] = "/media/card/NOR_20260101_120000_F.avi";

struct TWord {
    std::string text;
    double left, top, right, bottom;  // points
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
    const std::regex word(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::vector<TWord> words;
    for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it) {
        const std::smatch& m = *it;
        words.push_back({m[5], std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
    }
    return words;
}

// The top of the page, `inches` high.
TPictureFile RasterOf(const std::string& pdf, const std::string& prefix, double inches) {
    Output("pdftoppm -r " + std::to_string(kRasterDpi) + " -H " + std::to_string(static_cast<int>(inches * kRasterDpi)) +
           " -png -singlefile '" + pdf + "' '" + prefix + "' 2>&1");
    return ReadPicture(prefix + ".png");
}

// The frame number and channel the page shows inside `inches`.
std::pair<int, int> ShownIn(const TPictureFile& page, const Gdiplus::RectF& inches) {
    // A pixel in from every edge, away from the resampled border.
    return PatternIn(page, static_cast<int>(inches.X * kRasterDpi) + 1, static_cast<int>(inches.Y * kRasterDpi) + 1,
                     static_cast<int>(inches.Width * kRasterDpi) - 2, static_cast<int>(inches.Height * kRasterDpi) - 2);
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
        const std::vector<TShownFrame> frames =
            ShownFramesOf(recording.Path(), channels == 2 ? std::vector<int>{0, 1} : std::vector<int>{0}, 9);
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
        EXPECT_EQ(texts, (std::vector<std::string>{kRecordingPath, "Latitude:", c.latitudeText, "Longitude:",
                                                    c.longitudeText}));
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
