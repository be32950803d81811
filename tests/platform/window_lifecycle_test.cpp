#include <gtest/gtest.h>

#include "platform/last_error.h"
#include "tests/platform/window_test_support.h"

namespace {

class WindowLifecycle : public ::testing::Test {
protected:
    void SetUp() override { EnsureTestApplication(); }
};

TEST_F(WindowLifecycle, CreationDataComesFirstAndDestructionLast) {
    TProbe probe;
    void* seenParam = nullptr;
    probe.handler = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_CREATE)
            seenParam = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
        return std::nullopt;
    };
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(seenParam, &probe);
    // The creation messages, in Win32 order, before anything else about it.
    const std::vector<UINT> created = probe.Only({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW});
    ASSERT_GE(created.size(), 5u);
    EXPECT_EQ(created[0], WM_NCCREATE);
    EXPECT_EQ(created[1], WM_CREATE);
    EXPECT_EQ(created[2], WM_SIZE);
    EXPECT_EQ(created[3], WM_MOVE);
    EXPECT_EQ(created[4], WM_SHOWWINDOW);
    EXPECT_TRUE(IsWindowVisible(window));

    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_FALSE(IsWindow(window));
    ASSERT_GE(probe.messages.size(), 2u);
    EXPECT_EQ(probe.messages[probe.messages.size() - 2], WM_DESTROY);
    EXPECT_EQ(probe.messages.back(), WM_NCDESTROY);
    PumpEvents();
}

TEST_F(WindowLifecycle, ChildrenAreDestroyedBeforeTheirParentFinishes) {
    std::vector<std::pair<char, UINT>> order;
    TProbe parentProbe, childProbe, grandchildProbe;
    auto recorder = [&](char who) {
        return [&order, who](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == WM_DESTROY || message == WM_NCDESTROY)
                order.push_back({who, message});
            return std::nullopt;
        };
    };
    parentProbe.handler = recorder('P');
    childProbe.handler = recorder('C');
    grandchildProbe.handler = recorder('G');
    HWND parent = MakeProbeWindow(&parentProbe, WS_POPUP, 0, 0, 200, 200);
    HWND child = MakeProbeWindow(&childProbe, WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, parent);
    HWND grandchild = MakeProbeWindow(&grandchildProbe, WS_CHILD, 5, 5, 20, 20, child);
    ASSERT_TRUE(parent && child && grandchild);
    EXPECT_EQ(GetParent(grandchild), child);

    DestroyWindow(parent);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(IsWindow(grandchild));
    const std::vector<std::pair<char, UINT>> expected = {
        {'P', WM_DESTROY}, {'C', WM_DESTROY}, {'G', WM_DESTROY},
        {'G', WM_NCDESTROY}, {'C', WM_NCDESTROY}, {'P', WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    PumpEvents();
}

TEST_F(WindowLifecycle, CreateAnswerOfMinusOneFailsTheCreation) {
    TProbe probe;
    probe.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE)
            return -1;
        return std::nullopt;
    };
    HWND window = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(probe.Only({WM_SHOWWINDOW}).size(), 0u);
    ASSERT_FALSE(probe.messages.empty());
    EXPECT_EQ(probe.messages.back(), WM_NCDESTROY);
    PumpEvents();
}

TEST_F(WindowLifecycle, ClassesRegisterOnceAndCopyIntoNewClasses) {
    WNDCLASSEXA windowClass;
    windowClass.lpfnWndProc = ProbeProcedure;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpszClassName = "__LifecycleClass__";
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
    // Class names are matched without regard to case, as Win32 does.
    windowClass.lpszClassName = "__lifecycleclass__";
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);

    WNDCLASSEXA button;
    ASSERT_TRUE(GetClassInfoExA(nullptr, "BUTTON", &button));
    EXPECT_NE(button.lpfnWndProc, nullptr);
    EXPECT_TRUE(button.style & CS_DBLCLKS);
    EXPECT_FALSE(GetClassInfoExA(nullptr, "NoSuchClass", &button));
    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                              nullptr, nullptr),
              nullptr);
}

TEST_F(WindowLifecycle, WindowLongsKeepWhatIsStored) {
    TProbe probe;
    HWND parent = MakeProbeWindow(&probe, WS_POPUP, 0, 0, 100, 100);
    TProbe childProbe;
    RegisterProbeClass("ProbeClass", CS_DBLCLKS);
    HWND child = CreateWindowExA(0, "ProbeClass", "", WS_CHILD, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(static_cast<std::intptr_t>(117)),
                                 nullptr, &childProbe);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_ID), 117);
    EXPECT_EQ(GetDlgItem(parent, 117), child);
    EXPECT_EQ(GetDlgCtrlID(child), 117);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&childProbe));
    SetWindowLongPtrA(child, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongPtrA(child, GWL_EXSTYLE), static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
    // A style change alone does not show a window; ShowWindow does.
    SetWindowLongPtrA(child, GWL_STYLE, WS_CHILD | WS_VISIBLE);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(SetWindowTextA(parent, "Progress"));
    char text[32];
    EXPECT_EQ(GetWindowTextA(parent, text, sizeof text), 8);
    EXPECT_STREQ(text, "Progress");
    EXPECT_EQ(FindWindowA(nullptr, "Progress"), parent);
    EXPECT_EQ(FindWindowA(nullptr, "Absent"), nullptr);
    DestroyWindow(parent);
    EXPECT_EQ(FindWindowA(nullptr, "Progress"), nullptr);
    PumpEvents();
}

WNDPROC g_baseProcedure = nullptr;
std::vector<std::string> g_chain;

LRESULT SubclassProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 7)
        g_chain.push_back("sub");
    return CallWindowProcA(g_baseProcedure, window, message, wParam, lParam);
}

TEST_F(WindowLifecycle, SubclassingChainsToTheOldProcedure) {
    TProbe probe;
    probe.handler = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_USER + 7)
            return std::nullopt;
        g_chain.push_back("base");
        return 42;
    };
    HWND window = MakeProbeWindow(&probe, WS_POPUP, 0, 0, 40, 40);
    g_chain.clear();
    g_baseProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProcedure)));
    EXPECT_EQ(g_baseProcedure, &ProbeProcedure);
    EXPECT_EQ(SendMessageA(window, WM_USER + 7, 0, 0), 42);
    EXPECT_EQ(g_chain, (std::vector<std::string>{"sub", "base"}));
    DestroyWindow(window);
    PumpEvents();
}

} // namespace
