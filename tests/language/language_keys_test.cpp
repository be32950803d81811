// Holds the language files of the build tree to every key the program asks
// for. Skips only while none of the files has landed.

#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "language/string_keys.h"
#include "language/string_table.h"

namespace {

bool AnyLanguageFileExists() {
    for (const char* language : string_keys::kLanguages) {
        if (std::filesystem::exists(LanguageFilePath(language)))
            return true;
    }
    return false;
}

bool IsDecimalNumber(const std::string& text) {
    if (text.empty())
        return false;
    std::size_t start = text[0] == '-' ? 1 : 0;
    return start < text.size() &&
           std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

class LanguageKeysTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (!AnyLanguageFileExists())
            GTEST_SKIP() << "no language files in " << LanguageFilePath("");
        ASSERT_TRUE(std::filesystem::exists(LanguageFilePath(GetParam())))
            << LanguageFilePath(GetParam());
        ASSERT_TRUE(LoadStringTable(GetParam()));
    }
    void TearDown() override { ReleaseStringTable(); }

    static void ExpectKey(const std::string& key) {
        std::string text;
        EXPECT_TRUE(GetString(key, &text, nullptr)) << key;
        EXPECT_FALSE(text.empty()) << key << " has no text";
    }
};

} // namespace

TEST_P(LanguageKeysTest, HoldsEveryFixedKey) {
    for (const auto& group : {std::vector<const char*>(string_keys::kButtons.begin(),
                                                       string_keys::kButtons.end()),
                              std::vector<const char*>(string_keys::kLabels.begin(),
                                                       string_keys::kLabels.end()),
                              std::vector<const char*>(string_keys::kMessages.begin(),
                                                       string_keys::kMessages.end()),
                              std::vector<const char*>(string_keys::kSliders.begin(),
                                                       string_keys::kSliders.end()),
                              std::vector<const char*>(string_keys::kViewerSettingCaptions.begin(),
                                                       string_keys::kViewerSettingCaptions.end())}) {
        for (const char* key : group)
            ExpectKey(key);
    }
    ExpectKey(TitleKey(string_keys::kJpegPath));
    for (const char* list : string_keys::kTwoChoiceLists) {
        EXPECT_GE(GetValueList(list, nullptr), 2) << list;
        ExpectKey(ValueKey(list, 0));
        ExpectKey(ValueKey(list, 1));
    }
    for (const char* key : string_keys::kButtonsWithPausedValue) {
        std::string value;
        GetString(key, nullptr, &value);
        EXPECT_FALSE(value.empty()) << key << " has no paused-state value";
    }
}

TEST_P(LanguageKeysTest, ListsEverySixLanguagesByIdentifier) {
    std::vector<StringEntry> list;
    GetValueList(string_keys::kLanguageList, &list);
    std::set<std::string> identifiers;
    for (const StringEntry& entry : list) {
        EXPECT_FALSE(entry.text.empty());
        identifiers.insert(entry.value);
    }
    std::set<std::string> expected(string_keys::kLanguages.begin(), string_keys::kLanguages.end());
    EXPECT_EQ(identifiers, expected);
}

TEST_P(LanguageKeysTest, ListsTheCameraModelsWithBothLayouts) {
    ASSERT_TRUE(GetString(TitleKey(string_keys::kModelList), nullptr, nullptr));
    std::vector<StringEntry> list;
    GetValueList(string_keys::kModelList, &list);
    std::set<std::string> names;
    bool extended = false, shortLayout = false;
    for (const StringEntry& entry : list) {
        bool unused = strcasecmp(entry.value.c_str(), "nouse") == 0;
        if (!unused)
            names.insert(entry.text);
        if (strcasecmp(entry.value.c_str(), "v3") == 0)
            extended = true;
        else if (!unused)
            shortLayout = true;
    }
    for (const char* model : {"QRV-1CAM", "PNTA-F", "QRV-2CAM", "ZX", "PNTA-FR"})
        EXPECT_TRUE(names.count(model)) << model;
    EXPECT_TRUE(extended);
    EXPECT_TRUE(shortLayout);
}

TEST_P(LanguageKeysTest, GivesEveryCameraSettingACaptionAndNumericChoices) {
    for (const char* item : string_keys::kCameraSettingItems) {
        std::string prefix = std::string(string_keys::kCameraSettingPrefix) + item;
        ExpectKey(TitleKey(prefix));
        std::vector<StringEntry> choices;
        // The date and time pickers edit "time_setting"; it needs no list.
        if (std::string(item) == "time_setting")
            continue;
        EXPECT_GE(GetValueList(prefix, &choices), 1) << prefix;
        for (const StringEntry& choice : choices) {
            EXPECT_TRUE(IsDecimalNumber(choice.value)) << prefix << ": \"" << choice.value << "\"";
            EXPECT_FALSE(choice.text.empty()) << prefix;
        }
    }
}

TEST_P(LanguageKeysTest, OffersTheValuesTheCameraResetStores) {
    struct Reset {
        const char* item;
        int value;
    };
    const Reset resets[] = {
        {"recording_mode", 0}, {"front_quality", 2},  {"rear_quality", 2},
        {"motion_sensitivity", 3}, {"drive_shock_level", 3}, {"parking_shock_level", 3},
        {"speaker_volume", 2}, {"recording_volume", 2}, {"lcd_time", 1},
        {"tv_out", 0},         {"osd", 1},            {"led", 0},
        {"temp_protect", 1},   {"overspeed_notice", 0}, {"night_revision", 1},
        {"wifi", 0},           {"adas_speed", 0},     {"adas_alarm", 0},
        {"forward_car_notify", 0}, {"timelaps_status", 0}, {"status_parking_mode", 0},
        {"cutted_voltage", 5}, {"language", 2},       {"time_zone", 9},
        {"save_channel", 0},   {"save_channel", 1},
    };
    for (const Reset& reset : resets) {
        std::vector<StringEntry> choices;
        GetValueList(std::string(string_keys::kCameraSettingPrefix) + reset.item, &choices);
        bool offered = std::any_of(choices.begin(), choices.end(), [&](const StringEntry& c) {
            return IsDecimalNumber(c.value) && std::atoi(c.value.c_str()) == reset.value;
        });
        EXPECT_TRUE(offered) << reset.item << " offers no choice " << reset.value;
    }
    // The cut-off list reaches past what old firmware stores in one field.
    std::vector<StringEntry> cutoff;
    GetValueList(std::string(string_keys::kCameraSettingPrefix) + "cutted_voltage", &cutoff);
    EXPECT_TRUE(std::any_of(cutoff.begin(), cutoff.end(),
                            [](const StringEntry& c) { return std::atoi(c.value.c_str()) > 5; }));
}

INSTANTIATE_TEST_SUITE_P(EachLanguage, LanguageKeysTest,
                         ::testing::ValuesIn(string_keys::kLanguages.begin(),
                                             string_keys::kLanguages.end()));
