#include "tools/velor-gallery/toolkit_page.h"

#include <memory>
#include <string>
#include <vector>

#include "language/language_fonts.h"
#include "language/string_table.h"
#include "tools/velor-gallery/gallery_window.h"
#include "ui/act_button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/memory_dc_man.h"
#include "ui/message_box_dlg.h"
#include "ui/slider_bar_ex.h"

namespace {

constexpr int PageWidth = 1080;
constexpr int PageHeight = 790;
constexpr int CaptionHeight = 40;
constexpr COLORREF PageColour = RGB(27, 29, 33);
constexpr COLORREF LabelColour = RGB(195, 200, 207);
constexpr COLORREF HeadingColour = RGB(38, 159, 218);
constexpr COLORREF RuleColour = RGB(48, 52, 59);
constexpr const char* PageClass = "__GalleryToolkit__";

struct TLabel {
    int x;
    int y;
    std::string text;
    bool heading;
};

struct TPage {
    HWND window = nullptr;
    TMemoryDC backdrop;
    std::vector<std::unique_ptr<CActButton>> buttons;
    std::vector<std::unique_ptr<CSliderBarEx>> sliders;
    std::vector<std::unique_ptr<TGenComboBox>> combos;
    std::vector<std::unique_ptr<CMessageBoxDlg>> boxes;
    std::vector<TCheckBoxItem> checks;
    std::vector<TLabel> labels;
    HFONT labelFont = nullptr;
    HFONT headingFont = nullptr;
};

TPage g_page;

// The caption band of the main window from its three pictures.
void PaintCaption(HDC dc, int width) {
    const TMemoryDC& logo = SharedImage(SkinImage::TopFrameLogo);
    const TMemoryDC& centre = SharedImage(SkinImage::TopFrameCenter);
    const TMemoryDC& right = SharedImage(SkinImage::TopFrameRight);
    StretchBlt(dc, 0, 0, width, CaptionHeight, centre.dc, 0, 0, centre.width, centre.height,
               SRCCOPY);
    BitBlt(dc, 0, 0, logo.width, logo.height, logo.dc, 0, 0, SRCCOPY);
    BitBlt(dc, width - right.width, 0, right.width, right.height, right.dc, 0, 0, SRCCOPY);
}

void PaintBackdrop(HDC reference) {
    TMemoryDC& backdrop = g_page.backdrop;
    if (!backdrop.Prepare(reference, PageWidth, PageHeight))
        return;
    FillSolid(backdrop.dc, RECT{0, 0, PageWidth, PageHeight}, PageColour);
    PaintCaption(backdrop.dc, PageWidth);
    for (int y : {300, 470, 572})
        FillSolid(backdrop.dc, RECT{16, y, PageWidth - 16, y + 1}, RuleColour);
}

void Label(int x, int y, const std::string& text, bool heading = false) {
    g_page.labels.push_back({x, y, text, heading});
}

void PaintPage(HDC dc) {
    BitBlt(dc, 0, 0, PageWidth, PageHeight, g_page.backdrop.dc, 0, 0, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    for (const TLabel& label : g_page.labels) {
        SelectObject(dc, label.heading ? g_page.headingFont : g_page.labelFont);
        SetTextColor(dc, label.heading ? HeadingColour : LabelColour);
        RECT box{label.x, label.y, label.x + 400, label.y + 20};
        DrawTextA(dc, label.text.c_str(), -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, g_page.labelFont);
    SetTextColor(dc, LabelColour);
    for (const TCheckBoxItem& item : g_page.checks)
        item.Paint(dc, CheckBoxAtlas());
}

LRESULT PageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCHITTEST:
        return TitleBandHit(window, lParam, CaptionHeight);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintPage(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DRAWITEM:
        return RouteDrawItem(lParam);
    case WM_LBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        for (TCheckBoxItem& item : g_page.checks)
            item.Click(window, point);
        return 0;
    }
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

CActButton* AddButton(TActButtonOptions options) {
    auto button = std::make_unique<CActButton>();
    options.parent = g_page.window;
    options.controlId = static_cast<int>(g_page.buttons.size()) + 1000;
    options.background = g_page.backdrop.dc;
    if (options.caption) {
        button->SetTextColour(RGB(0, 0, 0));
        options.font = SharedFonts().control;
        options.tooltip = options.caption;
    }
    HDC dc = GetDC(g_page.window);
    options.reference = dc;
    const bool made = button->Create(options);
    ReleaseDC(g_page.window, dc);
    if (!made)
        return nullptr;
    g_page.buttons.push_back(std::move(button));
    return g_page.buttons.back().get();
}

TActButtonOptions Pictures(const std::string& normal, const std::string& over, POINT place,
                           SIZE size) {
    TActButtonOptions options;
    options.normalPath = normal.c_str();
    options.pressedPath = over.empty() ? nullptr : over.c_str();
    options.overPath = options.pressedPath;
    options.position = place;
    options.size = size;
    return options;
}

std::string Skin(const std::string& name) {
    return "skin/controls/" + name + ".png";
}

// One row: normal, hover, pressed, disabled, locked and toggled.
void ButtonRow(const char* title, const std::string& off, const std::string& on, int y, SIZE size,
               const char* caption = nullptr) {
    const std::string normal = Skin(off);
    const std::string over = Skin(on);
    constexpr int Column = 120;
    constexpr int First = 150;
    const int inset = (Column - size.cx) / 2 - 30;
    for (int state = 0; state < 6; ++state) {
        const POINT place{First + state * Column + inset, y};
        // The hover column is shown by giving the button its over picture as its face.
        TActButtonOptions options = Pictures(state == 1 ? over : normal, over, place, size);
        options.caption = caption;
        CActButton* button = AddButton(options);
        if (!button)
            continue;
        button->SetToggleMode(state == 2 || state == 5);
        button->SetChecked(state == 2 || state == 5);
        EnableWindow(button->hWnd, state != 3);
        button->SetLocked(state == 4);
    }
    Label(24, y + size.cy / 2 - 7, title);
}

CSliderBarEx* AddSlider(const TSliderLook& look, RECT rect, int position,
                        TOrientation orientation = TOrientation::Horizontal) {
    auto slider = std::make_unique<CSliderBarEx>();
    TSliderOptions options;
    options.parent = g_page.window;
    options.rect = rect;
    options.controlId = static_cast<int>(g_page.sliders.size()) + 2000;
    options.look = look;
    options.orientation = orientation;
    if (!slider->Create(options))
        return nullptr;
    slider->SetPosition(position);
    g_page.sliders.push_back(std::move(slider));
    return g_page.sliders.back().get();
}

void MakeButtons() {
    Label(24, 52, "Buttons", true);
    const char* columns[] = {"normal", "hover", "pressed", "disabled", "locked", "toggled"};
    for (int i = 0; i < 6; ++i)
        Label(150 + i * 120, 52, columns[i]);
    ButtonRow("play / pause", "play_btn_off", "play_btn_on", 76, SIZE{40, 40});
    ButtonRow("toolbar icon", "capture_off", "capture_on", 124, SIZE{32, 32});
    ButtonRow("kind filter", "type_e_off", "type_e_on", 166, SIZE{24, 24});
    ButtonRow("side tab", "file_off", "file_on", 200, SIZE{76, 22});
    ButtonRow("with caption", "default_btn_n", "default_btn_o", 234, SIZE{93, 25}, "OK");
    // Regions: an elliptic button and the combo button cut out of magenta.
    Label(24, 272, "shaped: ellipse, picture");
    const std::string zoomOff = Skin("zoom_off");
    const std::string zoomOn = Skin("zoom_on");
    TActButtonOptions ellipse = Pictures(zoomOff, zoomOn, POINT{240, 266}, SIZE{32, 32});
    ellipse.pressedPath = nullptr;
    ellipse.shape = ShapeEllipse;
    AddButton(ellipse);
    TActButtonOptions shaped;
    shaped.position = POINT{290, 271};
    shaped.faces = TAtlasFaces{&ComboButtonAtlas(), ComboButtonNormalId, ComboButtonPressedId,
                               ComboButtonOverId, ComboButtonNormalId};
    shaped.shape = ShapeFromImage;
    AddButton(shaped);
    // The caption band's own buttons.
    const char* captionButtons[] = {"top_minimize", "top_maximize", "top_close"};
    for (int i = 0; i < 3; ++i)
        AddButton(Pictures(Skin(captionButtons[i]), "", POINT{PageWidth - 102 + 34 * i, 0},
                           SIZE{34, 40}));
}

void MakeSliders() {
    Label(24, 312, "Sliders", true);
    Label(24, 340, "position: normal, focused, disabled");
    AddSlider(LargeSliderLook, RECT{24, 362, 244, 372}, 30);
    if (CSliderBarEx* focused = AddSlider(LargeSliderLook, RECT{264, 362, 484, 372}, 55))
        SetFocus(focused->hWnd);
    if (CSliderBarEx* disabled = AddSlider(LargeSliderLook, RECT{504, 362, 724, 372}, 70))
        disabled->SetEnabled(false);
    Label(24, 388, "volume, viewer settings, camera settings");
    AddSlider(SmallSliderLook, RECT{24, 412, 150, 420}, 60);
    AddSlider(ViewerSliderLook, RECT{264, 410, 484, 420}, 40);
    AddSlider(CameraSliderLook, RECT{504, 410, 724, 420}, 80);
    Label(1000, 312, "vertical");
    AddSlider(LargeSliderLook, RECT{1010, 336, 1033, 456}, 65, TOrientation::Vertical);
}

void MakeCombos() {
    Label(24, 482, "Combo box: closed, open with its scroll bar", true);
    for (int i = 0; i < 2; ++i) {
        auto combo = std::make_unique<TGenComboBox>();
        const char* names[] = {
            "English", "Japanese", "Korean", "Simplified Chinese", "Traditional Chinese",
            "Thai",    "Automatic"};
        for (const char* name : names)
            combo->AddItem(name);
        TComboBoxOptions options;
        options.parent = g_page.window;
        options.rect = RECT{24 + i * 260, 510, 224 + i * 260, 534};
        options.font = SharedFonts().control;
        options.readOnly = true;
        options.listHeight = 22 + 4 * options.rowHeight;
        if (!combo->Create(options))
            continue;
        combo->Select(i == 0 ? 0 : 2);
        g_page.combos.push_back(std::move(combo));
    }
}

void MakeChecks() {
    Label(560, 482, "Check boxes", true);
    const struct {
        UINT state;
        const wchar_t* text;
    } items[] = {{CheckBoxTickOff, L"Loop playback"},
                 {CheckBoxTickOn, L"Always on top"},
                 {CheckBoxChoiceOff, L"km/h"},
                 {CheckBoxChoiceOn, L"mph"}};
    HDC dc = GetDC(g_page.window);
    SelectObject(dc, g_page.labelFont);
    int x = 560;
    for (const auto& item : items) {
        TCheckBoxItem check(item.text, g_page.labelFont, item.state);
        check.Layout(dc, RECT{x, 514, x + 200, 534});
        x = check.Rect().right + 24;
        g_page.checks.push_back(check);
    }
    ReleaseDC(g_page.window, dc);
}

void MakeBoxes(int pageX, int pageY) {
    Label(24, 582, "Message boxes: OK, Yes/No, with Open", true);
    RegisterMessageBoxTemplate();
    const struct {
        const char* text;
        const char* caption;
        UINT style;
    } forms[] = {{"The capture folder was changed.", "Information", MB_OK},
                 {"Delete the selected recording?", "Delete", MB_YESNO},
                 {"The clip was split into two files.", "/tmp", MB_OK | MessageBoxOpenFolder}};
    int x = pageX + 24;
    for (const auto& form : forms) {
        auto box = std::make_unique<CMessageBoxDlg>(form.text, form.caption, form.style);
        HWND dialog = CreateDialogParamA(
            GetModuleHandleA(nullptr), MAKEINTRESOURCEA(MessageBoxTemplateId), g_page.window,
            BoundDialogProcedure, reinterpret_cast<LPARAM>(static_cast<TWnd*>(box.get())));
        if (!dialog)
            continue;
        SetWindowPos(dialog, nullptr, x, pageY + 606, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(dialog, SW_SHOWNA);
        x += 350;
        g_page.boxes.push_back(std::move(box));
    }
}

} // namespace

HWND MakeToolkitPage(int x, int y) {
    LoadStringTable("english");
    CreateLanguageFonts("english");
    HDC screen = GetDC(nullptr);
    const bool loaded = LoadSharedSkin(screen);
    PaintBackdrop(screen);
    ReleaseDC(nullptr, screen);
    if (!loaded)
        return nullptr;
    RegisterWindowClass(PageClass, PageProcedure);
    g_page.labelFont = CreateFontA(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                   ANTIALIASED_QUALITY, 0, "Arial");
    g_page.headingFont = CreateFontA(14, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                     ANTIALIASED_QUALITY, 0, "Arial");
    g_page.window = CreateWindowExA(
        WS_EX_APPWINDOW, PageClass, "VELOR toolkit", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y,
        PageWidth, PageHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!g_page.window)
        return nullptr;
    MakeButtons();
    MakeSliders();
    MakeCombos();
    MakeChecks();
    MakeBoxes(x, y);
    if (g_page.combos.size() > 1)
        g_page.combos[1]->ToggleList();
    InvalidateRect(g_page.window, nullptr, TRUE);
    return g_page.window;
}

void DestroyToolkitPage() {
    g_page.boxes.clear();
    g_page.combos.clear();
    g_page.sliders.clear();
    g_page.buttons.clear();
    if (g_page.window && IsWindow(g_page.window))
        DestroyWindow(g_page.window);
    g_page.window = nullptr;
    g_page.backdrop.Release();
    if (g_page.labelFont)
        DeleteObject(g_page.labelFont);
    if (g_page.headingFont)
        DeleteObject(g_page.headingFont);
    ReleaseLanguageFonts(true);
    ReleaseSharedSkin();
}
