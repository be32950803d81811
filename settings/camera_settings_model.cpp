#include "settings/camera_settings_model.h"

#include <strings.h>

#include <cstdlib>
#include <map>

#include "language/string_keys.h"
#include "language/string_table.h"
#include "language/wide_text.h"

namespace {

using TItemList = std::vector<int>;

struct TModel {
    // Keyed by the model name in lower case.
    std::map<std::string, ModelInfo> models;
    std::vector<SettingsItem> items;
    std::map<std::string, TItemList> firstPanelLists;
    std::map<std::string, TItemList> secondPanelLists;
};

TModel& Model() {
    static TModel model;
    return model;
}

const std::string kDefaultKey = "default";
const TItemList kNoItems;

const char* const kOneCameraModels[] = {"qrv-1cam", "pnta-f"};
const char* const kTwoCameraModels[] = {"qrv-2cam", "zx", "pnta-fr"};

// Items by index: front and rear quality, parking mode, the motion and shock
// levels, the two volumes, temperature protection, screen time and night
// correction; two-camera models add the channels recorded.
const TItemList kOneCameraItems = {1, 2, 28, 3, 4, 5, 6, 7, 22, 8, 16};
const TItemList kTwoCameraItems = {1, 2, 28, 3, 4, 5, 6, 7, 22, 8, 16, 14};
const TItemList kDefaultItems = {kEmptyItemSlot, kEmptyItemSlot};

const char* const kDateTimeItem = "time_setting";

// "v3" is the extended layout, "a10" the short one with its own code.
bool LayoutOfWord(const std::string& word, int* layout) {
    if (strcasecmp(word.c_str(), "nouse") == 0)
        return false;
    if (strcasecmp(word.c_str(), "v3") == 0)
        *layout = kExtendedLayout;
    else if (strcasecmp(word.c_str(), "a10") == 0)
        *layout = kShortLayoutA10;
    else
        *layout = kShortLayout;
    return true;
}

void RegisterModels(TModel* model) {
    model->models.emplace(kDefaultKey, ModelInfo{kDefaultModelName, kExtendedLayout});
    if (!GetString(TitleKey(string_keys::kModelList), nullptr, nullptr))
        return;
    std::vector<StringEntry> list;
    GetValueList(string_keys::kModelList, &list);
    for (const StringEntry& entry : list) {
        int layout = kShortLayout;
        if (!LayoutOfWord(entry.value, &layout))
            continue;
        model->models.emplace(LowerCase(entry.text), ModelInfo{entry.text, layout});
    }
}

void RegisterItemLists(TModel* model) {
    for (const char* name : kOneCameraModels)
        model->firstPanelLists.emplace(name, kOneCameraItems);
    for (const char* name : kTwoCameraModels)
        model->firstPanelLists.emplace(name, kTwoCameraItems);
    model->firstPanelLists.emplace(kDefaultKey, kDefaultItems);
    model->secondPanelLists.emplace(kDefaultKey, kDefaultItems);
}

SettingsItem BuildItem(const std::string& key) {
    SettingsItem item;
    item.key = key;
    item.field = FindSettingField(CameraSettings(), key);
    if (key == kDateTimeItem) {
        item.controlKind = kDateTimeControl;
        item.controlStyle = kDateTimePickerStyle;
    }
    const std::string prefix = std::string(string_keys::kCameraSettingPrefix) + key;
    std::string caption;
    if (!GetString(TitleKey(prefix), &caption, nullptr))
        return item;
    item.caption = Utf8ToWide(caption);
    std::vector<StringEntry> list;
    GetValueList(prefix, &list);
    for (const StringEntry& entry : list) {
        std::int32_t value =
            static_cast<std::int32_t>(std::strtol(entry.value.c_str(), nullptr, 10));
        item.choices.push_back({entry.text, value});
    }
    return item;
}

template <std::size_t N>
bool ContainsName(const char* const (&names)[N], const std::string& lower) {
    for (const char* name : names) {
        if (lower == name)
            return true;
    }
    return false;
}

const TItemList& ListOf(const std::map<std::string, TItemList>& lists, const std::string& model) {
    const TModel& all = Model();
    std::string key = LowerCase(model);
    if (!all.models.count(key) || !lists.count(key))
        key = kDefaultKey;
    auto found = lists.find(key);
    return found == lists.end() ? kNoItems : found->second;
}

} // namespace

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

void BuildCameraSettingsModel() {
    TModel& model = Model();
    model.items.clear();
    for (const char* key : string_keys::kCameraSettingItems)
        model.items.push_back(BuildItem(key));
    RegisterModels(&model);
    RegisterItemLists(&model);
}

void ReleaseCameraSettingsModel() {
    TModel& model = Model();
    model.models.clear();
    model.items.clear();
    model.firstPanelLists.clear();
    model.secondPanelLists.clear();
}

const ModelInfo* FindModelInfo(const std::string& name) {
    const auto& models = Model().models;
    auto found = models.find(LowerCase(name));
    if (found == models.end())
        found = models.find(kDefaultKey);
    return found == models.end() ? nullptr : &found->second;
}

const std::vector<SettingsItem>& SettingsItems() {
    return Model().items;
}

const std::vector<int>& FirstPanelItems(const std::string& model) {
    return ListOf(Model().firstPanelLists, model);
}

const std::vector<int>& SecondPanelItems(const std::string&) {
    // Every model's second panel holds only its own fixed controls.
    return ListOf(Model().secondPanelLists, kDefaultKey);
}

bool IsKnownCameraModel(const std::string& model) {
    std::string lower = LowerCase(model);
    return ContainsName(kOneCameraModels, lower) || ContainsName(kTwoCameraModels, lower);
}

bool IsTwoCameraModel(const std::string& model) {
    return ContainsName(kTwoCameraModels, LowerCase(model));
}
