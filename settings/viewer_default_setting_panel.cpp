#include "settings/viewer_default_setting_panel.h"

#include <strings.h>

#include <algorithm>

#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/shell_dialogs.h"
#include "ui/memory_dc_man.h"
#include "ui/selected_font.h"

namespace {

constexpr int Margin = 24;
constexpr int CaptionWidth = 150;
constexpr int RowHeight = 22;
constexpr int ChoiceColumn = 140;
constexpr int CheckTextLeft = 21;
constexpr int CheckTextGap = 6;
constexpr int FolderButtonWidth = 28;
constexpr int FolderButtonHeight = 22;
constexpr int FolderGap = 6;
constexpr int PathPadding = 6;
constexpr int LanguageWidth = 180;
constexpr int LanguageHeight = 24;
constexpr int LanguageRowHeight = 18;
constexpr int SliderHeight = 10;
constexpr int ValueWidth = 34;
constexpr int RuleHeight = 6;
constexpr int RuleWidth = 400;
constexpr int LevelMiddle = 50;
constexpr int LevelPageStep = 10;
constexpr const char* FolderImage = "resource/skin/controls/btn_fileselect_n.png";
constexpr const char* FolderOverImage = "resource/skin/controls/btn_fileselect_o.png";
constexpr const char* RuleImage = "resource/skin/dialogs/s_viewer_right_top_border.png";
constexpr const char* FolderTitle = "Select folder";
constexpr const char* LanguageList = "viewer_setting.language";
constexpr wchar_t Ellipsis[] = L"\u2026";
constexpr int FirstChoiceValue = 1;
constexpr int OneChannel = 1;
constexpr int TwoChannels = 2;

// Rows from the top of the panel.
constexpr int FolderTop = 16;
constexpr int FirstRuleTop = 50;
constexpr int DisplayTop = 64;
constexpr int RowPitch = 28;
constexpr int SecondRuleTop = 182;
constexpr int RotateHeadingTop = 194;
constexpr int FrontTop = 220;
constexpr int RotatePitch = 26;
constexpr int ThirdRuleTop = 276;
constexpr int AdjustHeadingTop = 288;
constexpr int FirstLevelTop = 318;
constexpr int LevelPitch = 26;
constexpr int FourthRuleTop = 424;
constexpr int VersionTop = 434;

constexpr const char* LevelTooltips[] = {"slider.brightness", "slider.contrast", "slider.chroma",
                                         "slider.volume"};

// A path's end (the folder's name) says most: a path too wide for its box
// loses its beginning instead.
std::wstring FitFromTheEnd(HDC dc, HFONT font, const std::wstring& text, int width) {
    if (TextWidth(dc, font, text) <= width)
        return text;
    for (std::size_t start = 1; start < text.size(); ++start) {
        std::wstring shorter = Ellipsis + text.substr(start);
        if (TextWidth(dc, font, shorter) <= width)
            return shorter;
    }
    return Ellipsis;
}

std::wstring ShortText(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

TViewerWorkingValues TViewerWorkingValues::FromPreferences(const ViewerPreferences& preferences) {
    TViewerWorkingValues values;
    values.capturePath = preferences.capturePath;
    values.choices[GroupDisplay] = preferences.channels == OneChannel ? 0 : 1;
    values.choices[GroupLoop] = preferences.loop == FirstChoiceValue ? 0 : 1;
    values.choices[GroupTop] = preferences.alwaysTop == FirstChoiceValue ? 0 : 1;
    const std::int32_t rotate[] = {preferences.frontRotate, preferences.rearRotate};
    for (int channel = 0; channel < ChannelCount; ++channel) {
        values.rotate[channel][0] = (rotate[channel] & kRotateFirstFlag) != 0;
        values.rotate[channel][1] = (rotate[channel] & kRotateSecondFlag) != 0;
    }
    values.levels = {preferences.brightness, preferences.contrast, preferences.chroma,
                     preferences.volume};
    return values;
}

TViewerWorkingValues TViewerWorkingValues::Defaults() {
    TViewerWorkingValues values;
    values.capturePath = DefaultCapturePath();
    values.choices = {1, 1, 1};
    values.levels = {LevelMiddle, LevelMiddle, LevelMiddle, LevelMiddle};
    return values;
}

void TViewerWorkingValues::StoreInto(ViewerPreferences* preferences) const {
    preferences->capturePath = capturePath;
    preferences->channels = choices[GroupDisplay] == 0 ? OneChannel : TwoChannels;
    preferences->loop = choices[GroupLoop] == 0 ? FirstChoiceValue : 0;
    preferences->alwaysTop = choices[GroupTop] == 0 ? FirstChoiceValue : 0;
    std::int32_t* rotate[] = {&preferences->frontRotate, &preferences->rearRotate};
    for (int channel = 0; channel < ChannelCount; ++channel)
        *rotate[channel] = (this->rotate[channel][0] ? kRotateFirstFlag : 0) |
                           (this->rotate[channel][1] ? kRotateSecondFlag : 0);
    preferences->brightness = levels[LevelBrightness];
    preferences->contrast = levels[LevelContrast];
    preferences->chroma = levels[LevelChroma];
    preferences->volume = levels[LevelVolume];
}

CViewerDefaultSettingPanel::CViewerDefaultSettingPanel(TViewerWorkingValues values,
                                                       const TSettingsFonts& fonts)
    : CSettingsPanel(ViewerPanelBackground, fonts), m_values(std::move(values)) {}

CViewerDefaultSettingPanel::~CViewerDefaultSettingPanel() {
    DestroyOwnWindow();
}

int CViewerDefaultSettingPanel::ControlLeft() const {
    return Margin + CaptionWidth;
}

int CViewerDefaultSettingPanel::ControlRight() const {
    return Width() - Margin;
}

void CViewerDefaultSettingPanel::OnInitPanel(LPARAM) {
    MakeFolderRow(FolderTop);
    AddRule(FirstRuleTop);
    MakeChoiceRow(GroupDisplay, "viewer_setting.display_mode", DisplayTop);
    MakeChoiceRow(GroupLoop, "viewer_setting.auto_loop", DisplayTop + RowPitch);
    MakeChoiceRow(GroupTop, "viewer_setting.always_top", DisplayTop + 2 * RowPitch);
    MakeLanguageRow(DisplayTop + 3 * RowPitch);
    AddRule(SecondRuleTop);
    AddHeading(TableTextW("viewer_setting.rotate.title"), Margin, RotateHeadingTop, ControlRight());
    MakeRotateRow(ChannelFront, "viewer_setting.rotate_front", FrontTop);
    MakeRotateRow(ChannelRear, "viewer_setting.rotate_rear", FrontTop + RotatePitch);
    AddRule(ThirdRuleTop);
    const int buttonLeft = ControlRight() - SettingsButtonWidth;
    AddHeading(TableTextW("viewer_setting.adjust.title"), Margin, AdjustHeadingTop,
               buttonLeft - Margin);
    MakeButton(m_resetColourButton, ViewerResetColourCommand, "button.reset_color",
               POINT{buttonLeft, AdjustHeadingTop - 3});
    MakeLevelRow(LevelBrightness, "viewer_setting.adjust_brightness.title", "slider.brightness",
                 FirstLevelTop);
    MakeLevelRow(LevelContrast, "viewer_setting.adjust_contrast.title", "slider.contrast",
                 FirstLevelTop + LevelPitch);
    MakeLevelRow(LevelChroma, "viewer_setting.adjust_chroma.title", "slider.chroma",
                 FirstLevelTop + 2 * LevelPitch);
    MakeLevelRow(LevelVolume, "viewer_setting.volume.title", "slider.volume",
                 FirstLevelTop + 3 * LevelPitch);
    AddRule(FourthRuleTop);
    Row("viewer_setting.version_build_date.title", VersionTop);
    m_labels.push_back(
        TLabelBox{ShortText(ViewerVersionText),
                  RECT{ControlLeft(), VersionTop, ControlRight(), VersionTop + RowHeight},
                  Fonts().body, SettingsDimTextColour});
}

void CViewerDefaultSettingPanel::Row(const char* captionKey, int top) {
    m_labels.push_back(TLabelBox{TableTextW(captionKey),
                                 RECT{Margin, top, ControlLeft() - CheckTextGap, top + RowHeight},
                                 Fonts().body});
}

void CViewerDefaultSettingPanel::AddRule(int top) {
    const int left = (Width() - RuleWidth) / 2;
    m_rules.push_back(RECT{left, top, left + RuleWidth, top + RuleHeight});
}

void CViewerDefaultSettingPanel::MakeFolderRow(int top) {
    Row("viewer_setting.jpeg_path.title", top);
    const int buttonLeft = ControlRight() - FolderButtonWidth;
    m_pathBox = RECT{ControlLeft(), top, buttonLeft - FolderGap, top + RowHeight};
    std::string tooltip;
    GetString("label.file_split_select", &tooltip, nullptr);
    TActButtonOptions options;
    options.parent = hWnd;
    options.controlId = ViewerFolderCommand;
    options.position = POINT{buttonLeft, top + (RowHeight - FolderButtonHeight) / 2};
    options.size = SIZE{FolderButtonWidth, FolderButtonHeight};
    options.normalPath = FolderImage;
    options.overPath = FolderOverImage;
    options.background = background.released ? nullptr : background.dc;
    options.tooltip = tooltip.c_str();
    m_folderButton.Create(options);
}

void CViewerDefaultSettingPanel::AddCheckItem(const char* key, int index, int left, int top,
                                              UINT state) {
    const std::wstring text = TableTextW(ValueKey(key, index));
    TCheckBoxItem item(text, Fonts().body, state);
    HDC dc = GetDC(hWnd);
    item.Layout(dc, RECT{left, top + (RowHeight - 13) / 2, left + ChoiceColumn, top + RowHeight});
    ReleaseDC(hWnd, dc);
    m_items.push_back(item);
    m_labels.push_back(TLabelBox{
        text, RECT{left + CheckTextLeft, top, left + ChoiceColumn - CheckTextGap, top + RowHeight},
        Fonts().body, SettingsTextColour, TTextFlow::SingleLine, DT_LEFT, TTextOwner::Control});
}

void CViewerDefaultSettingPanel::MakeChoiceRow(TViewerChoiceGroup group, const char* key, int top) {
    Row(TitleKey(key).c_str(), top);
    for (int choice = 0; choice < 2; ++choice)
        AddCheckItem(key, choice, ControlLeft() + choice * ChoiceColumn, top,
                     m_values.choices[group] == choice ? CheckBoxChoiceOn : CheckBoxChoiceOff);
}

void CViewerDefaultSettingPanel::MakeRotateRow(TViewerChannel channel, const char* key, int top) {
    Row(TitleKey(key).c_str(), top);
    for (int box = 0; box < 2; ++box)
        AddCheckItem(key, box, ControlLeft() + box * ChoiceColumn, top,
                     m_values.rotate[channel][box] ? CheckBoxTickOn : CheckBoxTickOff);
}

void CViewerDefaultSettingPanel::MakeLanguageRow(int top) {
    Row(TitleKey(LanguageList).c_str(), top);
    std::vector<StringEntry> languages;
    GetValueList(LanguageList, &languages);
    int selected = -1;
    for (const StringEntry& entry : languages) {
        if (strcasecmp(entry.value.c_str(), Preferences().language.c_str()) == 0)
            selected = static_cast<int>(m_languageIds.size());
        m_languageIds.push_back(entry.value);
        m_language.AddItem(entry.text);
    }
    TComboBoxOptions options;
    options.parent = hWnd;
    const int comboTop = top + (RowHeight - LanguageHeight) / 2;
    options.rect =
        RECT{ControlLeft(), comboTop, ControlLeft() + LanguageWidth, comboTop + LanguageHeight};
    options.font = Fonts().body;
    options.readOnly = true;
    options.rowHeight = LanguageRowHeight;
    // Counted from the top of the field.
    options.listHeight =
        LanguageHeight +
        static_cast<int>(std::max<std::size_t>(languages.size(), 1)) * LanguageRowHeight + 4;
    if (!m_language.Create(options))
        return;
    m_language.Select(selected);
}

void CViewerDefaultSettingPanel::MakeLevelRow(TViewerLevel level, const char* captionKey,
                                              const char* tooltipKey, int top) {
    Row(captionKey, top);
    const int valueLeft = ControlRight() - ValueWidth;
    m_levelLabels[level] = m_labels.size();
    m_labels.push_back(TLabelBox{L"", RECT{valueLeft, top, ControlRight(), top + RowHeight},
                                 Fonts().body, SettingsTextColour, TTextFlow::SingleLine,
                                 DT_RIGHT});
    std::string tooltip;
    GetString(tooltipKey, &tooltip, nullptr);
    auto slider = std::make_unique<CSliderBarEx>();
    TSliderOptions options;
    options.parent = hWnd;
    const int sliderTop = top + (RowHeight - SliderHeight) / 2;
    options.rect =
        RECT{ControlLeft(), sliderTop, valueLeft - CheckTextGap, sliderTop + SliderHeight};
    options.controlId = ViewerResetColourCommand + 1 + level;
    options.look = ViewerSliderLook;
    options.tooltip = tooltip.c_str();
    if (!slider->Create(options))
        return;
    slider->SetRange(0, kLevelMaximum);
    slider->SetPageStep(LevelPageStep);
    slider->SetPosition(m_values.levels[level]);
    m_levels[level] = std::move(slider);
    ShowLevel(level, m_levels[level]->Position());
}

void CViewerDefaultSettingPanel::ShowLevel(TViewerLevel level, int position) {
    m_values.levels[level] = position;
    TLabelBox& label = m_labels[m_levelLabels[level]];
    label.text = ShortText(std::to_string(position));
    InvalidateRect(hWnd, &label.box, FALSE);
}

TViewerWorkingValues CViewerDefaultSettingPanel::Values() const {
    TViewerWorkingValues values = m_values;
    for (int level = 0; level < LevelCount; ++level) {
        if (m_levels[level])
            values.levels[level] = m_levels[level]->Position();
    }
    return values;
}

void CViewerDefaultSettingPanel::SetValues(const TViewerWorkingValues& values) {
    m_values = values;
    ShowChoices();
    for (int level = 0; level < LevelCount; ++level) {
        if (m_levels[level]) {
            m_levels[level]->SetPosition(values.levels[level]);
            ShowLevel(static_cast<TViewerLevel>(level), m_levels[level]->Position());
        }
    }
    InvalidateRect(hWnd, nullptr, FALSE);
}

void CViewerDefaultSettingPanel::ShowChoices() {
    for (int group = 0; group < GroupCount; ++group) {
        for (int choice = 0; choice < 2; ++choice)
            m_items[ChoiceIndex(static_cast<TViewerChoiceGroup>(group), choice)].SetState(
                m_values.choices[group] == choice ? CheckBoxChoiceOn : CheckBoxChoiceOff);
    }
    for (int channel = 0; channel < ChannelCount; ++channel) {
        for (int box = 0; box < 2; ++box)
            m_items[RotateIndex(static_cast<TViewerChannel>(channel), box)].SetState(
                m_values.rotate[channel][box] ? CheckBoxTickOn : CheckBoxTickOff);
    }
}

POINT CViewerDefaultSettingPanel::ChoicePoint(TViewerChoiceGroup group, int choice) const {
    const RECT& rect = m_items[ChoiceIndex(group, choice)].Rect();
    return POINT{rect.left + 6, (rect.top + rect.bottom) / 2};
}

POINT CViewerDefaultSettingPanel::RotatePoint(TViewerChannel channel, int box) const {
    const RECT& rect = m_items[RotateIndex(channel, box)].Rect();
    return POINT{rect.left + 6, (rect.top + rect.bottom) / 2};
}

void CViewerDefaultSettingPanel::OnLButtonDown(WPARAM, POINT point) {
    for (int group = 0; group < GroupCount; ++group) {
        for (int choice = 0; choice < 2; ++choice) {
            const RECT& rect =
                m_items[ChoiceIndex(static_cast<TViewerChoiceGroup>(group), choice)].Rect();
            if (PtInRect(&rect, point))
                m_values.choices[group] = choice;
        }
    }
    for (int channel = 0; channel < ChannelCount; ++channel) {
        for (int box = 0; box < 2; ++box) {
            const RECT& rect =
                m_items[RotateIndex(static_cast<TViewerChannel>(channel), box)].Rect();
            if (PtInRect(&rect, point))
                m_values.rotate[channel][box] = !m_values.rotate[channel][box];
        }
    }
    ShowChoices();
    InvalidateRect(hWnd, nullptr, FALSE);
}

void CViewerDefaultSettingPanel::OnPaint(HDC dc) {
    CSettingsPanel::OnPaint(dc);
    for (const RECT& rule : m_rules)
        DrawSkinPicture(dc, dc, rule, RuleImage);
    FillSolid(dc, m_pathBox, SettingsEdgeColour);
    const RECT field{m_pathBox.left + 1, m_pathBox.top + 1, m_pathBox.right - 1,
                     m_pathBox.bottom - 1};
    FillSolid(dc, field, SettingsFieldColour);
    RECT text{field.left + PathPadding, field.top, field.right - PathPadding, field.bottom};
    const std::wstring shown =
        FitFromTheEnd(dc, Fonts().body, Utf8ToWide(m_values.capturePath), text.right - text.left);
    TSelectedFont font(dc, Fonts().body);
    SetTextColor(dc, SettingsTextColour);
    DrawTextW(dc, shown.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, Fonts().body);
    for (const TCheckBoxItem& item : m_items)
        item.Paint(dc, CheckBoxAtlas());
}

void CViewerDefaultSettingPanel::PickFolder() {
    BROWSEINFOA request;
    request.hwndOwner = hWnd;
    request.lpszTitle = FolderTitle;
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_VALIDATE;
    request.initialFolder = m_values.capturePath.c_str();
    std::string chosen;
    if (!SHBrowseForFolderA(&request, &chosen))
        return;
    m_values.capturePath = CutToFieldWidth(chosen, kPathLimit);
    InvalidateRect(hWnd, &m_pathBox, FALSE);
}

void CViewerDefaultSettingPanel::OnCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
    case ViewerFolderCommand:
        PickFolder();
        break;
    case ViewerResetColourCommand:
        for (int level = 0; level < LevelCount; ++level) {
            if (m_levels[level]) {
                m_levels[level]->SetPosition(LevelMiddle);
                ShowLevel(static_cast<TViewerLevel>(level), LevelMiddle);
            }
        }
        break;
    default:
        break;
    }
}

void CViewerDefaultSettingPanel::ChooseLanguage(int index) {
    std::vector<StringEntry> languages;
    GetValueList(LanguageList, &languages);
    if (index < 0 || index >= static_cast<int>(languages.size()))
        return;
    const std::string& language = languages[static_cast<std::size_t>(index)].value;
    if (language.empty())
        return;
    Preferences().language = CutToFieldWidth(language, kLanguageLimit);
    LoadStringTable(Preferences().language);
    // The dialog lays everything out again with the new texts once this
    // notification has unwound.
    PostMessageA(GetParent(hWnd), WM_VIEWER_LANGUAGE_CHANGED, static_cast<WPARAM>(index), 0);
}

LRESULT CViewerDefaultSettingPanel::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMBO_CHOICE && reinterpret_cast<HWND>(lParam) == m_language.hWnd) {
        ChooseLanguage(static_cast<int>(wParam));
        return 0;
    }
    if (message != WM_SLIDER_CHANGING && message != WM_SLIDER_SET)
        return 0;
    const int level = static_cast<int>(wParam) - ViewerResetColourCommand - 1;
    if (level >= 0 && level < LevelCount)
        ShowLevel(static_cast<TViewerLevel>(level), static_cast<int>(lParam));
    return 0;
}
