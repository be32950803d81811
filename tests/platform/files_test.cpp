#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/last_error.h"
#include "tests/support/temp_folder.h"

TEST(Files, ModuleFileNameIsThisExecutable) {
    char buffer[MAX_PATH * 4] = {};
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(length, std::strlen(buffer));
    EXPECT_TRUE(std::filesystem::equivalent(buffer, "/proc/self/exe"));
    EXPECT_EQ(ProgramFolder(), std::filesystem::path(buffer).parent_path().string());

    char tiny[4] = {};
    EXPECT_EQ(GetModuleFileNameA(nullptr, tiny, sizeof tiny), sizeof tiny);
    EXPECT_EQ(tiny[3], '\0');
}

TEST(Files, CreateDirectoryReportsExistingAndMissingParent) {
    TTempFolder temp;
    std::string folder = temp.File("Velor");
    EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryA(temp.File("missing/child").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST(Files, ProgramFilesFolderFollowsXdgDataHome) {
    TTempFolder temp;
    {
        TScopedEnv data("XDG_DATA_HOME", temp.Path());
        char path[MAX_PATH] = {};
        ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
        EXPECT_EQ(std::string(path), temp.Path());
    }
    {
        // A relative XDG path is not valid and falls back to the home folder.
        TScopedEnv data("XDG_DATA_HOME", "relative/path");
        TScopedEnv home("HOME", temp.Path());
        EXPECT_EQ(ProgramFilesFolder(), temp.Path() + "/.local/share");
    }
}

TEST(Files, ResourceFolderIsFoundBesideOrInstalled) {
    TTempFolder temp;
    TScopedEnv override("VELOR_RESOURCE_DIR", temp.Path());
    EXPECT_EQ(ResourceFolder(), temp.Path());
    EXPECT_EQ(ResourcePath("skin/controls/play_btn_on.png"), temp.Path() + "/skin/controls/play_btn_on.png");
}

TEST(Files, SystemTextForCodes) {
    char buffer[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0,
                                  buffer, sizeof buffer, nullptr);
    EXPECT_GT(length, 0u);
    EXPECT_STREQ(buffer, std::strerror(ENOENT));
    EXPECT_EQ(SystemErrorText(ERROR_CLASS_ALREADY_EXISTS), "Class already exists.");
    EXPECT_EQ(SystemErrorText(Win32ErrorFromErrno(EIO)), std::strerror(EIO));
    char tiny[2] = {};
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, tiny, sizeof tiny, nullptr), 0u);
}
