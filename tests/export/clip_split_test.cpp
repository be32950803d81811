// Splitting recordings of every shape into front and rear files, what a
// failed split leaves behind, and whether the player takes the files.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

#include "engine/base_stream_info.h"
#include "engine/ffmpeg.h"
#include "engine/media_player.h"
#include "engine/player_reader.h"
#include "export/clip_split.h"
#include "platform/message_box.h"
#include "tests/support/recording_fixture.h"

using velor::fixtures::RecordingOptions;

namespace {

// Each stream of a file as FFmpeg reads it back: its kind and its packets'
// bytes in order.
struct TStreamPackets {
    AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
    std::vector<std::string> packets;
};

std::vector<TStreamPackets> ReadStreams(const std::string& path) {
    std::vector<TStreamPackets> streams;
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0)
        return streams;
    TInputHandle input(context);
    if (avformat_find_stream_info(context, nullptr) < 0)
        return streams;
    streams.resize(context->nb_streams);
    for (unsigned i = 0; i < context->nb_streams; ++i)
        streams[i].type = context->streams[i]->codecpar->codec_type;
    TPacketHandle packet = MakePacket();
    while (av_read_frame(context, packet.get()) >= 0) {
        streams[packet->stream_index].packets.emplace_back(
            reinterpret_cast<const char*>(packet->data), static_cast<size_t>(packet->size));
        av_packet_unref(packet.get());
    }
    return streams;
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    return names;
}

RecordingOptions Shaped(int channels, bool sound) {
    RecordingOptions options;
    options.channels = channels;
    options.sound = sound;
    options.seconds = 2;
    return options;
}

// Opens the file as the player does, reads it to its last frame as the
// player thread does (the decoders' side emptied as it goes), then seeks.
void ExpectPlaysToItsLastFrameAndSeeks(const std::string& path, bool sound) {
    TMediaPlayer player;
    TPlayerReader reader(player);
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(player.frameCount(), 60);
    EXPECT_DOUBLE_EQ(player.duration(), 2.0);
    EXPECT_EQ(player.frontStreamIndex(), 0);
    EXPECT_EQ(player.rearStreamIndex(), -1);
    EXPECT_EQ(player.audioStreamIndex(), sound ? 1 : -1);

    TBaseStreamInfo* video = player.Stream(kFrontSlot);
    TPacketHandle packet = MakePacket();
    std::int64_t firstDts = -1;
    std::int64_t lastDts = -1;
    auto drain = [&] {
        for (int slot : {kFrontSlot, kAudioSlot}) {
            TBaseStreamInfo* stream = player.Stream(slot);
            while (stream && stream->packetQueue.Get(packet.get(), 0) == 1) {
                if (stream == video && !IsFlushPacket(packet.get())) {
                    firstDts = firstDts < 0 ? packet->dts : firstDts;
                    lastDts = std::max(lastDts, packet->dts);
                }
                av_packet_unref(packet.get());
            }
        }
    };
    while (reader.ReadStep())
        drain();
    drain();
    EXPECT_TRUE(player.endOfFile());
    EXPECT_EQ(lastDts, 59);

    ASSERT_TRUE(reader.Seek(1500000, AVSEEK_FLAG_BACKWARD));
    firstDts = -1;
    while (firstDts < 0 && reader.ReadStep())
        drain();
    // The key frame at or before 1.5 s: one a second in these recordings.
    EXPECT_EQ(firstDts, 30);
}

// Splits in a child process whose files may grow to `bytes` at most (0: no
// limit), where writing past it fails with EFBIG instead of a signal.
TSplitResult SplitWithFileLimit(const std::string& source, const std::string& folder,
                                rlim_t bytes) {
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        if (bytes)
            setrlimit(RLIMIT_FSIZE, &limit);
        _exit(static_cast<int>(Split(source, folder)));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return TSplitResult::Done; // nothing a failure case expects
    return static_cast<TSplitResult>(WEXITSTATUS(status));
}

} // namespace

TEST(ClipSplit, EachShapeOfRecordingSplitsIntoAFrontAndARearFileThatPlaysAndSeeks) {
    struct TCase {
        const char* name;
        RecordingOptions options;
        const char* folderEnd;
        int frontSource; // the source streams each file's video comes from
        int rearSource;
        int soundSource; // -1: none
    };
    const TCase cases[] = {
        {"two cameras and sound", Shaped(2, true), "", 0, 1, 2},
        {"no sound", Shaped(2, false), "", 0, 1, -1},
        {"three cameras: the first and the last", Shaped(3, true), "", 0, 2, 3},
        {"a folder with a trailing slash", Shaped(2, true), "/", 0, 1, 2},
    };
    StartRecordingMessageBoxes(IDOK);
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.name);
        TFixtureRecording recording(test.options);
        const std::string sourceBytes = FileBytes(recording.Path());
        const std::string folder = recording.Folder().File("out") + test.folderEnd;
        ASSERT_EQ(Split(recording.Path(), folder), TSplitResult::Done);

        EXPECT_EQ(FileBytes(recording.Path()), sourceBytes);
        EXPECT_EQ(FilesIn(folder), (std::set<std::string>{"F_NOR_20260101_120000_F.avi",
                                                          "R_NOR_20260101_120000_F.avi"}));
        const std::vector<TStreamPackets> source = ReadStreams(recording.Path());
        const TSplitNames names = SplitOutputNames(recording.Path(), folder);
        const std::pair<std::string, int> outputs[] = {{names.front, test.frontSource},
                                                       {names.rear, test.rearSource}};
        for (const auto& [path, videoSource] : outputs) {
            SCOPED_TRACE(path);
            const std::vector<TStreamPackets> written = ReadStreams(path);
            ASSERT_EQ(written.size(), test.soundSource < 0 ? 1u : 2u);
            EXPECT_EQ(written[0].type, AVMEDIA_TYPE_VIDEO);
            EXPECT_EQ(written[0].packets, source[videoSource].packets);
            ExpectPlaysToItsLastFrameAndSeeks(path, test.soundSource >= 0);
            if (test.soundSource < 0)
                continue;
            EXPECT_EQ(written[1].type, AVMEDIA_TYPE_AUDIO);
            EXPECT_FALSE(written[1].packets.empty());
            EXPECT_EQ(written[1].packets, source[test.soundSource].packets);
        }
    }
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    StopRecordingMessageBoxes();
}

TEST(ClipSplit, AFailedSplitSaysSoLeavesNoFileAndTheSourceAlone) {
    TFixtureRecording twoCameras(Shaped(2, true));
    TFixtureRecording oneCamera(Shaped(1, true));
    const TTempFolder scratch;

    struct TCase {
        const char* name;
        std::string source;
        std::string folder;
        TSplitResult expected;
        // The recording is larger than this; 0 for no limit.
        rlim_t fileSizeLimit = 0;
    };
    const TCase cases[] = {
        {"one camera", oneCamera.Path(), scratch.File("one"), TSplitResult::OneChannel},
        {"a folder whose parent is missing", twoCameras.Path(), scratch.File("missing/out"),
         TSplitResult::FolderNotMade},
        {"a disk that fills up", twoCameras.Path(), scratch.File("full"), TSplitResult::WriteFailed,
         40000},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.name);
        // The target folder itself may be made; nothing else may appear.
        const std::string folderName = std::filesystem::path(test.folder).filename().string();
        std::set<std::string> before = FilesIn(scratch.Path());
        before.erase(folderName);
        const std::string sourceBytes = FileBytes(test.source);
        const TSplitResult result =
            SplitWithFileLimit(test.source, test.folder, test.fileSizeLimit);
        EXPECT_EQ(result, test.expected);
        EXPECT_EQ(FileBytes(test.source), sourceBytes);
        EXPECT_TRUE(FilesIn(test.folder).empty());
        std::set<std::string> after = FilesIn(scratch.Path());
        after.erase(folderName);
        EXPECT_EQ(after, before);
    }
}
