#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/web_view.h"
#include "tests/platform/window_test_support.h"

namespace {

std::string Evaluate(TWebView& view, const std::string& script) {
    std::string value;
    bool answered = false;
    view.RunScript(script, [&](const std::string& result) {
        value = result;
        answered = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return answered; })) << script;
    return value;
}

} // namespace

TEST(WebView, WritesPagesRunsScriptsWithoutDialogsAndReportsNavigationsOfItsOwn) {
    EnsureTestApplication();
    TWebView view;
    EXPECT_FALSE(view.Create(nullptr, RECT{0, 0, 10, 10}));
    TProbe probe;
    HWND parent = MakeProbeWindow(&probe, WS_POPUP | WS_VISIBLE, 0, 0, 320, 240);
    ASSERT_TRUE(view.Create(parent, RECT{10, 20, 210, 170}));
    std::vector<TWebNavigation> completed;
    int notAsked = 0;
    view.OnNavigationComplete([&](TWebNavigation how, bool) { completed.push_back(how); });
    view.OnNavigationNotAsked([&] { ++notAsked; });

    view.Navigate("about:blank");
    ASSERT_TRUE(PumpUntil([&] { return completed.size() == 1; }));
    view.WritePage("<p id='p'>written</p>", TWebView::FileUrl("/tmp") + "/");
    ASSERT_TRUE(PumpUntil([&] { return completed.size() == 2; }));
    EXPECT_EQ(Evaluate(view, "document.getElementById('p').textContent"), "written");
    // Script dialogs answer at once, as cancelled, and show nothing.
    EXPECT_EQ(Evaluate(view, "alert('x'); String(confirm('y')) + prompt('z')"), "falsenull");
    view.RunScript("location.reload();");
    ASSERT_TRUE(PumpUntil([&] { return completed.size() == 3; }));
    EXPECT_EQ(completed, (std::vector<TWebNavigation>{TWebNavigation::Asked, TWebNavigation::Asked,
                                                      TWebNavigation::NotAsked}));
    EXPECT_EQ(notAsked, 1);

    EXPECT_EQ(TWebView::FileUrl("/a b/c.html"), "file:///a%20b/c.html");
    view.Close();
    EXPECT_FALSE(view.Created());
    DestroyWindow(parent);
}
