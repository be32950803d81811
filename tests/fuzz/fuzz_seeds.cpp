// velor-fuzz-seeds OUT_DIR: writes the fuzz targets' seed corpora from the
// project's own writers: recordings from the fixture writer (and the GPS and
// G-sensor packets it put in them), setup.cfg files from the settings
// writer, the program's language files, recording names and time values.

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "settings/camera_settings.h"
#include "settings/preferred_language.h"
#include "settings/viewer_preferences.h"
#include "tests/fixtures/recording_writer.h"

namespace {

namespace fs = std::filesystem;
using namespace velor::fixtures;

constexpr const char* kCameraModels[] = {"qrv-1cam", "pnta-f",  "qrv-2cam",
                                         "zx",       "pnta-fr", "other-model"};

bool WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool WriteText(const fs::path& path, const std::string& text) {
    return WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

struct TRecordingSeed {
    const char* name;
    RecordingOptions options;
};

// Small recordings, so that a fuzzed copy is quick to open, in the
// variations the camera and the writer know.
std::vector<TRecordingSeed> RecordingSeeds() {
    RecordingOptions small;
    small.seconds = 1;
    small.width = 32;
    small.height = 32;
    small.fps = 4;
    small.gopLength = 2;
    small.sound = false;
    small.gsensorRate = 2;
    std::vector<TRecordingSeed> seeds;
    seeds.push_back({"two-channels.avi", small});
    RecordingOptions sound = small;
    sound.sound = true;
    sound.sampleRate = 8000;
    seeds.push_back({"two-channels-sound.avi", sound});
    RecordingOptions one = small;
    one.channels = 1;
    one.codec = VideoCodec::Mjpeg;
    seeds.push_back({"one-channel-mjpeg.avi", one});
    RecordingOptions silent = small;
    silent.sound = false;
    silent.gpsKind = GpsSentenceKind::GnRmc;
    silent.firstGpsAtZero = true;
    seeds.push_back({"silent-gnrmc.avi", silent});
    RecordingOptions cut = small;
    cut.cutAtFraction = 0.5;
    seeds.push_back({"cut-unfinished.avi", cut});
    RecordingOptions cutFinal = cut;
    cutFinal.cutHeader = CutHeader::Final;
    cutFinal.gpsKind = GpsSentenceKind::RmcVoid;
    seeds.push_back({"cut-final-void.avi", cutFinal});
    RecordingOptions padded = sound;
    padded.riffPadding = true;
    padded.gsensorPacketBytes = 7;
    seeds.push_back({"riff-padding-short-gsensor.avi", padded});
    RecordingOptions odd = small;
    odd.moviParity = MoviParity::Odd;
    odd.gsensorAsMp3 = true;
    odd.gpsCarriageReturn = false;
    seeds.push_back({"odd-movi-mp3-gsensor.avi", odd});
    RecordingOptions other = small;
    other.gpsKind = GpsSentenceKind::Gga;
    other.channels = 3;
    seeds.push_back({"three-channels-gga.avi", other});
    return seeds;
}

bool WriteRecordingSeeds(const fs::path& out) {
    int packets = 0;
    for (const TRecordingSeed& seed : RecordingSeeds()) {
        std::string error;
        const fs::path path = out / "open_recording" / seed.name;
        std::optional<WrittenRecording> written = WriteRecording(path, seed.options, &error);
        if (!written) {
            std::fprintf(stderr, "velor-fuzz-seeds: %s: %s\n", seed.name, error.c_str());
            return false;
        }
        fs::copy_file(path, out / "chunk_walk" / seed.name, fs::copy_options::overwrite_existing);
        for (const WrittenGpsPacket& packet : written->gps)
            WriteBytes(out / "gps_packet" / ("packet-" + std::to_string(packets++)), packet.bytes);
        for (std::size_t i = 0; i < written->gsensor.size() && i < 4; ++i)
            WriteBytes(out / "gsensor_packet" / ("packet-" + std::to_string(packets++)),
                       written->gsensor[i].bytes);
    }
    return true;
}

// Each model's reset values, stored by the viewer's own writer into a file
// that holds the model's name.
bool WriteSetupSeeds(const fs::path& out) {
    LoadStringTableAndSettingsModel();
    for (const char* model : kCameraModels) {
        const fs::path path = out / "setup_cfg" / (std::string(model) + ".cfg");
        std::vector<std::uint8_t> blank(kSetupFileSize, 0);
        std::memcpy(blank.data(), model, std::strlen(model));
        if (!WriteBytes(path, blank))
            return false;
        ResetCameraSettings(model);
        CameraSettings().modelName = model;
        Preferences().modelName = model;
        if (!WriteCameraSettings(path)) {
            std::fprintf(stderr, "velor-fuzz-seeds: the settings writer refused %s\n", model);
            return false;
        }
    }
    return true;
}

// The program's language files in pieces of a few entries each, every piece
// a whole file of its own, so that a fuzzed copy is quick to load.
void WriteLanguageSeeds(const fs::path& file, const fs::path& out) {
    constexpr int kEntriesPerPiece = 12;
    std::ifstream in(file);
    std::string head;
    std::string line;
    std::vector<std::string> entries;
    while (std::getline(in, line)) {
        if (line.rfind("<?xml", 0) == 0)
            head = line + "\n";
        else if (line.find("STRINGS>") == std::string::npos)
            entries.push_back(line + "\n");
    }
    for (std::size_t first = 0; first < entries.size(); first += kEntriesPerPiece) {
        std::string piece = head + "<STRINGS>\n";
        for (std::size_t i = first; i < entries.size() && i < first + kEntriesPerPiece; ++i)
            piece += entries[i];
        piece += "</STRINGS>\n";
        WriteText(out / (file.stem().string() + "-" + std::to_string(first)), piece);
    }
}

void WriteNameSeeds(const fs::path& out) {
    const char* names[] = {
        "INF_0001_F_20260101_120000.avi",
        "man_0003_F_20260315_080910.avi",
        "card/DCIM/moe_0004_F_20260704_000001.avi",
        "tls_0005_F_2026",
        "other.avi",
    };
    int index = 0;
    for (const char* name : names)
        WriteText(out / "recording_name" / ("name-" + std::to_string(index++)), name);
    WriteText(out / "recording_name" / "pair",
              std::string("inf_0001_F_20260101_120000.avi\0inf_0001_R_20260101_120000.avi", 61));
}

void WriteTimeSeeds(const fs::path& out) {
    const int values[] = {0, 59, 61, 3599, 3600, 86399, 360000, -1};
    for (int value : values) {
        std::vector<std::uint8_t> bytes(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        WriteBytes(out / "time_text" / ("seconds-" + std::to_string(value)), bytes);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: velor-fuzz-seeds OUT_DIR\n");
        return 1;
    }
    const fs::path out(argv[1]);
    for (const char* target : {"chunk_walk", "open_recording", "gps_packet", "gsensor_packet",
                               "setup_cfg", "language_file", "recording_name", "time_text"})
        fs::create_directories(out / target);
    setenv("VELOR_RESOURCE_DIR", VELOR_SOURCE_RESOURCE_DIR, 1);
    const fs::path languages = fs::path(VELOR_SOURCE_RESOURCE_DIR) / "language";
    for (const fs::directory_entry& entry : fs::directory_iterator(languages))
        WriteLanguageSeeds(entry.path(), out / "language_file");
    Preferences().language = "english";
    if (!WriteRecordingSeeds(out) || !WriteSetupSeeds(out))
        return 1;
    WriteNameSeeds(out);
    WriteTimeSeeds(out);
    return 0;
}
