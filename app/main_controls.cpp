#include "app/main_controls.h"

#include <cstdio>
#include <string>

#include "app/command_ids.h"
#include "app/time_text.h"
#include "language/language_fonts.h"
#include "language/string_table.h"
#include "language/wide_text.h"
#include "platform/tooltip.h"

namespace {

// What a control's place is measured from.
enum class TAnchor {
    Toolbar,        // the toolbar's top-left corner
    PlaybackCentre, // the playback band's top edge, at its middle
    PlaybackRight,  // the playback band's top-right corner
    PictureAdjust,  // the picture adjustments' top-left corner
    PlaybackLeft,   // the playback band's top-left corner (the control bar's mirroring)
};

// Where a control is, and how its tooltip is found.
enum TUse : unsigned {
    InMainWindow = 1,
    InControlBar = 2,
    Everywhere = InMainWindow | InControlBar,
};

struct TButtonRow {
    int id;
    // Normal, pressed, over, disabled, under resource/skin/controls/.
    const char* faces[4];
    // A language key.
    const char* tooltip;
    TAnchor anchor;
    POINT offset;
    SIZE size;
    unsigned use = InMainWindow;
};

constexpr SIZE kToolSize{32, 32};
constexpr SIZE kPlaySize{40, 40};
constexpr SIZE kVolumeSize{28, 28};
constexpr SIZE kResetSize{24, 24};

// Toolbar slots: 36 pixels apart, with 12 more between groups.
constexpr int kToolTop = 2;
constexpr int kToolStep = 36;
constexpr int kToolGroupGap = 12;
constexpr int ToolX(int slot, int gaps) {
    return 6 + slot * kToolStep + gaps * kToolGroupGap;
}

// Playback buttons, centred as a row of five 32-pixel buttons and the
// 40-pixel play button, 4 pixels apart.
constexpr int kTransportLeft = -110;
constexpr int kTransportSmallTop = 6;
constexpr int kTransportPlayTop = 2;
// The control bar's full-screen and mirroring buttons, from its left end.
constexpr int kBarLeft = 10;

// clang-format off
const TButtonRow kButtons[] = {
    {MainCommand::OneChannelShown, {"1ch_on", "1ch_on", "1ch_on", "1ch_off"}, "button.1ch", TAnchor::Toolbar, {ToolX(0, 0), kToolTop}, kToolSize},
    {MainCommand::OneChannel, {"1ch_off", "1ch_off", "1ch_off", "1ch_off"}, "button.1ch", TAnchor::Toolbar, {ToolX(0, 0), kToolTop}, kToolSize},
    {MainCommand::TwoChannelsShown, {"2ch_on", "2ch_on", "2ch_on", "2ch_off"}, "button.2ch", TAnchor::Toolbar, {ToolX(1, 0), kToolTop}, kToolSize},
    {MainCommand::TwoChannels, {"2ch_off", "2ch_off", "2ch_off", "2ch_off"}, "button.2ch", TAnchor::Toolbar, {ToolX(1, 0), kToolTop}, kToolSize},
    {MainCommand::ViewerSettings, {"viewer_off", "viewer_on", "viewer_on", "viewer_off"}, "button.viewer_setting", TAnchor::Toolbar, {ToolX(2, 1), kToolTop}, kToolSize},
    {MainCommand::CameraSettings, {"setup_off", "setup_on", "setup_on", "setup_off"}, "button.block_setting", TAnchor::Toolbar, {ToolX(3, 1), kToolTop}, kToolSize},
    {MainCommand::Capture, {"capture_off", "capture_on", "capture_on", "capture_off"}, "button.capture", TAnchor::Toolbar, {ToolX(4, 2), kToolTop}, kToolSize},
    {MainCommand::Print, {"print_off", "print_on", "print_on", "print_off"}, "button.print", TAnchor::Toolbar, {ToolX(5, 2), kToolTop}, kToolSize},
    {MainCommand::Split, {"file_split_off", "file_split_on", "file_split_on", "file_split_off"}, "button.split", TAnchor::Toolbar, {ToolX(6, 2), kToolTop}, kToolSize},
    {MainCommand::Magnifier, {"zoom_off", "zoom_on", "zoom_on", "zoom_off"}, "button.zoom", TAnchor::Toolbar, {ToolX(7, 2), kToolTop}, kToolSize},
    {MainCommand::MirrorSidewaysOff, {"hor_btn_on", "hor_btn_on", "hor_btn_on", "hor_btn_off"}, "button.rotate_horizontal", TAnchor::Toolbar, {ToolX(8, 3), kToolTop}, kToolSize},
    {MainCommand::MirrorSidewaysOn, {"hor_btn_off", "hor_btn_off", "hor_btn_off", "hor_btn_off"}, "button.rotate_horizontal", TAnchor::Toolbar, {ToolX(8, 3), kToolTop}, kToolSize},
    {MainCommand::MirrorUpsideDownOff, {"ver_btn_on", "ver_btn_on", "ver_btn_on", "ver_btn_off"}, "button.rotate_vertical", TAnchor::Toolbar, {ToolX(9, 3), kToolTop}, kToolSize},
    {MainCommand::MirrorUpsideDownOn, {"ver_btn_off", "ver_btn_off", "ver_btn_off", "ver_btn_off"}, "button.rotate_vertical", TAnchor::Toolbar, {ToolX(9, 3), kToolTop}, kToolSize},
    {MainCommand::FullScreen, {"full_btn_off", "full_btn_off", "full_btn_off", "full_btn_off"}, "button.full_screen", TAnchor::Toolbar, {ToolX(10, 3), kToolTop}, kToolSize},
    {MainCommand::PreviousRecording, {"play_btn_01", "play_btn_01", "play_btn_01", "play_btn_01"}, "button.prev_file", TAnchor::PlaybackCentre, {kTransportLeft, kTransportSmallTop}, kToolSize, Everywhere},
    {MainCommand::PreviousFrame, {"play_btn_02", "play_btn_02", "play_btn_02", "play_btn_02"}, "button.prev_frame", TAnchor::PlaybackCentre, {kTransportLeft + 36, kTransportSmallTop}, kToolSize, Everywhere},
    {MainCommand::Play, {"play_btn_on", "play_btn_on", "play_btn_on", "play_btn_on"}, "button.play", TAnchor::PlaybackCentre, {kTransportLeft + 72, kTransportPlayTop}, kPlaySize, Everywhere},
    {MainCommand::Pause, {"play_btn_off", "play_btn_off", "play_btn_off", "play_btn_off"}, "button.pause", TAnchor::PlaybackCentre, {kTransportLeft + 72, kTransportPlayTop}, kPlaySize, Everywhere},
    {MainCommand::StopPlayback, {"play_btn_03", "play_btn_03", "play_btn_03", "play_btn_03"}, "button.stop", TAnchor::PlaybackCentre, {kTransportLeft + 116, kTransportSmallTop}, kToolSize, Everywhere},
    {MainCommand::NextFrame, {"play_btn_04", "play_btn_04", "play_btn_04", "play_btn_04"}, "button.next_frame", TAnchor::PlaybackCentre, {kTransportLeft + 152, kTransportSmallTop}, kToolSize, Everywhere},
    {MainCommand::NextRecording, {"play_btn_05", "play_btn_05", "play_btn_05", "play_btn_05"}, "button.next_file", TAnchor::PlaybackCentre, {kTransportLeft + 188, kTransportSmallTop}, kToolSize, Everywhere},
    {MainCommand::Mute, {"volume_on", "volume_on", "volume_on", "volume_on"}, "button.volumn_on", TAnchor::PlaybackRight, {-133, 8}, kVolumeSize, Everywhere},
    {MainCommand::Unmute, {"volume_off", "volume_off", "volume_off", "volume_off"}, "button.volumn_off", TAnchor::PlaybackRight, {-133, 8}, kVolumeSize, Everywhere},
    {MainCommand::ResetPicture, {"reset_off", "reset_off", "reset_on", "reset_off"}, "button.reset_color", TAnchor::PictureAdjust, {171, 43}, kResetSize},
    {MainCommand::FullScreen, {"full_btn_off", "full_btn_off", "full_btn_off", "full_btn_off"}, "button.normal_screen", TAnchor::PlaybackLeft, {kBarLeft, kTransportSmallTop}, kToolSize, InControlBar},
    {MainCommand::MirrorSidewaysOff, {"hor_btn_on", "hor_btn_on", "hor_btn_on", "hor_btn_off"}, "button.rotate_horizontal", TAnchor::PlaybackLeft, {kBarLeft + 36, kTransportSmallTop}, kToolSize, InControlBar},
    {MainCommand::MirrorSidewaysOn, {"hor_btn_off", "hor_btn_off", "hor_btn_off", "hor_btn_off"}, "button.rotate_horizontal", TAnchor::PlaybackLeft, {kBarLeft + 36, kTransportSmallTop}, kToolSize, InControlBar},
    {MainCommand::MirrorUpsideDownOff, {"ver_btn_on", "ver_btn_on", "ver_btn_on", "ver_btn_off"}, "button.rotate_vertical", TAnchor::PlaybackLeft, {kBarLeft + 72, kTransportSmallTop}, kToolSize, InControlBar},
    {MainCommand::MirrorUpsideDownOn, {"ver_btn_off", "ver_btn_off", "ver_btn_off", "ver_btn_off"}, "button.rotate_vertical", TAnchor::PlaybackLeft, {kBarLeft + 72, kTransportSmallTop}, kToolSize, InControlBar},
};
// clang-format on

// Switch pairs: exactly one of each is visible.
const int kSwitchPairs[][2] = {
    {MainCommand::OneChannelShown, MainCommand::TwoChannelsShown},
    {MainCommand::OneChannel, MainCommand::TwoChannels},
    {MainCommand::MirrorSidewaysOff, MainCommand::MirrorSidewaysOn},
    {MainCommand::MirrorUpsideDownOff, MainCommand::MirrorUpsideDownOn},
    {MainCommand::Play, MainCommand::Pause},
    {MainCommand::Mute, MainCommand::Unmute},
};
// What is visible before anything happened: two channels, no mirroring,
// stopped, sound on.
const int kFirstShown[] = {
    MainCommand::TwoChannelsShown,   MainCommand::OneChannel, MainCommand::MirrorSidewaysOn,
    MainCommand::MirrorUpsideDownOn, MainCommand::Play,       MainCommand::Mute};

struct TSliderRow {
    int id;
    TSliderLook look;
    const char* tooltipKey;
    unsigned use;
};
const TSliderRow kSliders[] = {
    {MainSlider::Position, LargeSliderLook, nullptr, Everywhere},
    {MainSlider::Volume, SmallSliderLook, "slider.volume", Everywhere},
    {MainSlider::Brightness, SmallSliderLook, "slider.brightness", InMainWindow},
    {MainSlider::Contrast, SmallSliderLook, "slider.contrast", InMainWindow},
    {MainSlider::Chroma, SmallSliderLook, "slider.chroma", InMainWindow},
};
constexpr int kSliderCount = sizeof(kSliders) / sizeof(kSliders[0]);
// Volume and picture values are percentages; the position slider gets the
// recording's seconds when one opens.
constexpr int kPercentRange = 100;

// The position band: the two times at its ends, the slider between them.
constexpr int kTimeMargin = 10;
constexpr int kTimeWidth = 66;
constexpr int kTimeTop = 4;
constexpr int kTimeHeight = 18;
constexpr int kPositionTrackTop = 8;
constexpr int kPositionTrackHeight = 10;
// The volume slider beside its button; the picture sliders in their panel.
constexpr int kVolumeTrackWidth = 90;
constexpr int kSmallTrackHeight = 8;
constexpr int kPictureTrackLeft = 34;
constexpr int kPictureTrackWidth = 126;
constexpr int kPictureTrackTops[] = {20, 46, 72};
constexpr COLORREF kPositionTextColour = RGB(255, 255, 255);
constexpr COLORREF kDurationTextColour = RGB(128, 128, 128);

RECT SliderRect(int id, const TMainLayout& layout) {
    switch (id) {
    case MainSlider::Position: {
        const RECT& band = layout.positionBand;
        const int top = band.top + kPositionTrackTop;
        return RECT{band.left + kTimeMargin + kTimeWidth, top,
                    band.right - kTimeMargin - kTimeWidth, top + kPositionTrackHeight};
    }
    case MainSlider::Volume: {
        const RECT& band = layout.playbackBand;
        const int right = band.right - kTimeMargin - 1;
        const int top = band.top + (band.bottom - band.top - kSmallTrackHeight) / 2;
        return RECT{right - kVolumeTrackWidth, top, right, top + kSmallTrackHeight};
    }
    default: {
        const RECT& panel = layout.pictureAdjust;
        const int left = panel.left + kPictureTrackLeft;
        const int top = panel.top + kPictureTrackTops[id - MainSlider::Brightness];
        return RECT{left, top, left + kPictureTrackWidth, top + kSmallTrackHeight};
    }
    }
}

POINT AnchorPoint(TAnchor anchor, const TMainLayout& layout) {
    switch (anchor) {
    case TAnchor::Toolbar:
        return POINT{layout.toolbar.left, layout.toolbar.top};
    case TAnchor::PlaybackCentre:
        return POINT{(layout.playbackBand.left + layout.playbackBand.right) / 2,
                     layout.playbackBand.top};
    case TAnchor::PlaybackRight:
        return POINT{layout.playbackBand.right, layout.playbackBand.top};
    case TAnchor::PictureAdjust:
        return POINT{layout.pictureAdjust.left, layout.pictureAdjust.top};
    case TAnchor::PlaybackLeft:
        return POINT{layout.playbackBand.left, layout.playbackBand.top};
    }
    return POINT{};
}

std::string FacePath(const char* face) {
    return std::string("resource/skin/controls/") + face + ".png";
}

// The keys of the main window's shortcuts, as the tooltips name them.
struct TShortcutName {
    int id;
    const char* key;
};
const TShortcutName kShortcutNames[] = {
    {MainCommand::Play, "Space"},
    {MainCommand::Pause, "Space"},
    {MainCommand::PreviousFrame, "Left"},
    {MainCommand::NextFrame, "Right"},
    {MainCommand::PreviousRecording, "Page Up"},
    {MainCommand::NextRecording, "Page Down"},
    {MainCommand::FullScreen, "F"},
    {MainCommand::Mute, "M"},
    {MainCommand::Unmute, "M"},
    {MainCommand::OneChannel, "1"},
    {MainCommand::TwoChannels, "2"},
    {MainCommand::Capture, "Ctrl+S"},
    {MainCommand::Print, "Ctrl+P"},
    {MainSlider::Volume, "Up/Down"},
};

std::string TooltipText(const TButtonRow& row) {
    std::string text;
    GetString(row.tooltip, &text, nullptr);
    return CMainControls::WithShortcut(row.id, text);
}

int PartnerOf(int id) {
    for (const auto& pair : kSwitchPairs) {
        if (pair[0] == id)
            return pair[1];
        if (pair[1] == id)
            return pair[0];
    }
    return 0;
}

} // namespace

struct CMainControls::TEntry {
    const TButtonRow* row = nullptr;
    std::unique_ptr<CActButton> button;
    // Whether the button belongs on screen: the shown one of its pair.
    bool shown = false;
};

CMainControls::CMainControls() = default;
CMainControls::~CMainControls() = default;

void CMainControls::Create(HWND parent, HDC background, const TMainLayout& layout,
                           TControlSet set) {
    m_layout = layout;
    const unsigned wanted = set == TControlSet::MainWindow ? InMainWindow : InControlBar;
    HDC reference = GetDC(parent);
    for (const TButtonRow& row : kButtons) {
        if (!(row.use & wanted))
            continue;
        TEntry entry;
        entry.row = &row;
        entry.button = std::make_unique<CActButton>();
        const POINT anchor = AnchorPoint(row.anchor, layout);
        const std::string faces[4] = {FacePath(row.faces[0]), FacePath(row.faces[1]),
                                      FacePath(row.faces[2]), FacePath(row.faces[3])};
        const std::string tooltip = TooltipText(row);
        TActButtonOptions options;
        options.parent = parent;
        options.controlId = row.id;
        options.position = POINT{anchor.x + row.offset.x, anchor.y + row.offset.y};
        options.size = row.size;
        options.normalPath = faces[0].c_str();
        options.pressedPath = faces[1].c_str();
        options.overPath = faces[2].c_str();
        options.disabledPath = faces[3].c_str();
        options.background = background;
        options.reference = reference;
        options.tooltip = tooltip.empty() ? nullptr : tooltip.c_str();
        options.style = WS_CHILD | BS_OWNERDRAW;
        entry.button->Create(options);
        entry.shown = !PartnerOf(row.id);
        m_entries.push_back(std::move(entry));
    }
    ReleaseDC(parent, reference);

    for (int i = 0; i < kSliderCount; ++i) {
        if (!(kSliders[i].use & wanted))
            continue;
        m_sliders[i] = std::make_unique<CSliderBarEx>();
        std::string tooltip;
        if (kSliders[i].tooltipKey)
            GetString(kSliders[i].tooltipKey, &tooltip, nullptr);
        if (!tooltip.empty())
            tooltip = WithShortcut(kSliders[i].id, tooltip);
        TSliderOptions options;
        options.parent = parent;
        options.rect = SliderRect(kSliders[i].id, layout);
        options.controlId = kSliders[i].id;
        options.look = kSliders[i].look;
        options.tooltip = tooltip.empty() ? nullptr : tooltip.c_str();
        options.showFocus = false;
        m_sliders[i]->Create(options);
        m_sliders[i]->SetRange(0, kPercentRange);
    }
    for (int id : kFirstShown) {
        if (Find(id))
            ShowSwitch(id);
    }
    for (TEntry& entry : m_entries)
        Apply(entry);
}

void CMainControls::Apply(TEntry& entry) {
    if (entry.button->hWnd)
        ShowWindow(entry.button->hWnd, entry.shown && !m_allHidden ? SW_SHOWNA : SW_HIDE);
}

void CMainControls::SetAllHidden(bool hidden) {
    m_allHidden = hidden;
    for (TEntry& entry : m_entries)
        Apply(entry);
    for (auto& slider : m_sliders) {
        if (slider && slider->hWnd)
            ShowWindow(slider->hWnd, hidden ? SW_HIDE : SW_SHOWNA);
    }
}

void CMainControls::Place(TEntry& entry, const TMainLayout& layout) {
    if (!entry.button->hWnd)
        return;
    const POINT anchor = AnchorPoint(entry.row->anchor, layout);
    MoveWindow(entry.button->hWnd, anchor.x + entry.row->offset.x, anchor.y + entry.row->offset.y,
               entry.row->size.cx, entry.row->size.cy, TRUE);
}

void CMainControls::LayOut(const TMainLayout& layout) {
    m_layout = layout;
    for (TEntry& entry : m_entries)
        Place(entry, layout);
    for (int i = 0; i < kSliderCount; ++i) {
        if (!m_sliders[i] || !m_sliders[i]->hWnd)
            continue;
        const RECT rect = SliderRect(kSliders[i].id, layout);
        MoveWindow(m_sliders[i]->hWnd, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, TRUE);
    }
}

CMainControls::TEntry* CMainControls::Find(int id) {
    for (TEntry& entry : m_entries) {
        if (entry.row->id == id)
            return &entry;
    }
    return nullptr;
}

CActButton* CMainControls::Button(int id) {
    TEntry* entry = Find(id);
    return entry ? entry->button.get() : nullptr;
}

CSliderBarEx* CMainControls::Slider(int id) {
    for (int i = 0; i < kSliderCount; ++i) {
        if (kSliders[i].id == id)
            return m_sliders[i].get();
    }
    return nullptr;
}

void CMainControls::ShowSwitch(int id) {
    TEntry* shown = Find(id);
    TEntry* hidden = Find(PartnerOf(id));
    if (hidden) {
        hidden->shown = false;
        Apply(*hidden);
    }
    if (shown) {
        shown->shown = true;
        Apply(*shown);
    }
}

bool CMainControls::Shown(int id) {
    TEntry* entry = Find(id);
    return entry && entry->shown;
}

void CMainControls::SetTooltipTexts() {
    for (TEntry& entry : m_entries) {
        if (entry.button->hWnd)
            AttachToolTip(entry.button->hWnd, TooltipText(*entry.row).c_str());
    }
    for (int i = 0; i < kSliderCount; ++i) {
        if (!kSliders[i].tooltipKey || !m_sliders[i] || !m_sliders[i]->hWnd)
            continue;
        std::string text;
        GetString(kSliders[i].tooltipKey, &text, nullptr);
        AttachToolTip(m_sliders[i]->hWnd, WithShortcut(kSliders[i].id, text).c_str());
    }
}

void CMainControls::DrawTimes(HWND window, HDC background, int positionSeconds,
                              int durationSeconds) {
    if (!background)
        return;
    const RECT& band = m_layout.positionBand;
    RECT position{band.left + kTimeMargin, band.top + kTimeTop,
                  band.left + kTimeMargin + kTimeWidth, band.top + kTimeTop + kTimeHeight};
    RECT duration{band.right - kTimeMargin - kTimeWidth, position.top, band.right - kTimeMargin,
                  position.bottom};
    struct TText {
        RECT rect;
        int seconds;
        COLORREF colour;
        UINT align;
    };
    const TText texts[] = {{position, positionSeconds, kPositionTextColour, DT_LEFT},
                           {duration, durationSeconds, kDurationTextColour, DT_RIGHT}};
    HFONT font = SharedFonts().control;
    HGDIOBJ previous = font ? SelectObject(background, font) : nullptr;
    SetBkMode(background, TRANSPARENT);
    for (const TText& text : texts) {
        RECT rect = text.rect;
        // The band is the same in every column: restore it from its first one.
        StretchBlt(background, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   background, band.left, rect.top, 1, rect.bottom - rect.top, SRCCOPY);
        SetTextColor(background, text.colour);
        const std::wstring wide = PlaybackTimeText(text.seconds);
        DrawTextW(background, wide.c_str(), -1, &rect,
                  text.align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        InvalidateRect(window, &text.rect, FALSE);
    }
    if (previous)
        SelectObject(background, previous);
}

void CMainControls::CopyStateFrom(CMainControls& other) {
    for (TEntry& entry : m_entries) {
        const int id = entry.row->id;
        if (PartnerOf(id) && other.Find(id) && other.Shown(id))
            ShowSwitch(id);
        if (entry.button->hWnd && other.Button(id))
            entry.button->SetLocked(other.Button(id)->Locked());
    }
    for (const TSliderRow& row : kSliders) {
        CSliderBarEx* mine = Slider(row.id);
        CSliderBarEx* theirs = other.Slider(row.id);
        if (!mine || !mine->hWnd || !theirs || !theirs->hWnd)
            continue;
        mine->SetRange(theirs->MinValue(), theirs->MaxValue());
        mine->SetPageStep(theirs->PageStep());
        mine->SetPosition(theirs->Position());
    }
}

void CMainControls::SetEnabled(int id, bool enabled) {
    CActButton* button = Button(id);
    if (button && button->hWnd)
        button->SetLocked(!enabled);
}

RECT CMainControls::PlaceOf(int id, const TMainLayout& layout, TControlSet set) {
    const unsigned wanted = set == TControlSet::MainWindow ? InMainWindow : InControlBar;
    for (const TButtonRow& row : kButtons) {
        if (row.id != id || !(row.use & wanted))
            continue;
        const POINT anchor = AnchorPoint(row.anchor, layout);
        const int left = anchor.x + row.offset.x;
        const int top = anchor.y + row.offset.y;
        return RECT{left, top, left + row.size.cx, top + row.size.cy};
    }
    for (const TSliderRow& row : kSliders) {
        if (row.id == id && (row.use & wanted))
            return SliderRect(id, layout);
    }
    return RECT{};
}

std::string CMainControls::WithShortcut(int id, const std::string& text) {
    if (text.empty())
        return text;
    for (const TShortcutName& shortcut : kShortcutNames) {
        if (shortcut.id == id)
            return text + " (" + shortcut.key + ")";
    }
    return text;
}
