// A language file beside the program: the string table loaded from it, the
// camera settings model built from its texts, and every text turned into
// the drawing layer's wide characters.

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "language/string_table.h"
#include "settings/camera_settings_model.h"
#include "settings/preferred_language.h"
#include "settings/viewer_preferences.h"

namespace {

constexpr const char* kFuzzLanguage = "fuzz";
constexpr std::size_t kDrawingBufferChars = 256;

std::string& LanguagePath() {
    static std::string path;
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string resources = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    resources += "/velor-fuzz-language-XXXXXX";
    if (!mkdtemp(resources.data()))
        std::abort();
    if (mkdir((resources + "/language").c_str(), 0700) != 0)
        std::abort();
    // Only the fuzzed file is there: the Japanese fallback is missing too.
    setenv("VELOR_RESOURCE_DIR", resources.c_str(), 1);
    LanguagePath() = LanguageFilePath(kFuzzLanguage);
    Preferences().language = kFuzzLanguage;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(LanguagePath().c_str(), "wb");
    if (!file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
    const bool loaded = LoadStringTableAndSettingsModel();
    if (!loaded && !Strings().empty())
        std::abort();
    std::vector<std::string> keys;
    for (const auto& [key, entry] : Strings())
        keys.push_back(key);
    wchar_t buffer[kDrawingBufferChars];
    for (const std::string& key : keys) {
        if (!GetStringW(key, buffer, kDrawingBufferChars))
            std::abort();
        std::vector<StringEntry> list;
        GetValueList(key, &list);
    }
    for (const SettingsItem& item : SettingsItems())
        (void)item;
    return 0;
}
