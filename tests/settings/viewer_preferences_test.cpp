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
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, KEY_ALL_ACCESS, &key) != 0)
            return nullptr;
        return key;
    }
    static void StoreText(const char* name, const std::string& text) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, &disposition),
                  0);
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
        RegCloseKey(key);
    }
    static void StoreNumber(const char* name, DWORD number) {
        HKEY key = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, &disposition),
                  0);
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
        RegCloseKey(key);
    }
    static bool StoredText(const char* name, std::string* text) {
        HKEY key = OpenKey();
        if (!key)
            return false;
        char buffer[2048] = {};
        DWORD size = sizeof buffer;
        DWORD type = 0;
        LONG status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        *text = buffer;
        return status == 0 && type == REG_SZ;
    }

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.File("config")};
    TScopedEnv m_data{"XDG_DATA_HOME", m_home.File("data")};
    ViewerPreferences m_defaults;
};

void ExpectSame(const ViewerPreferences& a, const ViewerPreferences& b) {
    EXPECT_EQ(a.modelName, b.modelName);
    EXPECT_EQ(a.capturePath, b.capturePath);
    EXPECT_EQ(a.splitPath, b.splitPath);
    EXPECT_EQ(a.language, b.language);
    EXPECT_EQ(a.channels, b.channels);
    EXPECT_EQ(a.loop, b.loop);
    EXPECT_EQ(a.alwaysTop, b.alwaysTop);
    EXPECT_EQ(a.frontRotate, b.frontRotate);
    EXPECT_EQ(a.rearRotate, b.rearRotate);
    EXPECT_EQ(a.brightness, b.brightness);
    EXPECT_EQ(a.contrast, b.contrast);
    EXPECT_EQ(a.chroma, b.chroma);
    EXPECT_EQ(a.volume, b.volume);
}

} // namespace

TEST_F(ViewerPreferencesTest, DefaultsLieUnderTheProgramDataFolderWhichIsMade) {
    const std::string folder = m_home.File("data") + "/Velor/VELOR player";
    EXPECT_EQ(ProgramDataFolder(), folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(m_defaults.capturePath, folder + "/Jpeg");
    EXPECT_EQ(m_defaults.splitPath, folder + "/Video");
    // The two default folders themselves wait until something is saved.
    EXPECT_FALSE(std::filesystem::exists(folder + "/Jpeg"));
    EXPECT_EQ(m_defaults.language, "japanese");
    EXPECT_EQ(m_defaults.modelName, "");
    EXPECT_EQ(m_defaults.channels, 2);
    EXPECT_EQ(m_defaults.loop, 0);
    EXPECT_EQ(m_defaults.brightness, 50);
    EXPECT_EQ(m_defaults.volume, 50);
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

TEST_F(ViewerPreferencesTest, FirstStartCreatesTheEmptyKeyAndKeepsTheDefaults) {
    ASSERT_EQ(OpenKey(), nullptr);
    ASSERT_TRUE(LoadPreferences());
    HKEY key = OpenKey();
    ASSERT_NE(key, nullptr);
    DWORD size = 0;
    EXPECT_NE(RegQueryValueExA(key, "Language", nullptr, nullptr, nullptr, &size), 0);
    RegCloseKey(key);
    ExpectSame(Preferences(), m_defaults);
}

TEST_F(ViewerPreferencesTest, SavedValuesLoadBackAndEmptyTextsKeepTheDefault) {
    ViewerPreferences& preferences = Preferences();
    preferences.modelName = "QRV-2CAM";
    preferences.splitPath = "/media/card/clips";
    preferences.language = "thai";
    preferences.channels = 1;
    preferences.loop = 1;
    preferences.alwaysTop = 1;
    preferences.frontRotate = kRotateFirstFlag | kRotateSecondFlag;
    preferences.rearRotate = kRotateSecondFlag;
    preferences.brightness = 10;
    preferences.contrast = 20;
    preferences.chroma = 30;
    preferences.volume = 100;
    ASSERT_TRUE(SavePreferences());
    StoreText("CapturePath", "");
    ViewerPreferences saved = preferences;

    SetDefaultPreferences();
    ASSERT_TRUE(LoadPreferences());
    saved.capturePath = m_defaults.capturePath;
    ExpectSame(Preferences(), saved);
}

TEST_F(ViewerPreferencesTest, NumbersOfTheWrongTypeKeepTheDefault) {
    StoreText("Volume", "80");
    StoreNumber("Brightness", 70);
    ASSERT_TRUE(LoadPreferences());
    EXPECT_EQ(Preferences().volume, 50);
    EXPECT_EQ(Preferences().brightness, 70);
}

TEST_F(ViewerPreferencesTest, OverLongTextsAreCutAtTheirFieldWidthOnWholeCharacters) {
    StoreText("ModelName", std::string(40, 'M'));
    StoreText("CapturePath", "/" + std::string(1100, 'p'));
    // 29 ASCII letters and a three-byte character that would end at byte 32.
    StoreText("Language", std::string(29, 'l') + "\xE0\xB9\x84");
    ASSERT_TRUE(LoadPreferences());
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
    std::string stored;
    ASSERT_TRUE(StoredText("Language", &stored));
    EXPECT_EQ(stored, "klingon");
}

TEST_F(ViewerPreferencesTest, TheModelNameAloneCanBeWritten) {
    Preferences().modelName = "ZX";
    Preferences().language = "english";
    ASSERT_TRUE(SaveModelNamePreference());
    std::string stored;
    ASSERT_TRUE(StoredText("ModelName", &stored));
    EXPECT_EQ(stored, "ZX");
    EXPECT_FALSE(StoredText("Language", &stored));
}

TEST(MixingVolumeTest, MapsOntoTheMixingScaleRoundedAndClamped) {
    EXPECT_EQ(MixingVolume(0), 0);
    EXPECT_EQ(MixingVolume(100), 128);
    EXPECT_EQ(MixingVolume(50), 64);
    EXPECT_EQ(MixingVolume(1), 1);   // 1.28
    EXPECT_EQ(MixingVolume(99), 127); // 126.72
    EXPECT_EQ(MixingVolume(-5), 0);
    EXPECT_EQ(MixingVolume(250), 128);
}
