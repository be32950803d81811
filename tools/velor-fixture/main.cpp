// velor-fixture: writes one test recording in the camera's AVI layout.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "tests/fixtures/recording_writer.h"

namespace {

using velor::fixtures::CutHeader;
using velor::fixtures::GpsSentenceKind;
using velor::fixtures::MoviParity;
using velor::fixtures::RecordingOptions;
using velor::fixtures::VideoCodec;

constexpr const char* kUsage =
    "usage: velor-fixture --out FILE [options]\n"
    "  --channels 1|2|3        cameras (default 2; 3 adds a third video stream, \"02dc\")\n"
    "  --seconds N             duration (default 3)\n"
    "  --size WxH              frame size (default 320x180)\n"
    "  --fps N                 frame rate, e.g. 30 or 25 (default 30)\n"
    "  --codec h264|mjpeg      video codec (default h264)\n"
    "  --gop N                 frames from key frame to key frame (default 30)\n"
    "  --no-sound              no sound stream\n"
    "  --sample-rate HZ        sound sample rate (default 16000)\n"
    "  --sound-chunk SAMPLES   samples per sound chunk (default: one chunk per frame)\n"
    "  --no-telemetry          no GPS and G-sensor streams\n"
    "  --gps rmc|gnrmc|gga|void|lower   GPS sentences (default rmc)\n"
    "  --gps-no-cr             GPS packets without the final carriage return\n"
    "  --gps-first-zero        first GPS packet at time stamp 0 instead of 1\n"
    "  --gps-start LAT,LON     where the track starts, signed degrees (south, west negative)\n"
    "  --gsensor-rate N        G-sensor packets per second (default 10)\n"
    "  --gsensor-bytes N       G-sensor packet size (default 12)\n"
    "  --gsensor-mp3           G-sensor packets that FFmpeg's probe takes for MP3\n"
    "  --movi natural|even|odd parity of the movi list size (default natural)\n"
    "  --riff-padding          a pad byte after every odd-sized chunk, as standard AVI\n"
    "  --cut-at BYTES          end the file at this offset inside movi (no index)\n"
    "  --cut-fraction F        end the file at this fraction (0..1] of movi\n"
    "  --cut-header unfinished|final   header of a cut file (default unfinished)\n"
    "  --quiet                 no summary on standard output\n";

struct Arguments {
    std::string out;
    RecordingOptions options;
    bool quiet = false;
};

int Usage(const std::string& problem) {
    std::fprintf(stderr, "velor-fixture: %s (see --help)\n", problem.c_str());
    return 1;
}

bool TakesValue(std::string_view name) {
    static constexpr std::string_view kValueOptions[] = {
        "--out",          "--channels",      "--seconds",     "--size",        "--fps",
        "--codec",        "--gop",           "--sample-rate", "--sound-chunk", "--gps",
        "--gsensor-rate", "--gsensor-bytes", "--gps-start",   "--movi",        "--cut-at",
        "--cut-fraction", "--cut-header"};
    for (const std::string_view option : kValueOptions)
        if (option == name)
            return true;
    return false;
}

template <typename Number> bool ParseNumber(std::string_view text, Number* value) {
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, *value);
    return failure == std::errc() && stop == end;
}

bool ParseFraction(std::string_view text, double* value) {
    const std::string copy(text);
    char* stop = nullptr;
    *value = std::strtod(copy.c_str(), &stop);
    return !copy.empty() && stop == copy.c_str() + copy.size();
}

bool ParseStart(std::string_view text, RecordingOptions* options) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos)
        return false;
    return ParseFraction(text.substr(0, comma), &options->gpsTrack.startLatitude) &&
           ParseFraction(text.substr(comma + 1), &options->gpsTrack.startLongitude);
}

bool ParseSize(std::string_view text, RecordingOptions* options) {
    const size_t x = text.find('x');
    if (x == std::string_view::npos)
        return false;
    return ParseNumber(text.substr(0, x), &options->width) &&
           ParseNumber(text.substr(x + 1), &options->height);
}

std::optional<GpsSentenceKind> GpsKindNamed(std::string_view name) {
    if (name == "rmc")
        return GpsSentenceKind::Rmc;
    if (name == "gnrmc")
        return GpsSentenceKind::GnRmc;
    if (name == "gga")
        return GpsSentenceKind::Gga;
    if (name == "void")
        return GpsSentenceKind::RmcVoid;
    if (name == "lower")
        return GpsSentenceKind::LowerCaseRmc;
    return std::nullopt;
}

std::optional<MoviParity> ParityNamed(std::string_view name) {
    if (name == "natural")
        return MoviParity::Natural;
    if (name == "even")
        return MoviParity::Even;
    if (name == "odd")
        return MoviParity::Odd;
    return std::nullopt;
}

bool ApplyFlag(std::string_view flag, Arguments* arguments) {
    RecordingOptions& options = arguments->options;
    if (flag == "--no-sound")
        options.sound = false;
    else if (flag == "--no-telemetry")
        options.telemetry = false;
    else if (flag == "--gps-no-cr")
        options.gpsCarriageReturn = false;
    else if (flag == "--gps-first-zero")
        options.firstGpsAtZero = true;
    else if (flag == "--gsensor-mp3")
        options.gsensorAsMp3 = true;
    else if (flag == "--riff-padding")
        options.riffPadding = true;
    else if (flag == "--quiet")
        arguments->quiet = true;
    else
        return false;
    return true;
}

// False with *problem set when the option is known but its value is not.
bool ApplyValue(std::string_view name, std::string_view value, Arguments* arguments,
                std::string* problem) {
    RecordingOptions& options = arguments->options;
    bool parsed = true;
    if (name == "--out") {
        arguments->out = value;
    } else if (name == "--channels") {
        parsed = ParseNumber(value, &options.channels);
    } else if (name == "--seconds") {
        parsed = ParseNumber(value, &options.seconds);
    } else if (name == "--size") {
        parsed = ParseSize(value, &options);
    } else if (name == "--fps") {
        parsed = ParseNumber(value, &options.fps);
    } else if (name == "--codec") {
        parsed = value == "h264" || value == "mjpeg";
        options.codec = value == "mjpeg" ? VideoCodec::Mjpeg : VideoCodec::H264;
    } else if (name == "--gop") {
        parsed = ParseNumber(value, &options.gopLength);
    } else if (name == "--sample-rate") {
        parsed = ParseNumber(value, &options.sampleRate);
    } else if (name == "--sound-chunk") {
        parsed = ParseNumber(value, &options.samplesPerSoundChunk);
    } else if (name == "--gps") {
        const auto kind = GpsKindNamed(value);
        parsed = kind.has_value();
        options.gpsKind = kind.value_or(GpsSentenceKind::Rmc);
    } else if (name == "--gps-start") {
        parsed = ParseStart(value, &options);
    } else if (name == "--gsensor-rate") {
        parsed = ParseNumber(value, &options.gsensorRate);
    } else if (name == "--gsensor-bytes") {
        parsed = ParseNumber(value, &options.gsensorPacketBytes);
    } else if (name == "--movi") {
        const auto parity = ParityNamed(value);
        parsed = parity.has_value();
        options.moviParity = parity.value_or(MoviParity::Natural);
    } else if (name == "--cut-at") {
        parsed = ParseNumber(value, &options.cutAtByte) && options.cutAtByte > 0;
    } else if (name == "--cut-fraction") {
        parsed = ParseFraction(value, &options.cutAtFraction) && options.cutAtFraction > 0.0;
    } else if (name == "--cut-header") {
        parsed = value == "unfinished" || value == "final";
        options.cutHeader = value == "final" ? CutHeader::Final : CutHeader::Unfinished;
    }
    if (!parsed)
        *problem = "bad value '" + std::string(value) + "' for " + std::string(name);
    return parsed;
}

bool ParseArguments(int argc, char** argv, Arguments* arguments, std::string* problem) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (ApplyFlag(name, arguments))
            continue;
        if (name == "--help" || name == "-h") {
            *problem = "help";
            return false;
        }
        if (!TakesValue(name)) {
            *problem = "unknown option " + std::string(name);
            return false;
        }
        if (i + 1 >= argc) {
            *problem = std::string(name) + " needs a value";
            return false;
        }
        if (!ApplyValue(name, argv[++i], arguments, problem))
            return false;
    }
    if (arguments->out.empty()) {
        *problem = "--out FILE is required";
        return false;
    }
    return true;
}

void PrintSummary(const velor::fixtures::WrittenRecording& written) {
    std::printf("%s: %d channel(s), %d frames, %d sound chunks, %zu GPS and %zu G-sensor "
                "packets, movi %u bytes (%s), %s, %lld bytes\n",
                written.path.c_str(),
                written.streams.thirdVideo >= 0  ? 3
                : written.streams.rearVideo >= 0 ? 2
                                                 : 1,
                written.videoFrames[0], written.soundChunks, written.gps.size(),
                written.gsensor.size(), written.moviSize, written.moviSize % 2 ? "odd" : "even",
                written.hasIndex ? "indexed" : "no index",
                static_cast<long long>(written.fileSize));
}

} // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    std::string problem;
    if (!ParseArguments(argc, argv, &arguments, &problem)) {
        if (problem == "help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        return Usage(problem);
    }
    if (const std::string invalid = velor::fixtures::CheckRecordingOptions(arguments.options);
        !invalid.empty())
        return Usage(invalid);

    std::string error;
    const auto written = velor::fixtures::WriteRecording(arguments.out, arguments.options, &error);
    if (!written) {
        std::fprintf(stderr, "velor-fixture: %s\n", error.c_str());
        return 1;
    }
    if (!arguments.quiet)
        PrintSummary(*written);
    return 0;
}
