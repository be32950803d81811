#include "settings/viewer_preferences.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/files.h"
#include "platform/last_error.h"
#include "platform/message_box.h"
#include "platform/registry.h"

namespace {

constexpr DWORD kNumberSize = sizeof(std::int32_t);

// Closes the key on every way out.
class TPreferencesKey {
public:
    TPreferencesKey() {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, KEY_ALL_ACCESS, &m_key) ==
            static_cast<LONG>(ERROR_SUCCESS))
            return;
        m_key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &m_key,
                            &disposition) != static_cast<LONG>(ERROR_SUCCESS))
            m_key = nullptr;
    }
    ~TPreferencesKey() {
        if (m_key)
            RegCloseKey(m_key);
    }
    TPreferencesKey(const TPreferencesKey&) = delete;
    TPreferencesKey& operator=(const TPreferencesKey&) = delete;

    bool IsOpen() const { return m_key != nullptr; }

    // Only a present, non-empty text replaces the field.
    void ReadText(const char* name, std::size_t limit, std::string* field) const {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(m_key, name, nullptr, &type, nullptr, &size) !=
                static_cast<LONG>(ERROR_SUCCESS) ||
            type != REG_SZ || size == 0)
            return;
        std::vector<BYTE> data(size + 1, 0);
        if (RegQueryValueExA(m_key, name, nullptr, &type, data.data(), &size) !=
            static_cast<LONG>(ERROR_SUCCESS))
            return;
        std::string text(reinterpret_cast<const char*>(data.data()));
        if (text.empty())
            return;
        *field = CutToFieldWidth(text, limit);
    }

    // A missing value, or one that is not a 4-byte number, keeps the field.
    void ReadNumber(const char* name, std::int32_t* field) const {
        DWORD type = REG_NONE;
        DWORD size = kNumberSize;
        std::int32_t number = 0;
        if (RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number),
                             &size) != static_cast<LONG>(ERROR_SUCCESS) ||
            type != REG_DWORD || size != kNumberSize)
            return;
        *field = number;
    }

    bool WriteText(const char* name, const std::string& text) const {
        // The characters without their terminator; readers terminate them.
        return RegSetValueExA(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size())) == static_cast<LONG>(ERROR_SUCCESS);
    }

    bool WriteNumber(const char* name, std::int32_t number) const {
        return RegSetValueExA(m_key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                              kNumberSize) == static_cast<LONG>(ERROR_SUCCESS);
    }

private:
    HKEY m_key = nullptr;
};

// Registry value names in the order the values are read and written.
struct TTextValue {
    const char* name;
    std::string ViewerPreferences::*field;
    std::size_t limit;
};
constexpr TTextValue kTextValues[] = {
    {"ModelName", &ViewerPreferences::modelName, kModelNameLimit},
    {"CapturePath", &ViewerPreferences::capturePath, kPathLimit},
    {"VideoSplitPath", &ViewerPreferences::splitPath, kPathLimit},
    {"Language", &ViewerPreferences::language, kLanguageLimit},
    {"MapTileUrl", &ViewerPreferences::mapTileUrl, kPathLimit},
};

struct TNumberValue {
    const char* name;
    std::int32_t ViewerPreferences::*field;
};
constexpr TNumberValue kNumberValues[] = {
    {"Channels", &ViewerPreferences::channels},
    {"Loop", &ViewerPreferences::loop},
    {"AlwaysTop", &ViewerPreferences::alwaysTop},
    {"FrontRotate", &ViewerPreferences::frontRotate},
    {"RearRotate", &ViewerPreferences::rearRotate},
    {"Brightness", &ViewerPreferences::brightness},
    {"Contrast", &ViewerPreferences::contrast},
    {"Chroma", &ViewerPreferences::chroma},
    {"Volume", &ViewerPreferences::volume},
};

bool IsUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Each missing level is made, so a fresh home folder works too. Returns the
// error of the first level that could not be made, ERROR_SUCCESS otherwise.
DWORD MakeFolderPath(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string level = path.substr(0, slash);
        if (!CreateDirectoryA(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return GetLastError();
        if (slash == std::string::npos)
            return ERROR_SUCCESS;
    }
}

} // namespace

ViewerPreferences& Preferences() {
    static ViewerPreferences preferences;
    return preferences;
}

std::string ProgramDataFolder() {
    std::string folder = ProgramFilesFolder();
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder + "/Velor/VELOR player";
}

std::string DefaultCapturePath() {
    return ProgramDataFolder() + "/Jpeg";
}
std::string DefaultSplitPath() {
    return ProgramDataFolder() + "/Video";
}

void SetDefaultPreferences() {
    DWORD error = MakeFolderPath(ProgramDataFolder());
    if (error != ERROR_SUCCESS)
        MessageBoxA(nullptr, SystemErrorText(error).c_str(), "Exception", MB_OK | MB_ICONERROR);
    ViewerPreferences& preferences = Preferences();
    preferences = ViewerPreferences();
    preferences.capturePath = DefaultCapturePath();
    preferences.splitPath = DefaultSplitPath();
}

bool LoadPreferences() {
    TPreferencesKey key;
    if (!key.IsOpen())
        return false;
    ViewerPreferences& preferences = Preferences();
    for (const TTextValue& value : kTextValues)
        key.ReadText(value.name, value.limit, &(preferences.*value.field));
    for (const TNumberValue& value : kNumberValues)
        key.ReadNumber(value.name, &(preferences.*value.field));
    return true;
}

bool SavePreferences() {
    TPreferencesKey key;
    if (!key.IsOpen())
        return false;
    const ViewerPreferences& preferences = Preferences();
    bool written = true;
    for (const TTextValue& value : kTextValues)
        written = key.WriteText(value.name, preferences.*value.field) && written;
    for (const TNumberValue& value : kNumberValues)
        written = key.WriteNumber(value.name, preferences.*value.field) && written;
    return written;
}

bool SaveModelNamePreference() {
    TPreferencesKey key;
    return key.IsOpen() && key.WriteText("ModelName", Preferences().modelName);
}

int MixingVolume(std::int32_t volume) {
    long scaled = std::lround(static_cast<double>(volume) * kMixingVolumeMaximum / kLevelMaximum);
    return static_cast<int>(std::clamp<long>(scaled, 0, kMixingVolumeMaximum));
}

std::string CutToFieldWidth(const std::string& text, std::size_t limit) {
    if (text.size() <= limit)
        return text;
    std::size_t end = limit;
    // Back off to the start of the character the limit falls inside.
    while (end > 0 && IsUtf8Continuation(text[end]))
        --end;
    return text.substr(0, end);
}
