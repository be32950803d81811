#include <gtest/gtest.h>

#include <cstdlib>

#include "language/language_fonts.h"
#include "platform/application.h"

namespace {

// Face and height of a GDI font, e.g. L"Tahoma/13"; empty for none.
std::wstring LookOf(HFONT font) {
    LOGFONTW description;
    if (!font || GetObjectW(font, sizeof description, &description) != sizeof description)
        return L"";
    return std::wstring(description.lfFaceName) + L"/" + std::to_wstring(description.lfHeight);
}

class LanguageFontsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Fonts need no display; keep a platform the caller chose.
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "language_fonts_test";
        static char* argv[] = {name, nullptr};
        s_application = new TApplication(argc, argv);
    }
    static void TearDownTestSuite() { delete s_application; }
    void TearDown() override { ReleaseLanguageFonts(true); }

    static inline TApplication* s_application = nullptr;
};

} // namespace

TEST_F(LanguageFontsTest, ThaiSwitchesTheRebuiltFontsAndTheOnceBuiltKeepTheirFaces) {
    CreateLanguageFonts("english");
    LanguageFonts& fonts = SharedFonts();
    EXPECT_EQ(LookOf(fonts.control), L"돋움/12");
    EXPECT_EQ(LookOf(fonts.picker), L"굴림/9");
    EXPECT_EQ(LookOf(fonts.dialog), L"굴림체/11");
    EXPECT_EQ(LookOf(fonts.listGdi), L"돋움/11");
    ASSERT_TRUE(fonts.caption && fonts.label && fonts.list && fonts.readOut);
    EXPECT_EQ(fonts.caption->GetStyle(), Gdiplus::FontStyleBold);
    EXPECT_EQ(fonts.caption->GetUnit(), Gdiplus::UnitPixel);
    EXPECT_FLOAT_EQ(fonts.label->GetSize(), 12.0f);
    const HFONT listGdi = fonts.listGdi;
    const Gdiplus::Font* list = fonts.list.get();
    const Gdiplus::Font* readOut = fonts.readOut.get();

    CreateLanguageFonts("Thai");
    EXPECT_EQ(LookOf(fonts.control), L"Tahoma/13");
    EXPECT_EQ(LookOf(fonts.smallControl), L"Tahoma/12");
    EXPECT_EQ(LookOf(fonts.picker), L"Tahoma/10");
    EXPECT_FLOAT_EQ(fonts.caption->GetSize(), 13.0f);
    EXPECT_FLOAT_EQ(fonts.label->GetSize(), 13.0f);
    // Made once: still the fonts of the first language.
    EXPECT_EQ(fonts.listGdi, listGdi);
    EXPECT_EQ(LookOf(fonts.listGdi), L"돋움/11");
    EXPECT_EQ(LookOf(fonts.dialog), L"굴림체/11");
    EXPECT_EQ(fonts.list.get(), list);
    EXPECT_FLOAT_EQ(fonts.list->GetSize(), 11.0f);
    EXPECT_EQ(fonts.readOut.get(), readOut);
}

TEST_F(LanguageFontsTest, APartialReleaseKeepsTheOnceBuiltFonts) {
    CreateLanguageFonts("thai");
    LanguageFonts& fonts = SharedFonts();
    ReleaseLanguageFonts(false);
    EXPECT_FALSE(fonts.control || fonts.picker || fonts.caption || fonts.label);
    EXPECT_TRUE(fonts.listGdi && fonts.dialog && fonts.readOut);

    ReleaseLanguageFonts(true);
    EXPECT_FALSE(fonts.listGdi || fonts.list);
    CreateLanguageFonts("korean");
    EXPECT_EQ(LookOf(fonts.listGdi), L"돋움/11");
}
