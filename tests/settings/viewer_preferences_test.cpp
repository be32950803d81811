#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "language/string_table.h"
#include "platform/message_box.h"
#include "platform/registry.h"
#include "settings/preferred_language.h"
#include "settings/viewer_preferences.h"
#include "tests/language/language_folder.h"
#include "tests/support/temp_folder.h"

namespace {

class ViewerPreferencesTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDefaultPreferences();
        m_defaults = Preferences();
    }
    void TearDown() override {
        Preferences() = ViewerPreferences();
        ReleaseStringTable();
    }

    static HKEY OpenKey() {
        HKEY key = nullptr;
        return RegOpenKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, KEY_ALL_ACCESS, &key) == 0
                   ? key
                   : nullptr;
    }
    static void Store(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, &disposition),
                  0);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void StoreText(const char* name, const std::string& text) {
        Store(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    // The stored text, or "(none)" for a missing or non-text value.
    static std::string StoredText(const char* name) {
        HKEY key = OpenKey();
        char buffer[2048] = {};
        DWORD size = sizeof buffer, type = 0;
        const bool read = key && RegQueryValueExA(key, name, nullptr, &type,
                                                  reinterpret_cast<BYTE*>(buffer), &size) == 0;
        RegCloseKey(key);
        return read && type == REG_SZ ? buffer : "(none)";
    }

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.File("config")};
    TScopedEnv m_data{"XDG_DATA_HOME", m_home.File("data")};
    ViewerPreferences m_defaults;
};

auto Fields(const ViewerPreferences& p) {
    return std::tie(p.modelName, p.capturePath, p.splitPath, p.language, p.channels, p.loop,
                    p.alwaysTop, p.frontRotate, p.rearRotate, p.brightness, p.contrast, p.chroma,
                    p.volume);
}

} // namespace

TEST_F(ViewerPreferencesTest, DefaultsLieUnderTheProgramDataFolderWhichIsMade) {
    const std::string folder = m_home.File("data") + "/Velor/VELOR player";
    EXPECT_EQ(ProgramDataFolder(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    // The two default folders themselves wait until something is saved.
    EXPECT_FALSE(std::filesystem::exists(folder + "/Jpeg"));
    ViewerPreferences expected;
    expected.capturePath = folder + "/Jpeg";
    expected.splitPath = folder + "/Video";
    Preferences() = ViewerPreferences{"ZX", "/a", "/b", "thai", 1, 1, 1, 1, 1, 1, 1, 1, 1};
    SetDefaultPreferences();
    EXPECT_EQ(Fields(Preferences()), Fields(expected));
}

TEST_F(ViewerPreferencesTest, AFolderThatCannotBeMadeIsReportedAndThePathsStillBuilt) {
    std::ofstream(m_home.File("file")) << "in the way";
    TScopedEnv blocked("XDG_DATA_HOME", m_home.File("file"));
    StartRecordingMessageBoxes(IDOK);
    SetDefaultPreferences();
    std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    StopRecordingMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Exception");
    EXPECT_FALSE(boxes[0].text.empty());
    EXPECT_EQ(Preferences().capturePath, m_home.File("file") + "/Velor/VELOR player/Jpeg");
}

TEST_F(ViewerPreferencesTest, FirstStartCreatesTheEmptyKeyAndTheModelNameCanBeWrittenAlone) {
    ASSERT_EQ(OpenKey(), nullptr);
    ASSERT_TRUE(LoadPreferences());
    HKEY key = OpenKey();
    EXPECT_NE(key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(Fields(Preferences()), Fields(m_defaults));
    Preferences().modelName = "ZX";
    Preferences().language = "english";
    ASSERT_TRUE(SaveModelNamePreference());
    EXPECT_EQ(StoredText("ModelName"), "ZX");
    EXPECT_EQ(StoredText("Language"), "(none)");
}

TEST_F(ViewerPreferencesTest, SavedValuesLoadBackAndEmptyTextsKeepTheDefault) {
    ViewerPreferences& preferences = Preferences();
    preferences = ViewerPreferences{"QRV-2CAM",
                                    "/media/card/shots",
                                    "/media/card/clips",
                                    "thai",
                                    1,
                                    1,
                                    1,
                                    kRotateFirstFlag | kRotateSecondFlag,
                                    kRotateSecondFlag,
                                    10,
                                    20,
                                    30,
                                    100};
    ASSERT_TRUE(SavePreferences());
    StoreText("CapturePath", "");
    ViewerPreferences saved = preferences;

    SetDefaultPreferences();
    ASSERT_TRUE(LoadPreferences());
    saved.capturePath = m_defaults.capturePath;
    EXPECT_EQ(Fields(Preferences()), Fields(saved));
}

TEST_F(ViewerPreferencesTest,
       NumbersOfTheWrongTypeKeepTheDefaultAndLongTextsAreCutOnWholeCharacters) {
    StoreText("Volume", "80");
    const DWORD seventy = 70;
    Store("Brightness", REG_DWORD, &seventy, sizeof seventy);
    StoreText("ModelName", std::string(40, 'M'));
    StoreText("CapturePath", "/" + std::string(1100, 'p'));
    // 29 ASCII letters and a three-byte character that would end at byte 32.
    StoreText("Language", std::string(29, 'l') + "\xE0\xB9\x84");
    ASSERT_TRUE(LoadPreferences());
    EXPECT_EQ(Preferences().volume, 50);
    EXPECT_EQ(Preferences().brightness, 70);
    EXPECT_EQ(Preferences().modelName, std::string(31, 'M'));
    EXPECT_EQ(Preferences().capturePath, "/" + std::string(1022, 'p'));
    EXPECT_EQ(Preferences().language, std::string(29, 'l'));
}

TEST_F(ViewerPreferencesTest, AMissingLanguageFileLoadsTheFallbackAndKeepsTheIdentifier) {
    TLanguageFolder languages;
    languages.Write("japanese", "<button.ok text=\"了解\"/>\n");
    StoreText("Language", "klingon");
    ASSERT_TRUE(LoadPreferences());
    EXPECT_TRUE(LoadPreferredStringTable());
    std::string text;
    EXPECT_TRUE(GetString("button.ok", &text, nullptr));
    EXPECT_EQ(text, "了解");
    ASSERT_TRUE(SavePreferences());
    EXPECT_EQ(StoredText("Language"), "klingon");
}

TEST(MixingVolumeTest, MapsOntoTheMixingScaleRoundedAndClamped) {
    // 1.28 and 126.72 round to the nearest.
    for (auto [volume, mixing] :
         {std::pair{0, 0}, {100, 128}, {50, 64}, {1, 1}, {99, 127}, {-5, 0}, {250, 128}})
        EXPECT_EQ(MixingVolume(volume), mixing) << volume;
}
