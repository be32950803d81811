// Panels: their default slots, routing and the panel set's switching.

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "tests/ui/ui_test_support.h"
#include "ui/act_button.h"
#include "ui/panel.h"

namespace {

class TRecordingPanel : public CPanel {
public:
    explicit TRecordingPanel(int id) : CPanel(id) {}
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
    void SetUp() override { EnsureUiApplication(); }
    TParentWindow m_frame{300, 200};
};

TEST_F(Panels, RegisteringAClassTwiceSucceedsBothTimes) {
    StartRecordingMessageBoxes(IDOK);
    EXPECT_TRUE(RegisterWindowClass("__UiTwice__", PanelWindowProcedure, false));
    EXPECT_TRUE(RegisterWindowClass("__UiTwice__", PanelWindowProcedure, true));
    StopRecordingMessageBoxes();
    EXPECT_TRUE(RecordedMessageBoxes().empty());
}

TEST_F(Panels, CreationFailureShowsTheExceptionBox) {
    StartRecordingMessageBoxes(IDOK);
    TRecordingPanel panel(1);
    panel.SetClassName("__NoSuchClass__");
    EXPECT_FALSE(CreateWnd(&panel, WS_CHILD, 0, 0, 10, 10, m_frame.hWnd));
    StopRecordingMessageBoxes();
    ASSERT_EQ(RecordedMessageBoxes().size(), 1u);
    EXPECT_EQ(RecordedMessageBoxes()[0].caption, "Exception");
}

TEST_F(Panels, DefaultSlotsPaintWhiteRouteUserMessagesAndNegateSpinDeltas) {
    TPanelSet set(m_frame.hWnd);
    auto info = std::make_unique<TPanelInfo>();
    info->panelId = 5;
    info->panel = std::make_unique<TRecordingPanel>(5);
    auto* panel = static_cast<TRecordingPanel*>(info->panel.get());
    ASSERT_TRUE(set.AddPanel(std::move(info)));
    EXPECT_TRUE(panel->initialisedWithBackground);
    EXPECT_EQ(WindowObject(panel->hWnd), panel);
    RECT rect;
    GetClientRect(panel->hWnd, &rect);
    EXPECT_EQ(rect.right, 300);
    // The default erase copies the white background.
    HDC dc = GetDC(panel->hWnd);
    RECT all{0, 0, 300, 200};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SendMessageA(panel->hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(panel->hWnd, dc);
    EXPECT_EQ(PixelAt(panel->hWnd, 150, 100), RGB(255, 255, 255));

    EXPECT_EQ(SendMessageA(panel->hWnd, WM_USER + 7, 0, 0), 42);
    EXPECT_EQ(SendMessageA(panel->hWnd, 0xC123, 0, 0), 0);
    ASSERT_EQ(panel->userMessages.size(), 1u);

    NMUPDOWN spin;
    spin.hdr.hwndFrom = m_frame.hWnd;
    spin.hdr.code = UDN_DELTAPOS;
    spin.iDelta = 3;
    EXPECT_EQ(SendMessageA(panel->hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&spin)), 0);
    EXPECT_EQ(spin.iDelta, -3);
    EXPECT_EQ(SendMessageA(panel->hWnd, WM_CTLCOLORSTATIC, 0, 0),
              reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH)));
}

TEST_F(Panels, MessagesBeforeBindingGoToTheDefaultProcedure) {
    RegisterWindowClass("__UiUnbound__", PanelWindowProcedure, false);
    // No object as the creation parameter: nothing is ever bound.
    HWND window = CreateWindowExA(0, "__UiUnbound__", nullptr, WS_CHILD, 0, 0, 20, 20, m_frame.hWnd, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(WindowObject(window), nullptr);
    EXPECT_EQ(SendMessageA(window, WM_USER + 7, 0, 0), 0);
    SetWindowTextA(window, "plain");
    char text[16] = {};
    EXPECT_EQ(SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 5);
    DestroyWindow(window);
}

TEST_F(Panels, LeavingVetoedByOnActivateKeepsTheCurrentPanelAndItsTab) {
    TPanelSet set(m_frame.hWnd);
    HWND tabs[2];
    TRecordingPanel* panels[2];
    for (int i = 0; i < 2; ++i) {
        tabs[i] = CreateWindowExA(0, "BUTTON", "tab", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, m_frame.hWnd,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
        auto info = std::make_unique<TPanelInfo>();
        info->panelId = 10 + i;
        info->panel = std::make_unique<TRecordingPanel>(10 + i);
        info->tabButton = tabs[i];
        panels[i] = static_cast<TRecordingPanel*>(info->panel.get());
        ASSERT_TRUE(set.AddPanel(std::move(info)));
    }
    std::snprintf(panels[1]->title, sizeof panels[1]->title, "%s", "second");
    set.ShowPanel(10);
    EXPECT_TRUE(IsWindowVisible(panels[0]->hWnd));
    EXPECT_FALSE(IsWindowVisible(panels[1]->hWnd));
    EXPECT_FALSE(IsWindowEnabled(tabs[0]));
    panels[0]->allowLeave = false;
    set.ShowPanel(11);
    EXPECT_EQ(set.currentId, 10);
    EXPECT_TRUE(IsWindowVisible(panels[0]->hWnd));
    EXPECT_FALSE(IsWindowEnabled(tabs[0]));
    EXPECT_TRUE(panels[1]->activations.empty());
    panels[0]->allowLeave = true;
    set.ShowPanel(11);
    EXPECT_EQ(set.currentId, 11);
    EXPECT_FALSE(IsWindowVisible(panels[0]->hWnd));
    EXPECT_TRUE(IsWindowEnabled(tabs[0]));
    EXPECT_FALSE(IsWindowEnabled(tabs[1]));
    ASSERT_EQ(panels[1]->activations.size(), 1u);
    EXPECT_TRUE(panels[1]->activations[0]);
    set.DestroyPanels();
    EXPECT_EQ(set.currentId, -1);
    EXPECT_TRUE(set.panels.empty());
}

TEST_F(Panels, ShowingWithNoPanelsOnlyRecordsTheId) {
    TPanelSet set(m_frame.hWnd);
    set.ShowPanel(3);
    EXPECT_EQ(set.currentId, 3);
}

}  // namespace
