// The rendered skin in the build tree: every picture the program loads is
// there, at the size its loader or atlas cell expects, with the colour use
// its drawing relies on (opaque copies, magenta-keyed regions, the blue
// see-through marker, blended button images).

#include <zlib.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/files.h"

namespace {

namespace fs = std::filesystem;

struct Rgba {
  uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  Rgba At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

uint32_t BigEndian32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Reverses the per-row filters of 8-bit non-interlaced data in place.
bool Unfilter(std::vector<unsigned char>& data, int width, int height, int bpp) {
  const size_t stride = static_cast<size_t>(width) * bpp;
  for (int y = 0; y < height; ++y) {
    unsigned char* row = &data[y * (stride + 1)];
    const unsigned char* above = y > 0 ? row - (stride + 1) + 1 : nullptr;
    const int filter = row[0];
    unsigned char* px = row + 1;
    for (size_t i = 0; i < stride; ++i) {
      const int left = i >= static_cast<size_t>(bpp) ? px[i - bpp] : 0;
      const int up = above ? above[i] : 0;
      const int corner = (above && i >= static_cast<size_t>(bpp)) ? above[i - bpp] : 0;
      switch (filter) {
        case 0: break;
        case 1: px[i] = static_cast<unsigned char>(px[i] + left); break;
        case 2: px[i] = static_cast<unsigned char>(px[i] + up); break;
        case 3: px[i] = static_cast<unsigned char>(px[i] + (left + up) / 2); break;
        case 4: px[i] = static_cast<unsigned char>(px[i] + Paeth(left, up, corner)); break;
        default: return false;
      }
    }
  }
  return true;
}

// Decodes the 8-bit RGB and RGBA PNGs that rsvg-convert writes; anything
// else is reported as unreadable, with the reason in `error`.
std::optional<PngImage> ReadPng(const fs::path& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  static constexpr std::array<unsigned char, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (file.size() < 8 + 25 || !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
    error = "not a PNG file";
    return std::nullopt;
  }
  PngImage image;
  int bpp = 0;
  std::vector<unsigned char> compressed;
  size_t at = 8;
  bool ended = false;
  while (at + 12 <= file.size() && !ended) {
    const uint32_t length = BigEndian32(&file[at]);
    const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
    if (at + 12 + length > file.size()) break;
    const unsigned char* data = &file[at + 8];
    if (type == "IHDR") {
      image.width = static_cast<int>(BigEndian32(data));
      image.height = static_cast<int>(BigEndian32(data + 4));
      const int depth = data[8], colour = data[9], interlace = data[12];
      if (depth != 8 || (colour != 2 && colour != 6) || interlace != 0) {
        error = "unexpected pixel format";
        return std::nullopt;
      }
      bpp = colour == 6 ? 4 : 3;
    } else if (type == "IDAT") {
      compressed.insert(compressed.end(), data, data + length);
    } else if (type == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  if (!ended || bpp == 0 || image.width <= 0 || image.height <= 0) {
    error = "truncated or without header";
    return std::nullopt;
  }
  uLongf raw_size = static_cast<uLongf>(image.height) * (1 + static_cast<uLongf>(image.width) * bpp);
  std::vector<unsigned char> raw(raw_size);
  if (uncompress(raw.data(), &raw_size, compressed.data(), compressed.size()) != Z_OK || raw_size != raw.size() ||
      !Unfilter(raw, image.width, image.height, bpp)) {
    error = "pixel data does not decode";
    return std::nullopt;
  }
  image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const unsigned char* p = &raw[y * (1 + static_cast<size_t>(image.width) * bpp) + 1];
    for (int x = 0; x < image.width; ++x, p += bpp)
      image.pixels.push_back({p[0], p[1], p[2], bpp == 4 ? p[3] : uint8_t{255}});
  }
  return image;
}

struct Entry {
  int width = 0;
  int height = 0;
  std::string use;     // opaque, alpha, magenta, blue
  int keyX = -1, keyY = -1;
};

fs::path SourceFolder() {
  return fs::path(VELOR_SOURCE_DIR) / "resource" / "skin-src";
}

std::map<std::string, Entry> ReadManifest() {
  std::map<std::string, Entry> entries;
  std::ifstream in(SourceFolder() / "manifest.txt");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name, key;
    Entry entry;
    fields >> name >> entry.width >> entry.height >> entry.use >> key;
    if (!key.empty()) {
      const size_t comma = key.find(',');
      entry.keyX = std::stoi(key.substr(0, comma));
      entry.keyY = std::stoi(key.substr(comma + 1));
    }
    entries[name] = entry;
  }
  return entries;
}

class SkinImages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    manifest_ = new std::map<std::string, Entry>(ReadManifest());
    images_ = new std::map<std::string, PngImage>();
    for (const auto& [name, entry] : *manifest_) {
      std::string error;
      if (auto image = ReadPng(fs::path(ResourcePath("skin/" + name)), error)) (*images_)[name] = std::move(*image);
    }
  }
  static void TearDownTestSuite() {
    delete manifest_;
    delete images_;
  }
  static const PngImage* Image(const std::string& name) {
    const auto found = images_->find(name);
    return found == images_->end() ? nullptr : &found->second;
  }
  static std::map<std::string, Entry>* manifest_;
  static std::map<std::string, PngImage>* images_;
};
std::map<std::string, Entry>* SkinImages::manifest_ = nullptr;
std::map<std::string, PngImage>* SkinImages::images_ = nullptr;

constexpr Rgba kMagenta{255, 0, 255, 255};
constexpr Rgba kKeyBlue{0, 0, 255, 255};

// Every file name the program loads, with the size its loader fixes
// (0 where the skin chooses): shared pictures and atlases, the buttons of
// the main window, control bar, list panel and side window, the dialogs,
// the progress animation, the GPS pictures and the magnifier marker.
struct Expected {
  const char* name;
  int width;
  int height;
};
constexpr Expected kNamed[] = {
    {"top_frame_logo.png", 0, 40}, {"top_frame_center.png", 0, 40}, {"top_frame_right.png", 0, 40},
    {"left_frame.png", 8, 0}, {"right_frame.png", 8, 0}, {"bottom.png", 0, 17},
    {"brightness_bg.png", 0, 0}, {"gsensor.png", 0, 0}, {"gps_bg.png", 0, 0}, {"play_timebar_bg.png", 0, 0},
    {"play_controlbar_bg.png", 0, 0}, {"toolbar_bg.png", 0, 0}, {"file_bg.png", 0, 0},
    {"controls/location_box.png", 0, 0}, {"channel1_logo.png", 0, 0}, {"channel2_logo.png", 0, 0},
    {"red_point.png", 0, 0}, {"controls/list_top_left.png", 0, 0}, {"controls/list_top_space.png", 0, 0},
    {"controls/list_top_filename.png", 0, 0}, {"controls/list_top_right.png", 0, 0},
    {"controls/km_h.png", 0, 0}, {"controls/mi_h.png", 0, 0},
    {"controls/list_selecteditem_left.png", 0, 21}, {"controls/list_selecteditem_middle.png", 0, 21},
    {"controls/list_selecteditem_right.png", 0, 21}, {"controls/list_hovereditem_left.png", 0, 21},
    {"controls/list_hovereditem_middle.png", 0, 21}, {"controls/list_hovereditem_right.png", 0, 21},
    {"number_0.png", 30, 46}, {"number_1.png", 30, 46}, {"number_2.png", 30, 46}, {"number_3.png", 30, 46},
    {"number_4.png", 30, 46}, {"number_5.png", 30, 46}, {"number_6.png", 30, 46}, {"number_7.png", 30, 46},
    {"number_8.png", 30, 46}, {"number_9.png", 30, 46}, {"number_hyphen.png", 30, 46},
    {"controls/checkbox.png", 52, 13},
    {"controls/IDB_COMBOBTN_N.png", 20, 22}, {"controls/IDB_COMBOBTN_C.png", 20, 22},
    {"controls/IDB_COMBOBTN_O.png", 20, 22},
    {"controls/slider_bar_on.png", 9, 10}, {"controls/slider_bar_off.png", 9, 10},
    {"controls/slider_thumb.png", 23, 10}, {"controls/slider_bar_on_small.png", 9, 8},
    {"controls/slider_bar_off_small.png", 9, 8}, {"controls/slider_thumb_small.png", 13, 8},
    {"dialogs/slider_bar_on_small_viewer_setup.png", 9, 10}, {"dialogs/slider_bar_off_small_viewer_setup.png", 9, 10},
    {"dialogs/slider_thumb_small_viewer_setup.png", 16, 10},
    {"dialogs/slider_bar_on_small_blackbox_setup.png", 9, 10},
    {"dialogs/slider_bar_off_small_blackbox_setup.png", 9, 10},
    {"dialogs/slider_thumb_small_blackbox_setup.png", 16, 10},
    {"controls/n_img.png", 15, 18}, {"controls/e_img.png", 15, 18}, {"controls/p_img.png", 15, 18},
    {"controls/type_n_on.png", 0, 0}, {"controls/type_n_off.png", 0, 0}, {"controls/type_e_on.png", 0, 0},
    {"controls/type_e_off.png", 0, 0}, {"controls/type_p_on.png", 0, 0}, {"controls/type_p_off.png", 0, 0},
    {"controls/file_on.png", 76, 0}, {"controls/file_off.png", 76, 0},
    {"controls/map_on.png", 76, 0}, {"controls/map_off.png", 76, 0},
    {"controls/top_close.png", 34, 40}, {"controls/top_maximize.png", 0, 40}, {"controls/top_minimize.png", 0, 40},
    {"controls/1ch_on.png", 0, 0}, {"controls/1ch_off.png", 0, 0}, {"controls/2ch_on.png", 0, 0},
    {"controls/2ch_off.png", 0, 0}, {"controls/viewer_on.png", 0, 0}, {"controls/viewer_off.png", 0, 0},
    {"controls/setup_on.png", 0, 0}, {"controls/setup_off.png", 0, 0}, {"controls/print_on.png", 0, 0},
    {"controls/print_off.png", 0, 0}, {"controls/capture_on.png", 0, 0}, {"controls/capture_off.png", 0, 0},
    {"controls/zoom_on.png", 0, 0}, {"controls/zoom_off.png", 0, 0}, {"controls/file_split_on.png", 0, 0},
    {"controls/file_split_off.png", 0, 0}, {"controls/full_btn_off.png", 0, 0},
    {"controls/hor_btn_on.png", 0, 0}, {"controls/hor_btn_off.png", 0, 0}, {"controls/ver_btn_on.png", 0, 0},
    {"controls/ver_btn_off.png", 0, 0}, {"controls/play_btn_01.png", 0, 0}, {"controls/play_btn_02.png", 0, 0},
    {"controls/play_btn_on.png", 0, 0}, {"controls/play_btn_off.png", 0, 0}, {"controls/play_btn_03.png", 0, 0},
    {"controls/play_btn_04.png", 0, 0}, {"controls/play_btn_05.png", 0, 0}, {"controls/volume_on.png", 0, 0},
    {"controls/volume_off.png", 0, 0}, {"controls/reset_on.png", 0, 0}, {"controls/reset_off.png", 0, 0},
    {"controls/default_btn_n.png", 93, 25}, {"controls/default_btn_o.png", 93, 25},
    {"controls/btn_fileselect_n.png", 0, 0}, {"controls/btn_fileselect_o.png", 0, 0},
    {"dialogs/x.png", 0, 0}, {"dialogs/title_bar.png", 0, 0}, {"dialogs/s_setup.png", 0, 0},
    {"dialogs/s_setup_bg.png", 0, 0}, {"dialogs/s_setup_tap_on.png", 0, 0}, {"dialogs/s_setup_tap_off.png", 0, 0},
    {"dialogs/s_setup_icon.png", 0, 0}, {"dialogs/icon_sd_thumb.png", 13, 0}, {"dialogs/SD_Slider_bg.png", 0, 0},
    {"dialogs/s_viewer.png", 0, 0}, {"dialogs/s_viewer_bg.png", 0, 0},
    {"dialogs/s_viewer_right_top_border.png", 0, 0},
    {"loading_01.png", 0, 0}, {"loading_02.png", 0, 0}, {"loading_03.png", 0, 0},
    {"gps_on.png", 0, 0}, {"gps_off.png", 0, 0}, {"scalemarker.png", 50, 50},
};

TEST_F(SkinImages, EveryPictureTheProgramLoadsIsRenderedAtItsFixedSize) {
  ASSERT_FALSE(manifest_->empty()) << "no manifest at " << SourceFolder();
  for (const Expected& named : kNamed) {
    SCOPED_TRACE(named.name);
    const auto entry = manifest_->find(named.name);
    ASSERT_NE(entry, manifest_->end()) << "not in the manifest";
    const PngImage* image = Image(named.name);
    ASSERT_NE(image, nullptr) << "not rendered, or unreadable";
    if (named.width) {
      EXPECT_EQ(image->width, named.width);
    }
    if (named.height) {
      EXPECT_EQ(image->height, named.height);
    }
  }
  // The side window's map tab sits 3 pixels after the list tab, at x = 87.
  EXPECT_EQ(8 + Image("controls/file_on.png")->width + 3, 87);
}

TEST_F(SkinImages, EveryManifestLineIsAReadablePngOfItsSizeFromAnSvgOfThatSize) {
  for (const auto& [name, entry] : *manifest_) {
    SCOPED_TRACE(name);
    std::string error;
    const auto image = ReadPng(fs::path(ResourcePath("skin/" + name)), error);
    ASSERT_TRUE(image) << error;
    EXPECT_EQ(image->width, entry.width);
    EXPECT_EQ(image->height, entry.height);
    // Drawn at the size it is shown, so nothing is resampled into blur.
    std::ifstream svg(SourceFolder() / (name.substr(0, name.size() - 4) + ".svg"));
    std::string head((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
    head = head.substr(0, head.find('>'));
    EXPECT_NE(head.find("width=\"" + std::to_string(entry.width) + "\""), std::string::npos) << head;
    EXPECT_NE(head.find("height=\"" + std::to_string(entry.height) + "\""), std::string::npos) << head;
  }
}

TEST_F(SkinImages, ColourUseMatchesHowEachPictureIsDrawn) {
  for (const auto& [name, entry] : *manifest_) {
    SCOPED_TRACE(name);
    const PngImage* image = Image(name);
    ASSERT_NE(image, nullptr);
    const auto opaque = [](Rgba p) { return p.a == 255; };
    if (entry.use == "alpha") {
      // Blended over the background they cover: the corner lets it through.
      EXPECT_LT(image->At(0, 0).a, 255);
      continue;
    }
    ASSERT_TRUE(std::all_of(image->pixels.begin(), image->pixels.end(), opaque))
        << "copied pictures must be opaque";
    if (entry.use == "magenta") {
      ASSERT_GE(entry.keyX, 0);
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
      EXPECT_GT(keyed, 0);
      EXPECT_LT(keyed, image->width * image->height / 4) << "the button itself must be most of the picture";
    }
    if (entry.use == "blue") {
      ASSERT_GE(entry.keyX, 0);
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

// A pixel of a rendered picture, or a recorded failure when it is missing.
Rgba PixelOf(const PngImage* image, const char* name, int x, int y) {
  if (!image || x >= image->width || y >= image->height) {
    ADD_FAILURE() << name << " is missing or too small";
    return {0, 0, 0, 0};
  }
  return image->At(x, y);
}

int DifferingPixels(const PngImage& a, const PngImage& b) {
  if (a.width != b.width || a.height != b.height) return a.width * a.height;
  int differing = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) differing += a.pixels[i] == b.pixels[i] ? 0 : 1;
  return differing;
}

TEST_F(SkinImages, StatesAndDigitsCanBeToldApart) {
  const std::pair<const char*, const char*> pairs[] = {
      {"controls/default_btn_n.png", "controls/default_btn_o.png"},
      {"controls/btn_fileselect_n.png", "controls/btn_fileselect_o.png"},
      {"controls/IDB_COMBOBTN_N.png", "controls/IDB_COMBOBTN_C.png"},
      {"controls/IDB_COMBOBTN_N.png", "controls/IDB_COMBOBTN_O.png"},
      {"controls/IDB_COMBOBTN_C.png", "controls/IDB_COMBOBTN_O.png"},
      {"controls/play_btn_on.png", "controls/play_btn_off.png"},
      {"controls/volume_on.png", "controls/volume_off.png"},
      {"controls/km_h.png", "controls/mi_h.png"},
      {"dialogs/s_setup_tap_on.png", "dialogs/s_setup_tap_off.png"},
      {"loading_01.png", "loading_02.png"}, {"loading_02.png", "loading_03.png"},
      {"gps_on.png", "gps_off.png"}, {"channel1_logo.png", "channel2_logo.png"},
  };
  for (const auto& [first, second] : pairs) {
    SCOPED_TRACE(std::string(first) + " / " + second);
    ASSERT_TRUE(Image(first) && Image(second));
    EXPECT_GT(DifferingPixels(*Image(first), *Image(second)), 10);
  }
  for (const auto& [name, entry] : *manifest_) {
    const size_t on = name.rfind("_on.png");
    if (on == std::string::npos) continue;
    const std::string off = name.substr(0, on) + "_off.png";
    if (!Image(off)) continue;
    SCOPED_TRACE(name);
    EXPECT_GT(DifferingPixels(*Image(name), *Image(off)), 10);
  }
  std::vector<std::string> digits;
  for (int d = 0; d <= 9; ++d) digits.push_back("number_" + std::to_string(d) + ".png");
  digits.push_back("number_hyphen.png");
  for (size_t i = 0; i < digits.size(); ++i)
    for (size_t j = i + 1; j < digits.size(); ++j) {
      SCOPED_TRACE(digits[i] + " / " + digits[j]);
      ASSERT_TRUE(Image(digits[i]) && Image(digits[j]));
      EXPECT_GT(DifferingPixels(*Image(digits[i]), *Image(digits[j])), 20);
    }
  // The four check-box cells of the 13-pixel atlas are four different pictures.
  const PngImage* box = Image("controls/checkbox.png");
  ASSERT_NE(box, nullptr);
  for (int a = 0; a < 4; ++a)
    for (int b = a + 1; b < 4; ++b) {
      int differing = 0;
      for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x) differing += box->At(a * 13 + x, y) == box->At(b * 13 + x, y) ? 0 : 1;
      EXPECT_GT(differing, 10) << "cells " << a << " and " << b;
    }
}

bool RowsAreUniform(const PngImage& image) {
  for (int y = 0; y < image.height; ++y)
    for (int x = 1; x < image.width; ++x)
      if (!(image.At(x, y) == image.At(0, y))) return false;
  return true;
}

TEST_F(SkinImages, StretchedPiecesLookTheSameAtAnyLength) {
  // Slider tracks, the caption centre, the bottom band and the list pieces
  // are stretched along x; every column must be alike.
  for (const char* name : {"controls/slider_bar_on.png", "controls/slider_bar_off.png",
                           "controls/slider_bar_on_small.png", "controls/slider_bar_off_small.png",
                           "dialogs/slider_bar_on_small_viewer_setup.png", "dialogs/slider_bar_off_small_viewer_setup.png",
                           "dialogs/slider_bar_on_small_blackbox_setup.png",
                           "dialogs/slider_bar_off_small_blackbox_setup.png", "top_frame_center.png", "bottom.png",
                           "controls/list_top_space.png", "controls/list_selecteditem_middle.png",
                           "controls/list_hovereditem_middle.png", "play_timebar_bg.png", "play_controlbar_bg.png"}) {
    SCOPED_TRACE(name);
    ASSERT_NE(Image(name), nullptr);
    EXPECT_TRUE(RowsAreUniform(*Image(name)));
  }
  // Panel fills are stretched both ways, and their top-left pixel is the
  // brush behind static texts.
  for (const char* name : {"toolbar_bg.png", "dialogs/s_setup_bg.png", "dialogs/s_viewer_bg.png"}) {
    SCOPED_TRACE(name);
    const PngImage* image = Image(name);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(std::all_of(image->pixels.begin(), image->pixels.end(),
                            [&](Rgba p) { return p == image->At(0, 0); }));
  }
}

TEST_F(SkinImages, OpaquePiecesCarryTheColourOfWhatTheyAreCopiedOnto) {
  const Rgba dark_list{17, 17, 17, 255};
  for (const char* name : {"controls/n_img.png", "controls/e_img.png", "controls/p_img.png"})
    EXPECT_EQ(PixelOf(Image(name), name, 0, 0), dark_list) << name;
  const Rgba progress_fill{54, 53, 51, 255};
  for (const char* name : {"loading_01.png", "loading_02.png", "loading_03.png"})
    EXPECT_EQ(PixelOf(Image(name), name, 0, 0), progress_fill) << name;
  const Rgba dialog_panel = PixelOf(Image("dialogs/s_viewer_bg.png"), "dialogs/s_viewer_bg.png", 0, 0);
  EXPECT_EQ(PixelOf(Image("dialogs/s_setup_bg.png"), "dialogs/s_setup_bg.png", 0, 0), dialog_panel);
  for (const char* name : {"controls/checkbox.png", "dialogs/slider_thumb_small_viewer_setup.png",
                           "dialogs/slider_thumb_small_blackbox_setup.png", "dialogs/slider_bar_on_small_viewer_setup.png",
                           "dialogs/slider_bar_on_small_blackbox_setup.png", "dialogs/icon_sd_thumb.png"})
    EXPECT_EQ(PixelOf(Image(name), name, 0, 0), dialog_panel) << name;
  // The main window's sliders and the GPS icon sit on the panels' colour.
  const Rgba panel = PixelOf(Image("toolbar_bg.png"), "toolbar_bg.png", 0, 0);
  for (const char* name : {"controls/slider_thumb.png", "controls/slider_thumb_small.png", "controls/slider_bar_on.png",
                           "controls/slider_bar_off_small.png", "gps_on.png", "gps_off.png", "red_point.png"})
    EXPECT_EQ(PixelOf(Image(name), name, 0, 0), panel) << name;
  EXPECT_EQ(PixelOf(Image("gps_bg.png"), "gps_bg.png", 31, 35), panel) << "where the GPS icon is drawn";
}

}  // namespace
