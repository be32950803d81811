#include "settings/blackbox_setup_dlg.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "language/string_table.h"
#include "settings/camera_settings_model.h"
#include "settings/viewer_preferences.h"
#include "ui/message_box_dlg.h"
#include "ui/selected_font.h"

namespace {

constexpr int DialogWidth = 560;
constexpr int DialogHeight = 540;
constexpr TSkinnedTemplate CameraTemplate{CameraSettingsTemplateId, DialogWidth, DialogHeight};
constexpr int Margin = 16;
constexpr int TabTop = 48;
constexpr int TabWidth = 130;
constexpr int TabHeight = 30;
constexpr int TabGap = 4;
constexpr int TabTextInset = 8;
constexpr int PanelTop = 78;
constexpr int PanelBottom = 487;
constexpr int ButtonTop = 501;
constexpr int ButtonGap = 8;
constexpr const char* DialogImage = "resource/skin/dialogs/s_setup.png";
constexpr const char* TabOnImage = "resource/skin/dialogs/s_setup_tap_on.png";
constexpr const char* TabOffImage = "resource/skin/dialogs/s_setup_tap_off.png";
constexpr const char* DialogTitleKey = "button.block_setting";
constexpr const char* CannotOpenFormat = "%s Can not open file.";

void TellCannotOpen(HWND owner, const std::string& path) {
    std::vector<char> text(path.size() + std::strlen(CannotOpenFormat) + 1);
    std::snprintf(text.data(), text.size(), CannotOpenFormat, path.c_str());
    ShowMessageBox(owner, text.data(), nullptr, MB_OK);
}

} // namespace

CBlackboxSetupDlg::CBlackboxSetupDlg() : CSkinnedDlg(CameraTemplate) {}

CBlackboxSetupDlg::~CBlackboxSetupDlg() {
    // The panels' windows go before the dialog's.
    m_defaultPanel.reset();
    m_systemPanel.reset();
    DestroyOwnWindow();
}

void CBlackboxSetupDlg::OnInit() {
    m_saved = CameraSettings();
    m_fonts = std::make_unique<TSettingsFonts>(Preferences().language);
    SetWindowTextA(hWnd, TableText(DialogTitleKey).c_str());
    HDC dc = GetDC(hWnd);
    PaintBackground(dc);
    ReleaseDC(hWnd, dc);
    const RECT panelRect{1, PanelTop, DialogWidth - 1, PanelBottom};
    m_defaultPanel = std::make_unique<CBlackboxDefaultSettingPanel>(
        FirstPanelItems(CameraSettings().modelName), *m_fonts);
    m_defaultPanel->Create(hWnd, panelRect, CameraDefaultPanelId);
    m_systemPanel =
        std::make_unique<CBlackboxSystemSettingPanel>(Preferences().modelName, *m_fonts);
    m_systemPanel->Create(hWnd, panelRect, CameraSystemPanelId);
    MakeTabs();
    MakeButtons();
    ShowTab(CameraDefaultPanelId);
}

void CBlackboxSetupDlg::PaintBackground(HDC reference) {
    HDC dc = PaintFramedBackground(reference, SettingsEdgeColour, SettingsFieldColour, 0);
    if (!dc)
        return;
    DrawSkinPicture(dc, reference, RECT{0, 0, DialogWidth, DialogHeight}, DialogImage);
    m_labels.push_back(TLabelBox{TableTextW(DialogTitleKey),
                                 RECT{Margin, 0, DialogWidth - Margin, SettingsTitleBand},
                                 m_fonts->title, SettingsHeadingColour});
    DrawLabelBoxes(dc, m_labels);
}

void CBlackboxSetupDlg::MakeTabs() {
    const struct {
        CActButton* button;
        int id;
        const char* key;
    } tabs[] = {{&m_firstTab, CameraFirstTabCommand, "viewer_setting.tab_0.title"},
                {&m_secondTab, CameraSecondTabCommand, "viewer_setting.tab_1.title"}};
    int left = Margin;
    for (const auto& tab : tabs) {
        const std::string caption = TableText(tab.key);
        TActButtonOptions options;
        options.parent = hWnd;
        options.controlId = tab.id;
        options.position = POINT{left, TabTop};
        options.size = SIZE{TabWidth, TabHeight};
        options.normalPath = TabOffImage;
        options.pressedPath = TabOnImage;
        options.background = Background();
        options.caption = caption.c_str();
        options.font = m_fonts->body;
        tab.button->SetTextColour(SettingsTextColour);
        tab.button->SetToggleMode(true);
        tab.button->Create(options);
        // Drawn bold while chosen: measured so.
        m_labels.push_back(TLabelBox{
            TableTextW(tab.key),
            RECT{left + TabTextInset, TabTop, left + TabWidth - TabTextInset, TabTop + TabHeight},
            m_fonts->heading, SettingsTextColour, TTextFlow::SingleLine, DT_CENTER,
            TTextOwner::Control});
        left += TabWidth + TabGap;
    }
}

void CBlackboxSetupDlg::MakeButtons() {
    const int cancelLeft = DialogWidth - Margin - SettingsButtonWidth;
    const int saveLeft = cancelLeft - ButtonGap - SettingsButtonWidth;
    const struct {
        CActButton* button;
        int id;
        const char* key;
        int left;
    } buttons[] = {{&m_resetButton, CameraResetCommand, "button.reset", Margin},
                   {&m_saveButton, IDOK, "button.save", saveLeft},
                   {&m_cancelButton, IDCANCEL, "button.cancel", cancelLeft}};
    for (const auto& button : buttons)
        m_labels.push_back(
            MakeSettingsButton(*button.button,
                               TSettingsButton{hWnd, button.id, button.key,
                                               POINT{button.left, ButtonTop}, Background()},
                               m_fonts->body));
}

void CBlackboxSetupDlg::ShowTab(int panelId) {
    m_currentTab = panelId;
    const bool first = panelId == CameraDefaultPanelId;
    if (m_defaultPanel && m_defaultPanel->hWnd)
        ShowWindow(m_defaultPanel->hWnd, first ? SW_SHOW : SW_HIDE);
    if (m_systemPanel && m_systemPanel->hWnd)
        ShowWindow(m_systemPanel->hWnd, first ? SW_HIDE : SW_SHOW);
    m_firstTab.SetChecked(first);
    m_secondTab.SetChecked(!first);
}

TLabelBoxes CBlackboxSetupDlg::AllLabels() const {
    TLabelBoxes all = m_labels;
    for (const CSettingsPanel* panel : {static_cast<const CSettingsPanel*>(m_defaultPanel.get()),
                                        static_cast<const CSettingsPanel*>(m_systemPanel.get())}) {
        if (!panel)
            continue;
        // Panel boxes are in the panel's own coordinates.
        for (TLabelBox label : panel->Labels()) {
            OffsetRect(&label.box, 1, PanelTop);
            all.push_back(label);
        }
    }
    return all;
}

void CBlackboxSetupDlg::Reset() {
    CameraSettingsRecord& record = CameraSettings();
    ResetCameraSettings(record.modelName);
    m_defaultPanel->Controls().Refresh();
    m_systemPanel->PlaceMemoryHandles(record);
    m_systemPanel->ResetSensor();
}

void CBlackboxSetupDlg::Save() {
    m_defaultPanel->Controls().Store();
    m_systemPanel->Store(&CameraSettings());
    EndDialog(hWnd, IDOK);
}

void CBlackboxSetupDlg::Cancel() {
    CameraSettings() = m_saved;
    EndDialog(hWnd, IDCANCEL);
}

bool CBlackboxSetupDlg::OnCommand(int id) {
    switch (id) {
    case CameraFirstTabCommand:
        ShowTab(CameraDefaultPanelId);
        return true;
    case CameraSecondTabCommand:
        ShowTab(CameraSystemPanelId);
        return true;
    case CameraResetCommand:
        Reset();
        return true;
    case IDOK:
        Save();
        return true;
    case IDCANCEL:
        Cancel();
        return true;
    default:
        return false;
    }
}

// The title band moves the dialog, as a system caption would.
LRESULT CBlackboxSetupDlg::OnOtherMessage(UINT message, WPARAM, LPARAM lParam, bool* handled) {
    *handled = message == WM_NCHITTEST;
    if (!*handled)
        return 0;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hWnd, &point);
    return point.y < SettingsTitleBand ? HTCAPTION : HTCLIENT;
}

TCameraSettingsOutcome ShowCameraSettingsDialog(HWND owner, const std::string& cardFolder) {
    if (cardFolder.empty()) {
        std::string text;
        GetString("message.find_setup_path", &text, nullptr);
        ShowMessageBox(owner, text.c_str(), nullptr, MB_OK);
        return TCameraSettingsOutcome::NoFolder;
    }
    const std::string path = SetupFilePath(cardFolder);
    if (!ReadCameraSettings(path)) {
        TellCannotOpen(owner, path);
        return TCameraSettingsOutcome::Unreadable;
    }
    CBlackboxSetupDlg dialog;
    if (dialog.DoModal(owner) != IDOK)
        return TCameraSettingsOutcome::Cancelled;
    if (!WriteCameraSettings(path)) {
        TellCannotOpen(owner, path);
        return TCameraSettingsOutcome::NotWritten;
    }
    SaveModelNamePreference();
    return TCameraSettingsOutcome::Saved;
}
