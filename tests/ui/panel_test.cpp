// Panels: the binding of windows to objects, the default slots and their
// routing for window and dialog panels, and the panel set's switching.

#include <gtest/gtest.h>

#include "platform/dialog.h"
#include "platform/message_box.h"
#include "tests/ui/ui_test_support.h"
#include "ui/panel.h"

namespace {

constexpr int DialogPanelId = 4321;

class TRecordingPanel : public CPanel {
public:
    void OnInitPanel(LPARAM) override { initialisedWithBackground = !background.released; }
    LRESULT OnUserMessage(UINT message, WPARAM, LPARAM) override {
        userMessages.push_back(message);
        return 42;
    }
    bool OnActivate(bool activating) override {
        activations.push_back(activating);
        return activating || allowLeave;
    }
    bool initialisedWithBackground = false;
    bool allowLeave = true;
    std::vector<UINT> userMessages;
    std::vector<bool> activations;
};

class Panels : public ::testing::Test {
protected:
    TRecordingPanel* Add(TPanelSet& set, int id, bool asDialog = false, HWND tab = nullptr) {
        auto info = std::make_unique<TPanelInfo>();
        info->panelId = id;
        info->panel = std::make_unique<TRecordingPanel>();
        info->asDialog = asDialog;
        info->tabButton = tab;
        auto* panel = static_cast<TRecordingPanel*>(info->panel.get());
        return set.AddPanel(std::move(info)) ? panel : nullptr;
    }
    TParentWindow m_frame{300, 200};
};

TEST_F(Panels, RegisteringTwiceSucceedsAndAFailedCreationShowsTheExceptionBox) {
    StartRecordingMessageBoxes(IDOK);
    EXPECT_TRUE(RegisterWindowClass("__UiTwice__", BoundWindowProcedure));
    EXPECT_TRUE(RegisterWindowClass("__UiTwice__", BoundWindowProcedure, TClassStyle::Plain));
    EXPECT_TRUE(RecordedMessageBoxes().empty());
    // Without an object to bind, messages go to the default procedure.
    HWND unbound = CreateWindowExA(0, "__UiTwice__", nullptr, WS_CHILD, 0, 0, 9, 9, m_frame.hWnd,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(WindowObject(unbound), nullptr);
    EXPECT_EQ(SendMessageA(unbound, WM_USER + 7, 0, 0), 0);
    SetWindowTextA(unbound, "plain");
    EXPECT_EQ(GetWindowTextLengthA(unbound), 5);
    DestroyWindow(unbound);
    TRecordingPanel panel;
    panel.SetClassName("__NoSuchClass__");
    EXPECT_FALSE(CreateWnd(&panel, WS_CHILD, 0, 0, 10, 10, m_frame.hWnd));
    StopRecordingMessageBoxes();
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(RecordedMessageBoxes()[0].caption, "Exception");
}

TEST_F(Panels, WindowAndDialogPanelsRouteToTheSameDefaultSlots) {
    TDialogTemplate dialogTemplate;
    dialogTemplate.style = WS_CHILD | WS_VISIBLE;
    RegisterDialogTemplate(DialogPanelId, dialogTemplate);
    TPanelSet set(m_frame.hWnd);
    for (bool asDialog : {false, true}) {
        TRecordingPanel* panel = Add(set, asDialog ? DialogPanelId : 5, asDialog);
        ASSERT_NE(panel, nullptr) << asDialog;
        EXPECT_TRUE(panel->initialisedWithBackground);
        EXPECT_EQ(WindowObject(panel->hWnd), panel);
        RECT rect;
        GetClientRect(panel->hWnd, &rect);
        EXPECT_EQ(rect.right, 300);
        // The default erase copies the white background.
        HDC dc = GetDC(panel->hWnd);
        FillSolid(dc, RECT{0, 0, 300, 200}, RGB(0, 0, 0));
        SendMessageA(panel->hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseDC(panel->hWnd, dc);
        EXPECT_EQ(PixelAt(panel->hWnd, 150, 100), RGB(255, 255, 255)) << asDialog;
        EXPECT_EQ(SendMessageA(panel->hWnd, WM_USER + 7, 0, 0), 42);
        EXPECT_EQ(SendMessageA(panel->hWnd, 0xC123, 0, 0), 0);
        EXPECT_EQ(panel->userMessages.size(), 1u);
    }
}

TEST_F(Panels, LeavingVetoedByOnActivateKeepsTheCurrentPanelAndItsTab) {
    TPanelSet set(m_frame.hWnd);
    set.ShowPanel(3);
    EXPECT_EQ(set.CurrentId(), 3);
    HWND tabs[2];
    TRecordingPanel* panels[2];
    for (int i = 0; i < 2; ++i) {
        tabs[i] = CreateWindowExA(0, "BUTTON", "tab", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                  m_frame.hWnd, nullptr, GetModuleHandleA(nullptr), nullptr);
        panels[i] = Add(set, 10 + i, false, tabs[i]);
        ASSERT_NE(panels[i], nullptr);
    }
    set.ShowPanel(10);
    EXPECT_TRUE(IsWindowVisible(panels[0]->hWnd));
    EXPECT_FALSE(IsWindowVisible(panels[1]->hWnd));
    EXPECT_FALSE(IsWindowEnabled(tabs[0]));
    panels[0]->allowLeave = false;
    set.ShowPanel(11);
    EXPECT_EQ(set.CurrentId(), 10);
    EXPECT_TRUE(IsWindowVisible(panels[0]->hWnd));
    EXPECT_FALSE(IsWindowEnabled(tabs[0]));
    EXPECT_TRUE(panels[1]->activations.empty());
    panels[0]->allowLeave = true;
    set.ShowPanel(11);
    EXPECT_EQ(set.CurrentId(), 11);
    EXPECT_FALSE(IsWindowVisible(panels[0]->hWnd));
    EXPECT_TRUE(IsWindowEnabled(tabs[0]));
    EXPECT_FALSE(IsWindowEnabled(tabs[1]));
    EXPECT_EQ(panels[1]->activations, std::vector<bool>{true});
    set.DestroyPanels();
    EXPECT_EQ(set.CurrentId(), -1);
    EXPECT_EQ(set.PanelCount(), 0u);
}

} // namespace
