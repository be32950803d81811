#include "settings/viewer_setup_dlg.h"

#include "language/string_table.h"
#include "settings/camera_settings_model.h"
#include "settings/viewer_preferences.h"
#include "ui/message_box_dlg.h"

namespace {

constexpr int DialogWidth = 480;
constexpr int DialogHeight = 560;
constexpr TSkinnedTemplate ViewerTemplate{ViewerSettingsTemplateId, DialogWidth, DialogHeight};
constexpr int Margin = 16;
constexpr int PanelTop = 48;
constexpr int PanelBottom = 507;
constexpr int ButtonTop = 521;
constexpr int ButtonGap = 8;
constexpr const char* DialogImage = "resource/skin/dialogs/s_viewer.png";
constexpr const char* DialogTitleKey = "button.viewer_setting";
constexpr const char* CannotStoreText = "Can not write to registry.";

} // namespace

CViewerSetupDlg::CViewerSetupDlg() : CSkinnedDlg(ViewerTemplate) {}

CViewerSetupDlg::~CViewerSetupDlg() {
    m_panel.reset();
    DestroyOwnWindow();
}

void CViewerSetupDlg::OnInit() {
    Build(TViewerWorkingValues::FromPreferences(Preferences()));
}

void CViewerSetupDlg::Build(const TViewerWorkingValues& values) {
    m_labels.clear();
    m_fonts = std::make_unique<TSettingsFonts>(Preferences().language);
    SetWindowTextA(hWnd, TableText(DialogTitleKey).c_str());
    HDC dc = GetDC(hWnd);
    PaintBackground(dc);
    ReleaseDC(hWnd, dc);
    m_panel = std::make_unique<CViewerDefaultSettingPanel>(values, *m_fonts);
    m_panel->Create(hWnd, RECT{1, PanelTop, DialogWidth - 1, PanelBottom}, ViewerPanelId);
    MakeButtons();
    InvalidateRect(hWnd, nullptr, FALSE);
}

// Everything made for the old language goes, its fonts last.
void CViewerSetupDlg::Relabel() {
    const TViewerWorkingValues values = m_panel->Values();
    m_panel.reset();
    m_resetButton.reset();
    m_saveButton.reset();
    m_cancelButton.reset();
    ReleaseBackground();
    Build(values);
}

void CViewerSetupDlg::PaintBackground(HDC reference) {
    HDC dc = PaintFramedBackground(reference, SettingsEdgeColour, SettingsFieldColour, 0);
    if (!dc)
        return;
    DrawSkinPicture(dc, reference, RECT{0, 0, DialogWidth, DialogHeight}, DialogImage);
    m_labels.push_back(TLabelBox{TableTextW(DialogTitleKey),
                                 RECT{Margin, 0, DialogWidth - Margin, SettingsTitleBand},
                                 m_fonts->title, SettingsHeadingColour});
    DrawLabelBoxes(dc, m_labels);
}

void CViewerSetupDlg::MakeButtons() {
    m_resetButton = std::make_unique<CActButton>();
    m_saveButton = std::make_unique<CActButton>();
    m_cancelButton = std::make_unique<CActButton>();
    const int cancelLeft = DialogWidth - Margin - SettingsButtonWidth;
    const int saveLeft = cancelLeft - ButtonGap - SettingsButtonWidth;
    const struct {
        CActButton* button;
        int id;
        const char* key;
        int left;
    } buttons[] = {{m_resetButton.get(), ViewerResetCommand, "button.reset", Margin},
                   {m_saveButton.get(), IDOK, "button.save", saveLeft},
                   {m_cancelButton.get(), IDCANCEL, "button.cancel", cancelLeft}};
    for (const auto& button : buttons)
        m_labels.push_back(
            MakeSettingsButton(*button.button,
                               TSettingsButton{hWnd, button.id, button.key,
                                               POINT{button.left, ButtonTop}, Background()},
                               m_fonts->body));
}

TLabelBoxes CViewerSetupDlg::AllLabels() const {
    TLabelBoxes all = m_labels;
    if (!m_panel)
        return all;
    for (TLabelBox label : m_panel->Labels()) {
        OffsetRect(&label.box, 1, PanelTop);
        all.push_back(label);
    }
    return all;
}

bool CViewerSetupDlg::OnCommand(int id) {
    switch (id) {
    case ViewerResetCommand: {
        TViewerWorkingValues defaults = TViewerWorkingValues::Defaults();
        m_panel->SetValues(defaults);
        return true;
    }
    case IDOK:
        m_panel->Values().StoreInto(&Preferences());
        EndDialog(hWnd, IDOK);
        return true;
    case IDCANCEL:
        EndDialog(hWnd, IDCANCEL);
        return true;
    default:
        return false;
    }
}

LRESULT CViewerSetupDlg::OnOtherMessage(UINT message, WPARAM, LPARAM lParam, bool* handled) {
    *handled = true;
    if (message == WM_VIEWER_LANGUAGE_CHANGED) {
        Relabel();
        return 0;
    }
    if (message != WM_NCHITTEST) {
        *handled = false;
        return 0;
    }
    // The title band moves the dialog, as a system caption would.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(hWnd, &point);
    return point.y < SettingsTitleBand ? HTCAPTION : HTCLIENT;
}

TViewerSettingsResult ShowViewerSettingsDialog(HWND owner, TPlaybackState playback) {
    TViewerSettingsResult result;
    if (playback == TPlaybackState::Playing) {
        std::string text;
        GetString("message.change_jpeg_path", &text, nullptr);
        ShowMessageBox(owner, text.c_str(), nullptr, MB_OK);
        return result;
    }
    const std::string language = Preferences().language;
    CViewerSetupDlg dialog;
    const bool saved = dialog.DoModal(owner) == IDOK;
    const bool changed = Preferences().language != language;
    if (!saved) {
        result.outcome = TViewerSettingsOutcome::Cancelled;
        if (changed) {
            Preferences().language = language;
            LoadStringTable(language);
        }
        return result;
    }
    result.outcome = TViewerSettingsOutcome::Saved;
    result.applyPreferences = true;
    result.languageChanged = changed;
    if (changed) {
        ReleaseCameraSettingsModel();
        BuildCameraSettingsModel();
    }
    if (!SavePreferences()) {
        result.storeFailed = true;
        ShowMessageBox(owner, CannotStoreText, "", MB_OK);
    }
    return result;
}
