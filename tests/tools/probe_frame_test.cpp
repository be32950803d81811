#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include "tests/fixtures/test_pattern.h"
#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using velor::fixtures::MoviParity;
using velor::fixtures::RecordingOptions;

namespace {

struct TDecoded {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgra;
};

// Reads a PNG back with FFmpeg's decoder, as BGRA.
TDecoded ReadPng(const std::string& path) {
    TDecoded picture;
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        return picture;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_PNG);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    if (avcodec_open2(decoder, codec, nullptr) == 0) {
        packet->data = bytes.data();
        packet->size = static_cast<int>(bytes.size());
        if (avcodec_send_packet(decoder, packet) == 0 && avcodec_receive_frame(decoder, frame) == 0) {
            picture.width = frame->width;
            picture.height = frame->height;
            picture.bgra.resize(static_cast<size_t>(frame->width) * frame->height * 4);
            SwsContext* scaler = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                                frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr,
                                                nullptr, nullptr);
            std::uint8_t* planes[1] = {picture.bgra.data()};
            int strides[1] = {frame->width * 4};
            sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
            sws_freeContext(scaler);
        }
    }
    packet->data = nullptr;
    packet->size = 0;
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    return picture;
}

class ProbeFrame : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X server for the views";
    }

    // The frame number the written picture shows, or -1.
    int FrameAt(const TFixtureRecording& recording, const std::string& at, const std::string& channel,
                int* pictureChannel = nullptr) {
        const std::string out = recording.Folder().File("frame.png");
        std::remove(out.c_str());
        TToolRun run = RunProbe({"frame", recording.Path(), "--at", at, "--out", out, "--channel", channel});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        TDecoded picture = ReadPng(out);
        if (picture.bgra.empty())
            return -1;
        if (pictureChannel)
            *pictureChannel = velor::fixtures::ReadTestPatternChannel(picture.bgra.data(), picture.width,
                                                                      picture.height, picture.width * 4);
        return velor::fixtures::ReadFrameNumber(picture.bgra.data(), picture.width, picture.height,
                                                picture.width * 4);
    }
};

RecordingOptions SixSeconds(MoviParity parity) {
    RecordingOptions options;
    options.seconds = 6;
    options.gopLength = 30;
    options.moviParity = parity;
    return options;
}

} // namespace

// Seeks into the middle of a group of pictures, so the frame is right only
// when decoding started at the key frame before it; the odd-sized movi list
// is the file whose index FFmpeg does not load.
TEST_F(ProbeFrame, WritesTheFrameAtTheTimeOnOddAndEvenMoviFiles) {
    for (MoviParity parity : {MoviParity::Odd, MoviParity::Even}) {
        SCOPED_TRACE(parity == MoviParity::Odd ? "odd movi" : "even movi");
        TFixtureRecording recording(SixSeconds(parity));
        int channel = -1;
        EXPECT_EQ(FrameAt(recording, "3.5", "0", &channel), 105);
        EXPECT_EQ(channel, 0);
        EXPECT_EQ(FrameAt(recording, "1.2", "1", &channel), 36);
        EXPECT_EQ(channel, 1);
    }
}

TEST_F(ProbeFrame, FailsWithAMessage) {
    TFixtureRecording recording(SixSeconds(MoviParity::Even));
    const std::string out = recording.Folder().File("frame.png");
    TToolRun missing = RunProbe({"frame", recording.Folder().File("NOR_20260101_000000_F.avi"), "--at", "1", "--out", out});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("velor-probe frame:"), std::string::npos) << missing.err;
    TToolRun late = RunProbe({"frame", recording.Path(), "--at", "60", "--out", out});
    EXPECT_EQ(late.exitCode, 1);
    TToolRun noChannel = RunProbe({"frame", recording.Path(), "--at", "1", "--out", out, "--channel", "2"});
    EXPECT_EQ(noChannel.exitCode, 1);
    TToolRun unwritable = RunProbe({"frame", recording.Path(), "--at", "1", "--out", "/nonexistent/frame.png"});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos) << unwritable.err;
}

TEST(ProbeFrameWithoutDisplay, SaysItNeedsOne) {
    const char* display = std::getenv("DISPLAY");
    const std::string saved = display ? display : "";
    unsetenv("DISPLAY");
    TToolRun run = RunProbe({"frame", "/nonexistent.avi", "--at", "1", "--out", "/tmp/unused.png"});
    if (!saved.empty())
        setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("needs a display"), std::string::npos) << run.err;
}
