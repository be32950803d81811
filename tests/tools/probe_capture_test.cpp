// velor-probe capture: the recording opened as the player opens it, the
// shown frames captured under the names the capture command gives them.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libswscale/swscale.h>
}

#include "tests/fixtures/test_pattern.h"
#include "tests/support/recording_fixture.h"
#include "tests/tools/tool_runner.h"

using nlohmann::json;
using velor::fixtures::RecordingOptions;

namespace {

// The frame number and channel a JPEG shows, read back with FFmpeg.
std::pair<int, int> JpegShows(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    std::pair<int, int> shown{-1, -1};
    if (!bytes.empty() && avcodec_open2(decoder, codec, nullptr) == 0) {
        packet->data = bytes.data();
        packet->size = static_cast<int>(bytes.size());
        if (avcodec_send_packet(decoder, packet) == 0 && avcodec_receive_frame(decoder, frame) == 0) {
            std::vector<std::uint8_t> bgra(static_cast<size_t>(frame->width) * frame->height * 4);
            SwsContext* scaler = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                                frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr,
                                                nullptr, nullptr);
            std::uint8_t* planes[1] = {bgra.data()};
            int strides[1] = {frame->width * 4};
            sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, planes, strides);
            sws_freeContext(scaler);
            shown = {velor::fixtures::ReadFrameNumber(bgra.data(), frame->width, frame->height, strides[0]),
                     velor::fixtures::ReadTestPatternChannel(bgra.data(), frame->width, frame->height, strides[0])};
        }
    }
    packet->data = nullptr;
    packet->size = 0;
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    return shown;
}

class ProbeCapture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X server for the views";
    }
};

TEST_F(ProbeCapture, SavesTheShownChannelsUnderTheCaptureNames) {
    RecordingOptions options;
    options.seconds = 3;
    options.codec = velor::fixtures::VideoCodec::Mjpeg;
    TFixtureRecording recording(options);
    for (const char* channels : {"2", "1"}) {
        const std::string folder = recording.Folder().File(std::string("Jpeg") + channels);
        TToolRun run = RunProbe({"capture", recording.Path(), "--at", "1.5", "--dir", folder, "--channels", channels});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const std::vector<std::string> files = json::parse(run.out).at("files").get<std::vector<std::string>>();
        ASSERT_EQ(files.size(), std::string(channels) == "2" ? 2u : 1u);
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::regex name(folder + "/NOR_20260101_120000_F_\\d{14}__" + std::to_string(i + 1) + "\\.jpg");
            EXPECT_TRUE(std::regex_match(files[i], name)) << files[i];
            EXPECT_EQ(JpegShows(files[i]), std::make_pair(45, static_cast<int>(i))) << files[i];
        }
    }
}

TEST_F(ProbeCapture, FailsWithAMessage) {
    TTempFolder folder;
    TToolRun missing = RunProbe({"capture", folder.File("NOR_20260101_000000_F.avi"), "--at", "1", "--dir", folder.Path()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("velor-probe capture:"), std::string::npos) << missing.err;
    TToolRun usage = RunProbe({"capture", folder.File("x.avi"), "--at", "1"});
    EXPECT_EQ(usage.exitCode, 1);
    EXPECT_NE(usage.err.find("usage"), std::string::npos) << usage.err;
}

} // namespace
