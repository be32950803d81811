// The rendered skin in the build tree: every picture the program loads is
// there, at the size its loader or atlas cell expects, with the colour use
// its drawing relies on (opaque copies, magenta-keyed regions, the blue
// see-through marker, blended button images).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/gdiplus.h"

namespace {

namespace fs = std::filesystem;

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

constexpr Rgba kMagenta{255, 0, 255, 255};
constexpr Rgba kKeyBlue{0, 0, 255, 255};

// A picture as the program's own loader decodes it.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;
    Rgba At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

std::optional<Picture> Load(const std::string& name) {
    const std::string path = ResourcePath("skin/" + name);
    Gdiplus::Bitmap bitmap(std::wstring(path.begin(), path.end()).c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok)
        return std::nullopt;
    Picture picture{static_cast<int>(bitmap.GetWidth()), static_cast<int>(bitmap.GetHeight()), {}};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            Gdiplus::Color c;
            bitmap.GetPixel(x, y, &c);
            picture.pixels.push_back({c.GetR(), c.GetG(), c.GetB(), c.GetA()});
        }
    }
    return picture;
}

// A manifest line: the size the picture is drawn at and how its colours are
// used (opaque | alpha | magenta x,y | blue x,y: that pixel is the key).
struct Entry {
    int width = 0;
    int height = 0;
    std::string use;
    int keyX = 0, keyY = 0;
};

fs::path SourceFolder() {
    return fs::path(VELOR_SOURCE_DIR) / "resource" / "skin-src";
}

class SkinImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::ifstream in(SourceFolder() / "manifest.txt");
        std::string line;
        while (std::getline(in, line)) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            std::string name;
            Entry entry;
            char comma = 0;
            fields >> name >> entry.width >> entry.height >> entry.use >> entry.keyX >> comma >>
                entry.keyY;
            manifest_[name] = entry;
            if (auto picture = Load(name))
                images_[name] = std::move(*picture);
        }
    }
    static const Picture* Image(const std::string& name) {
        const auto found = images_.find(name);
        return found == images_.end() ? nullptr : &found->second;
    }
    // A pixel, or a recorded failure when the picture is missing or too small.
    static Rgba PixelOf(const std::string& name, int x = 0, int y = 0) {
        const Picture* image = Image(name);
        if (!image || x >= image->width || y >= image->height) {
            ADD_FAILURE() << name << " is missing or too small";
            return {0, 0, 0, 0};
        }
        return image->At(x, y);
    }
    static inline std::map<std::string, Entry> manifest_;
    static inline std::map<std::string, Picture> images_;
};

// The sizes that loaders and atlas cells fix (0 where the skin chooses).
struct Fixed {
    int width;
    int height;
    std::vector<std::string> names;
};
const Fixed kFixedSizes[] = {
    {0,
     40,
     {"top_frame_logo.png", "top_frame_center.png", "top_frame_right.png",
      "controls/top_maximize.png", "controls/top_minimize.png"}},
    {34, 40, {"controls/top_close.png"}},
    {8, 0, {"left_frame.png", "right_frame.png"}},
    {0, 17, {"bottom.png"}},
    {0,
     21,
     {"controls/list_selecteditem_left.png", "controls/list_selecteditem_middle.png",
      "controls/list_selecteditem_right.png", "controls/list_hovereditem_left.png",
      "controls/list_hovereditem_middle.png", "controls/list_hovereditem_right.png"}},
    {30,
     46,
     {"number_0.png", "number_1.png", "number_2.png", "number_3.png", "number_4.png",
      "number_5.png", "number_6.png", "number_7.png", "number_8.png", "number_9.png",
      "number_hyphen.png"}},
    {52, 13, {"controls/checkbox.png"}},
    {20,
     22,
     {"controls/IDB_COMBOBTN_N.png", "controls/IDB_COMBOBTN_C.png", "controls/IDB_COMBOBTN_O.png"}},
    {9,
     10,
     {"controls/slider_bar_on.png", "controls/slider_bar_off.png",
      "dialogs/slider_bar_on_small_viewer_setup.png",
      "dialogs/slider_bar_off_small_viewer_setup.png",
      "dialogs/slider_bar_on_small_blackbox_setup.png",
      "dialogs/slider_bar_off_small_blackbox_setup.png"}},
    {23, 10, {"controls/slider_thumb.png"}},
    {9, 8, {"controls/slider_bar_on_small.png", "controls/slider_bar_off_small.png"}},
    {13, 8, {"controls/slider_thumb_small.png"}},
    {16,
     10,
     {"dialogs/slider_thumb_small_viewer_setup.png",
      "dialogs/slider_thumb_small_blackbox_setup.png"}},
    {15, 18, {"controls/n_img.png", "controls/e_img.png", "controls/p_img.png"}},
    {76,
     0,
     {"controls/file_on.png", "controls/file_off.png", "controls/map_on.png",
      "controls/map_off.png"}},
    {93, 25, {"controls/default_btn_n.png", "controls/default_btn_o.png"}},
    {13, 0, {"dialogs/icon_sd_thumb.png"}},
    {50, 50, {"scalemarker.png"}},
};

TEST_F(SkinImages, PicturesOfFixedSizeAreRenderedAtThatSize) {
    ASSERT_FALSE(manifest_.empty()) << "no manifest at " << SourceFolder();
    for (const Fixed& fixed : kFixedSizes) {
        for (const std::string& name : fixed.names) {
            const Picture* image = Image(name);
            ASSERT_NE(image, nullptr)
                << name << " is not in the manifest, not rendered, or unreadable";
            EXPECT_TRUE(!fixed.width || image->width == fixed.width)
                << name << ": " << image->width;
            EXPECT_TRUE(!fixed.height || image->height == fixed.height)
                << name << ": " << image->height;
        }
    }
}

// Every picture name written in the program's sources (with "%d" for a
// digit) is one the skin renders.
TEST_F(SkinImages, EveryPictureTheProgramNamesIsInTheSkin) {
    const std::regex quoted("\"(?:resource/)?(?:skin/)?([A-Za-z0-9_/%]+\\.png)\"");
    int named = 0;
    for (auto it = fs::recursive_directory_iterator(VELOR_SOURCE_DIR);
         it != fs::recursive_directory_iterator(); ++it) {
        const std::string relative = fs::relative(it->path(), VELOR_SOURCE_DIR).string();
        const std::string extension = it->path().extension().string();
        const bool skipped = relative.rfind("tests", 0) == 0 || relative.rfind("tools", 0) == 0 ||
                             relative.rfind("build", 0) == 0 || relative[0] == '.';
        if (skipped && it->is_directory())
            it.disable_recursion_pending();
        if (skipped || (extension != ".cpp" && extension != ".h"))
            continue;
        std::ifstream source(it->path());
        for (std::string line; std::getline(source, line);) {
            if (line.find_first_not_of(' ') != std::string::npos &&
                line.compare(line.find_first_not_of(' '), 2, "//") == 0)
                continue; // examples in comments
            for (std::sregex_iterator match(line.begin(), line.end(), quoted), end; match != end;
                 ++match) {
                std::string name = (*match)[1];
                const size_t digit = name.find("%d");
                ++named;
                for (int d = 0; d <= (digit == std::string::npos ? 0 : 9); ++d) {
                    const std::string each =
                        digit == std::string::npos
                            ? name
                            : name.substr(0, digit) + std::to_string(d) + name.substr(digit + 2);
                    EXPECT_TRUE(Image(each)) << relative << " names " << each;
                }
            }
        }
    }
    EXPECT_GT(named, 20) << "the scan found too few names to be looking in the right place";
}

TEST_F(SkinImages, EveryManifestLineIsAReadablePngOfItsSizeFromAnSvgOfThatSize) {
    for (const auto& [name, entry] : manifest_) {
        SCOPED_TRACE(name);
        const Picture* image = Image(name);
        ASSERT_NE(image, nullptr) << "not rendered, or unreadable";
        EXPECT_EQ(image->width, entry.width);
        EXPECT_EQ(image->height, entry.height);
        // Drawn at the size it is shown, so nothing is resampled into blur.
        std::ifstream svg(SourceFolder() / (name.substr(0, name.size() - 4) + ".svg"));
        std::string head((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
        head = head.substr(0, head.find('>'));
        EXPECT_NE(head.find("width=\"" + std::to_string(entry.width) + "\""), std::string::npos)
            << head;
        EXPECT_NE(head.find("height=\"" + std::to_string(entry.height) + "\""), std::string::npos)
            << head;
    }
}

TEST_F(SkinImages, ColourUseMatchesHowEachPictureIsDrawn) {
    for (const auto& [name, entry] : manifest_) {
        SCOPED_TRACE(name);
        const Picture* image = Image(name);
        ASSERT_NE(image, nullptr);
        if (entry.use == "alpha") {
            // Blended over the background they cover: the corner lets it through.
            EXPECT_LT(image->At(0, 0).a, 255);
            continue;
        }
        ASSERT_TRUE(std::all_of(image->pixels.begin(), image->pixels.end(), [](Rgba p) {
            return p.a == 255;
        })) << "copied pictures must be opaque";
        if (entry.use == "magenta") {
            EXPECT_EQ(image->At(entry.keyX, entry.keyY), kMagenta);
            // What the region builder counts as magenta (green up to 16) must be
            // the exact key, or region and transparent copy would disagree.
            int keyed = 0;
            for (const Rgba& p : image->pixels) {
                if (p.r == 255 && p.b == 255 && p.g <= 16) {
                    EXPECT_EQ(p, kMagenta);
                    ++keyed;
                }
            }
            EXPECT_LT(keyed, image->width * image->height / 4)
                << "the button itself must be most of the picture";
        }
        if (entry.use == "blue") {
            EXPECT_EQ(image->At(entry.keyX, entry.keyY), kKeyBlue);
            // No fringe of almost-blue that would show as a blue halo.
            for (const Rgba& p : image->pixels) {
                if (p.b >= 200 && p.r <= 60 && p.g <= 60) {
                    EXPECT_EQ(p, kKeyBlue);
                }
            }
            EXPECT_NE(image->At(0, 0), kKeyBlue) << "the marker's frame must show";
        }
    }
}

TEST_F(SkinImages, OpaquePiecesCarryTheColourOfWhatTheyAreCopiedOnto) {
    const Rgba darkList{17, 17, 17, 255};
    const Rgba progressFill{54, 53, 51, 255};
    const Rgba dialogPanel = PixelOf("dialogs/s_viewer_bg.png");
    const Rgba panel = PixelOf("toolbar_bg.png");
    const std::pair<const char*, Rgba> backgrounds[] = {
        {"controls/n_img.png", darkList},
        {"controls/e_img.png", darkList},
        {"controls/p_img.png", darkList},
        {"loading_01.png", progressFill},
        {"loading_02.png", progressFill},
        {"loading_03.png", progressFill},
        {"dialogs/s_setup_bg.png", dialogPanel},
        {"controls/checkbox.png", dialogPanel},
        {"dialogs/slider_thumb_small_viewer_setup.png", dialogPanel},
        {"dialogs/slider_thumb_small_blackbox_setup.png", dialogPanel},
        {"dialogs/slider_bar_on_small_viewer_setup.png", dialogPanel},
        {"dialogs/slider_bar_on_small_blackbox_setup.png", dialogPanel},
        {"dialogs/icon_sd_thumb.png", dialogPanel},
        // The main window's sliders and the GPS icon sit on the panels' colour.
        {"controls/slider_thumb.png", panel},
        {"controls/slider_thumb_small.png", panel},
        {"controls/slider_bar_on.png", panel},
        {"controls/slider_bar_off_small.png", panel},
        {"gps_on.png", panel},
        {"gps_off.png", panel},
        {"red_point.png", panel},
    };
    for (const auto& [name, colour] : backgrounds)
        EXPECT_EQ(PixelOf(name), colour) << name;
    EXPECT_EQ(PixelOf("gps_bg.png", 31, 35), panel) << "where the GPS icon is drawn";
}

} // namespace
