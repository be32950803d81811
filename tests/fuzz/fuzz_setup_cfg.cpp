// A camera's setup.cfg from the card: read into the record, written back,
// and read and written again. Inputs whose checksum does not match are tried
// a second time with it made to match, so that the fuzzer reaches the record
// without having to forge CRC-32s.

#include <unistd.h>
#include <zlib.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "language/string_keys.h"
#include "settings/camera_settings.h"
#include "settings/setup_file.h"
#include "settings/viewer_preferences.h"

namespace {

constexpr const char* kModelLanguage = "models";

std::string& SetupPath() {
    static std::string path;
    return path;
}

bool WriteWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::vector<std::uint8_t> ReadWhole(const std::string& path) {
    TSetupFileWriter reader;
    if (!reader.Open(path))
        std::abort();
    return reader.Image();
}

void WithChecksum(std::vector<std::uint8_t>* image) {
    const std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), image->data(), static_cast<uInt>(kSetupDataSize)));
    for (int i = 0; i < 4; ++i)
        (*image)[kSetupDataSize + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

void ReadAndWriteBack(const std::vector<std::uint8_t>& bytes) {
    const std::string& path = SetupPath();
    if (!WriteWhole(path, bytes))
        std::abort();
    if (!ReadCameraSettings(path))
        return;
    if (!WriteCameraSettings(path))
        std::abort();
    const std::vector<std::uint8_t> once = ReadWhole(path);
    // The writer replaces the record's numbers only, never the file's size.
    if (once.size() != bytes.size())
        std::abort();
    // What the viewer wrote it reads again, and writing that back changes
    // nothing more.
    if (!ReadCameraSettings(path) || !WriteCameraSettings(path))
        std::abort();
    if (ReadWhole(path) != once)
        std::abort();
}

// Every read loads the string table again: a language file with only the
// model list of the English one keeps that quick. Lines are kept whole, so
// the file is the program's own but for the texts no model needs.
void WriteModelLanguage(const std::string& resources) {
    std::ifstream english(std::string(VELOR_SOURCE_RESOURCE_DIR) + "/language/english.xml");
    std::ofstream models(resources + "/language/" + kModelLanguage + ".xml");
    if (!english.is_open())
        std::abort();
    std::string line;
    while (std::getline(english, line)) {
        if (line.rfind("<?xml", 0) == 0 || line.find("STRINGS>") != std::string::npos ||
            line.find(string_keys::kModelList) != std::string::npos)
            models << line << '\n';
    }
    if (!models)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // On a memory file system the writer's flush to the card costs nothing.
    std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    folder += "/velor-fuzz-setup-XXXXXX";
    if (!mkdtemp(folder.data()))
        std::abort();
    if (mkdir((folder + "/language").c_str(), 0700) != 0)
        std::abort();
    WriteModelLanguage(folder);
    setenv("VELOR_RESOURCE_DIR", folder.c_str(), 1);
    SetupPath() = folder + "/setup.cfg";
    Preferences().language = kModelLanguage;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 2 * kSetupFileSize)
        return 0;
    std::vector<std::uint8_t> bytes(data, data + size);
    ReadAndWriteBack(bytes);
    if (bytes.size() >= kSetupFileSize) {
        WithChecksum(&bytes);
        ReadAndWriteBack(bytes);
    }
    return 0;
}
