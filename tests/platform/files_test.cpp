#include <filesystem>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/last_error.h"
#include "tests/support/temp_folder.h"

TEST(Files, CreateDirectoryReportsExistingAndMissingParent) {
    TTempFolder temp;
    std::string folder = temp.File("Velor");
    EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryA(temp.File("missing/child").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(Files, ProgramFilesFolderFollowsXdgDataHomeAndResourcesTheirOverride) {
    TTempFolder temp;
    {
        TScopedEnv data("XDG_DATA_HOME", temp.Path());
        EXPECT_EQ(ProgramFilesFolder(), temp.Path());
    }
    {
        // A relative XDG path is not valid and falls back to the home folder.
        TScopedEnv data("XDG_DATA_HOME", "relative/path");
        TScopedEnv home("HOME", temp.Path());
        EXPECT_EQ(ProgramFilesFolder(), temp.Path() + "/.local/share");
    }
    TScopedEnv override("VELOR_RESOURCE_DIR", temp.Path());
    EXPECT_EQ(ResourcePath("skin/controls/play_btn_on.png"),
              temp.Path() + "/skin/controls/play_btn_on.png");
}
