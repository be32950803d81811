// The six language files as the build tree holds them: read the way the
// string table reads them, and held to what the program and the camera
// settings need from them.

#include <gtest/gtest.h>
#include <strings.h>
#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace {

const char* const kLanguages[] = {
    "english", "japanese", "korean", "simplifiedChinese", "traditionalChinese", "thai",
};

// The callers of the string table draw at most this many UTF-16 characters;
// a longer text comes out empty.
constexpr std::size_t kLongestShownText = 255;
// Model names and language identifiers live in 32-byte preference fields.
constexpr std::size_t kLongestPreferenceText = 31;

const char* const kCameraSettingItems[] = {
    "recording_mode",    "front_quality",      "rear_quality",      "motion_sensitivity",
    "drive_shock_level", "parking_shock_level", "speaker_volume",   "recording_volume",
    "lcd_time",          "tv_out",             "osd",               "led",
    "cutted_voltage",    "cutoff_vol_time",    "save_channel",      "overspeed_notice",
    "night_revision",    "language",           "wifi",              "adas_speed",
    "adas_alarm",        "forward_car_notify", "temp_protect",      "time_setting",
    "viewer_time_apply", "time_zone",          "isdst",             "timelaps_status",
    "status_parking_mode",
};

const char* const kTwoChoiceLists[] = {
    "viewer_setting.always_top", "viewer_setting.auto_loop", "viewer_setting.display_mode",
    "viewer_setting.rotate_front", "viewer_setting.rotate_rear",
};

struct Entry {
    std::string text;
    std::string value;
};

struct LanguageFile {
    std::string language;
    std::string error;  // empty when the file was read
    std::vector<std::string> keys;  // element keys in document order
    std::map<std::string, Entry> entries;  // first occurrence of each key

    const Entry* Find(const std::string& key) const {
        auto found = entries.find(key);
        return found == entries.end() ? nullptr : &found->second;
    }
    // The option list under `prefix`, up to the first missing index.
    std::vector<Entry> List(const std::string& prefix) const {
        std::vector<Entry> list;
        while (const Entry* entry = Find(prefix + ".value_" + std::to_string(list.size())))
            list.push_back(*entry);
        return list;
    }
};

std::string LanguageFilePath(const std::string& language) {
    return ResourceFolder() + "/language/" + language + ".xml";
}

LanguageFile ReadLanguageFile(const std::string& language) {
    LanguageFile file;
    file.language = language;
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument document(LanguageFilePath(language).c_str());
    if (!document.LoadFile()) {
        file.error = std::string(document.ErrorDesc()) + " at line " +
                     std::to_string(document.ErrorRow());
        return file;
    }
    const TiXmlElement* root = document.RootElement();
    if (!root || strcasecmp(root->Value(), "STRINGS") != 0) {
        file.error = "root is not STRINGS";
        return file;
    }
    for (const TiXmlNode* node = root->FirstChild(); node; node = node->NextSibling()) {
        const TiXmlElement* element = node->ToElement();
        if (!element)
            continue;
        const char* text = element->Attribute("text");
        const char* value = element->Attribute("value");
        file.keys.push_back(element->Value());
        file.entries.emplace(element->Value(), Entry{text ? text : "", value ? value : ""});
    }
    return file;
}

const std::vector<LanguageFile>& AllFiles() {
    static const std::vector<LanguageFile> files = [] {
        std::vector<LanguageFile> read;
        for (const char* language : kLanguages)
            read.push_back(ReadLanguageFile(language));
        return read;
    }();
    return files;
}

const LanguageFile& English() { return AllFiles().front(); }

// Code points of a UTF-8 text; nullopt when the bytes are not UTF-8.
std::optional<std::u32string> DecodeUtf8(const std::string& bytes) {
    std::u32string out;
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3
                                 : (lead >> 3) == 30  ? 4 : 0;
        if (length == 0 || i + length > bytes.size())
            return std::nullopt;
        char32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next >> 6) != 2)
                return std::nullopt;
            code = (code << 6) | (next & 0x3F);
        }
        out.push_back(code);
        i += length;
    }
    return out;
}

std::size_t Utf16Length(const std::u32string& text) {
    std::size_t length = 0;
    for (char32_t code : text)
        length += code > 0xFFFF ? 2 : 1;
    return length;
}

bool IsWhiteSpace(char32_t code) { return code == ' ' || code == 0x3000 || code == 0xA0; }

bool IsDecimalNumber(const std::string& text) {
    std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    return start < text.size() && std::all_of(text.begin() + static_cast<std::ptrdiff_t>(start),
                                              text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string ListPrefixOf(const std::string& key, int* index) {
    std::size_t mark = key.rfind(".value_");
    if (mark == std::string::npos || !IsDecimalNumber(key.substr(mark + 7)) || key[mark + 7] == '-')
        return "";
    *index = std::atoi(key.c_str() + mark + 7);
    return key.substr(0, mark);
}

// Every option list that a file holds, by prefix, with the indices present.
std::map<std::string, std::set<int>> ListIndices(const LanguageFile& file) {
    std::map<std::string, std::set<int>> lists;
    for (const std::string& key : file.keys) {
        int index = 0;
        std::string prefix = ListPrefixOf(key, &index);
        if (!prefix.empty())
            lists[prefix].insert(index);
    }
    return lists;
}

class LanguageFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const LanguageFile& file : AllFiles())
            ASSERT_TRUE(file.error.empty()) << LanguageFilePath(file.language) << ": " << file.error;
    }
};

TEST_F(LanguageFilesTest, EachKeyOnceAndTheSameKeysInEveryLanguage) {
    std::set<std::string> englishKeys(English().keys.begin(), English().keys.end());
    ASSERT_FALSE(englishKeys.empty());
    for (const LanguageFile& file : AllFiles()) {
        std::set<std::string> seen;
        for (const std::string& key : file.keys)
            EXPECT_TRUE(seen.insert(key).second) << file.language << ": " << key << " twice";
        for (const std::string& key : englishKeys)
            EXPECT_TRUE(seen.count(key)) << file.language << " lacks " << key;
        for (const std::string& key : seen)
            EXPECT_TRUE(englishKeys.count(key)) << file.language << " has extra " << key;
    }
}

TEST_F(LanguageFilesTest, EveryTextIsShowableAsItStands) {
    for (const LanguageFile& file : AllFiles()) {
        for (const auto& [key, entry] : file.entries) {
            std::optional<std::u32string> text = DecodeUtf8(entry.text);
            ASSERT_TRUE(text) << file.language << ": " << key << " is not UTF-8";
            ASSERT_TRUE(DecodeUtf8(entry.value)) << file.language << ": " << key;
            EXPECT_FALSE(text->empty()) << file.language << ": " << key << " has no text";
            if (text->empty())
                continue;
            EXPECT_FALSE(IsWhiteSpace(text->front()) || IsWhiteSpace(text->back()))
                << file.language << ": " << key << " has stray spaces: \"" << entry.text << "\"";
            EXPECT_TRUE(std::none_of(text->begin(), text->end(), [](char32_t c) { return c < 0x20; }))
                << file.language << ": " << key << " has a control character";
            EXPECT_LE(Utf16Length(*text), kLongestShownText) << file.language << ": " << key;
        }
    }
}

// A gap ends a list early, and a value that differs between languages makes
// the choice store something else after a change of language.
TEST_F(LanguageFilesTest, OptionListsAreUnbrokenAndMeanTheSameInEveryLanguage) {
    for (const LanguageFile& file : AllFiles()) {
        for (const auto& [prefix, indices] : ListIndices(file)) {
            EXPECT_EQ(static_cast<std::size_t>(*indices.rbegin()) + 1, indices.size())
                << file.language << ": " << prefix << " has a gap";
            std::vector<Entry> list = file.List(prefix);
            std::vector<Entry> english = English().List(prefix);
            ASSERT_EQ(list.size(), english.size()) << file.language << ": " << prefix;
            for (std::size_t i = 0; i < list.size(); ++i)
                EXPECT_EQ(list[i].value, english[i].value) << file.language << ": " << prefix << " " << i;
        }
    }
}

TEST_F(LanguageFilesTest, TwoChoiceListsHoldExactlyTwoChoices) {
    for (const LanguageFile& file : AllFiles()) {
        for (const char* list : kTwoChoiceLists)
            EXPECT_EQ(file.List(list).size(), 2u) << file.language << ": " << list;
        EXPECT_TRUE(file.Find("viewer_setting.jpeg_path.title")) << file.language;
    }
}

TEST_F(LanguageFilesTest, FrameStepButtonsCarryThePausedStateText) {
    for (const LanguageFile& file : AllFiles()) {
        for (const char* key : {"button.prev_frame", "button.next_frame"}) {
            const Entry* entry = file.Find(key);
            ASSERT_TRUE(entry) << file.language << ": " << key;
            EXPECT_FALSE(entry->value.empty()) << file.language << ": " << key;
            EXPECT_NE(entry->value, entry->text) << file.language << ": " << key;
        }
    }
}

TEST_F(LanguageFilesTest, CameraSettingsItemsHaveCaptionsAndDistinctNumericCodes) {
    std::set<std::string> items(std::begin(kCameraSettingItems), std::end(kCameraSettingItems));
    for (const LanguageFile& file : AllFiles()) {
        for (const std::string& item : items) {
            std::string prefix = "black_setting." + item;
            EXPECT_TRUE(file.Find(prefix + ".title")) << file.language << ": " << prefix;
            std::vector<Entry> choices = file.List(prefix);
            EXPECT_FALSE(choices.empty()) << file.language << ": " << prefix;
            std::set<int> codes;
            for (const Entry& choice : choices) {
                ASSERT_TRUE(IsDecimalNumber(choice.value))
                    << file.language << ": " << prefix << " \"" << choice.value << "\"";
                // The dialog selects the first choice whose code matches.
                EXPECT_TRUE(codes.insert(std::atoi(choice.value.c_str())).second)
                    << file.language << ": " << prefix << " repeats " << choice.value;
            }
        }
        // A misspelt item key would be looked up by nobody.
        for (const std::string& key : file.keys) {
            if (key.rfind("black_setting.", 0) != 0)
                continue;
            std::string rest = key.substr(14);
            std::string item = rest.substr(0, rest.find('.'));
            EXPECT_TRUE(items.count(item)) << file.language << ": " << key;
        }
    }
}

std::set<int> Codes(const LanguageFile& file, const std::string& item) {
    std::set<int> codes;
    for (const Entry& choice : file.List("black_setting." + item))
        codes.insert(std::atoi(choice.value.c_str()));
    return codes;
}

TEST_F(LanguageFilesTest, CameraChoicesOfferWhatTheResetStores) {
    const std::pair<const char*, int> resets[] = {
        {"recording_mode", 0},     {"front_quality", 2},       {"rear_quality", 2},
        {"motion_sensitivity", 3}, {"drive_shock_level", 3},   {"parking_shock_level", 3},
        {"speaker_volume", 2},     {"recording_volume", 2},    {"lcd_time", 1},
        {"tv_out", 0},             {"osd", 1},                 {"led", 0},
        {"temp_protect", 1},       {"overspeed_notice", 0},    {"night_revision", 1},
        {"wifi", 0},               {"adas_speed", 0},          {"adas_alarm", 0},
        {"forward_car_notify", 0}, {"timelaps_status", 0},     {"status_parking_mode", 0},
        {"cutted_voltage", 5},     {"cutoff_vol_time", 5},     {"language", 2},
        {"time_zone", 9},          {"save_channel", 0},        {"save_channel", 1},
        // A volume of 0 switches the speaker and the sound recording off.
        {"speaker_volume", 0},     {"recording_volume", 0},
    };
    for (const LanguageFile& file : AllFiles()) {
        for (const auto& [item, code] : resets)
            EXPECT_TRUE(Codes(file, item).count(code)) << file.language << ": " << item << " " << code;
        // Old firmware keeps at most 5 in one field; the rest goes elsewhere.
        for (const char* cutoff : {"cutted_voltage", "cutoff_vol_time"}) {
            std::set<int> codes = Codes(file, cutoff);
            EXPECT_TRUE(!codes.empty() && *codes.rbegin() > 5) << file.language << ": " << cutoff;
        }
    }
}

TEST_F(LanguageFilesTest, ModelListNamesTheKnownCamerasWithBothLayouts) {
    const std::set<std::string> layoutWords = {"v3", "a10", "nouse"};
    for (const LanguageFile& file : AllFiles()) {
        ASSERT_TRUE(file.Find("viewer_setting.model.title")) << file.language;
        std::vector<Entry> models = file.List("viewer_setting.model");
        std::vector<Entry> english = English().List("viewer_setting.model");
        std::set<std::string> used, lowerNames;
        bool extended = false, shortLayout = false;
        for (std::size_t i = 0; i < models.size(); ++i) {
            const Entry& model = models[i];
            // The names are the cameras' own and key the model table.
            EXPECT_EQ(model.text, english[i].text) << file.language;
            EXPECT_LE(model.text.size(), kLongestPreferenceText) << model.text;
            std::string lower = model.text, word = model.value;
            std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
            std::transform(word.begin(), word.end(), word.begin(), ::tolower);
            EXPECT_TRUE(lowerNames.insert(lower).second) << file.language << ": " << model.text;
            EXPECT_TRUE(layoutWords.count(word)) << file.language << ": " << model.value;
            if (word == "nouse")
                continue;
            used.insert(model.text);
            (word == "v3" ? extended : shortLayout) = true;
        }
        for (const char* name : {"QRV-1CAM", "PNTA-F", "QRV-2CAM", "ZX", "PNTA-FR"})
            EXPECT_TRUE(used.count(name)) << file.language << ": " << name;
        EXPECT_TRUE(extended) << file.language;
        EXPECT_TRUE(shortLayout) << file.language;
    }
}

TEST_F(LanguageFilesTest, LanguageListOffersEverySixFilesByIdentifier) {
    const std::set<std::string> expected(std::begin(kLanguages), std::end(kLanguages));
    for (const LanguageFile& file : AllFiles()) {
        std::set<std::string> offered;
        for (const Entry& entry : file.List("viewer_setting.language")) {
            EXPECT_LE(entry.value.size(), kLongestPreferenceText);
            EXPECT_TRUE(offered.insert(entry.value).second) << file.language << ": " << entry.value;
            EXPECT_TRUE(std::filesystem::exists(LanguageFilePath(entry.value))) << entry.value;
        }
        EXPECT_EQ(offered, expected) << file.language;
    }
}

// What the user reads must be in the file's own language: a text left in
// English (or in the wrong script) is caught here.
bool IsUserFacingKey(const std::string& key) {
    for (const char* group : {"button.", "label.", "message.", "slider."}) {
        if (key.rfind(group, 0) == 0)
            return true;
    }
    return key.size() > 6 && key.compare(key.size() - 6, 6, ".title") == 0;
}

bool InRange(char32_t code, char32_t first, char32_t last) { return code >= first && code <= last; }

bool IsHan(char32_t c) { return InRange(c, 0x4E00, 0x9FFF); }

bool HasScriptOf(const std::string& language, const std::u32string& text) {
    return std::any_of(text.begin(), text.end(), [&](char32_t c) {
        if (language == "japanese")
            return InRange(c, 0x3040, 0x30FF) || IsHan(c);
        if (language == "korean")
            return InRange(c, 0xAC00, 0xD7A3);
        if (language == "thai")
            return InRange(c, 0x0E00, 0x0E7F);
        return IsHan(c);
    });
}

TEST_F(LanguageFilesTest, UserFacingTextsAreWrittenInTheirLanguage) {
    // Names that every language writes the same way.
    const std::map<std::string, std::set<std::string>> sameEverywhere = {
        {"japanese", {"button.ok", "black_setting.wifi.title"}},
        {"korean", {"black_setting.wifi.title"}},
        {"simplifiedChinese", {"black_setting.wifi.title"}},
        {"traditionalChinese", {"black_setting.wifi.title"}},
        {"thai", {"black_setting.wifi.title"}},
    };
    for (const LanguageFile& file : AllFiles()) {
        for (const auto& [key, entry] : file.entries) {
            if (!IsUserFacingKey(key))
                continue;
            std::u32string text = DecodeUtf8(entry.text).value_or(U"");
            if (file.language == "english") {
                EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char32_t c) { return c < 0x80; }))
                    << key << ": " << entry.text;
                continue;
            }
            if (sameEverywhere.at(file.language).count(key))
                continue;
            EXPECT_TRUE(HasScriptOf(file.language, text)) << file.language << ": " << key << ": "
                                                          << entry.text;
        }
    }
}

// Simplified and traditional Chinese share most characters; these pairs
// differ, and a file holding the other set's form has mixed the two.
TEST_F(LanguageFilesTest, ChineseFilesKeepToTheirOwnCharacterSet) {
    const std::u32string simplified = U"设录画显关开视频时间动择闭认车声单图储护过览级语统号续夹删无质扬进帧暂现页请选电压对饱调节镜转";
    const std::u32string traditional = U"設錄畫顯關開視頻時間動擇閉認車聲單圖儲護過覽級語統號續夾刪無質揚進幀暫現頁請選電壓對飽調節鏡轉";
    ASSERT_EQ(simplified.size(), traditional.size());
    for (const LanguageFile& file : AllFiles()) {
        const std::u32string* foreign = file.language == "simplifiedChinese"    ? &traditional
                                        : file.language == "traditionalChinese" ? &simplified
                                                                                : nullptr;
        if (!foreign)
            continue;
        for (const auto& [key, entry] : file.entries) {
            // Language names are written in their own script.
            if (!IsUserFacingKey(key))
                continue;
            std::u32string text = DecodeUtf8(entry.text).value_or(U"");
            for (char32_t c : text)
                EXPECT_EQ(foreign->find(c), std::u32string::npos)
                    << file.language << ": " << key << ": " << entry.text;
        }
    }
}

}  // namespace
