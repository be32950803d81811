// The application object every drawing test needs (fonts and painting
// want a QGuiApplication), and a check that fonts come from fontconfig.

#include <QFontDatabase>
#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class GuiEnvironment : public testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "platform_drawing_test";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] testing::Environment* const kGui =
    testing::AddGlobalTestEnvironment(new GuiEnvironment);

TEST(DrawingEnvironment, FontsOfTheSystemAreVisible) {
    // Without fontconfig behind Qt every face would silently be the same
    // built-in one and the fallback tests would mean nothing.
    EXPECT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Noto Sans CJK KR")));
    EXPECT_TRUE(QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")));
}

}  // namespace
