#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "recordings/recording_catalog.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

class ScanFolderTest : public ::testing::Test {
protected:
    std::string Touch(const std::string& relative) const {
        const std::string path = m_card.File(relative);
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream{path};
        return path;
    }
    std::vector<std::string> Scan(const std::string& folder, bool* listed = nullptr) const {
        std::vector<std::string> entries;
        bool result = ScanFolder(folder, &entries);
        if (listed)
            *listed = result;
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    TTempFolder m_card;
};

} // namespace

TEST_F(ScanFolderTest, FindsAviFilesInAnyCaseAtEveryDepth) {
    std::vector<std::string> expected = {
        Touch("INF_F_0001_20230514-083015.AVI"),
        Touch("DCIM/EVT/EVT_F_0002_20230514-083115.avi"),
        Touch("DCIM/a/b/c/d/moe_F_0003_20230514-083215.Avi"),
        Touch("x.avi"),  // five characters: found, kind Unknown
        Touch("DCIM/hidden/.evt_1.avi"),
        Touch("name with blanks.avi"),
        Touch("\xff\xfe not utf-8.avi"),
    };
    Touch(".avi");
    Touch("avi");
    Touch("INF_F_0004.mp4");
    Touch("INF_F_0005.avi.tmp");
    Touch("DCIM/setup.cfg");
    fs::create_directories(m_card.File("DCIM/folder.avi"));
    std::sort(expected.begin(), expected.end());
    bool listed = false;
    EXPECT_EQ(Scan(m_card.Path(), &listed), expected);
    EXPECT_TRUE(listed);
}

TEST_F(ScanFolderTest, PathsAreFolderSlashNameEvenWithATrailingSlash) {
    const std::string file = Touch("sub/inf_1.avi");
    EXPECT_EQ(Scan(m_card.Path() + "/"), std::vector<std::string>{file});
}

TEST_F(ScanFolderTest, PathsLongerThanTheOldBuffersAreKeptWhole) {
    const std::string folder(120, 'f');
    const std::string file = Touch(folder + "/" + folder + "/" + folder + "/INF_F_0001_long.avi");
    ASSERT_GT(file.size(), 400u);
    EXPECT_EQ(Scan(m_card.Path()), std::vector<std::string>{file});
}

TEST_F(ScanFolderTest, AppendsToWhatTheEntriesHold) {
    Touch("inf_1.avi");
    std::vector<std::string> entries = {"earlier"};
    EXPECT_TRUE(ScanFolder(m_card.Path(), &entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], "earlier");
}

TEST_F(ScanFolderTest, AFolderThatCannotBeListedIsFalseWithNothingAppended) {
    bool listed = true;
    EXPECT_TRUE(Scan(m_card.File("missing"), &listed).empty());
    EXPECT_FALSE(listed);
    const std::string file = Touch("inf_1.avi");
    EXPECT_TRUE(Scan(file, &listed).empty()) << "a file is no folder";
    EXPECT_FALSE(listed);
    EXPECT_TRUE(Scan("", &listed).empty());
    EXPECT_FALSE(listed);
}

TEST_F(ScanFolderTest, LinkLoopsAndLinkedFoldersAreNotFollowed) {
    const std::string file = Touch("DCIM/inf_1.avi");
    fs::create_directory_symlink(m_card.Path(), m_card.File("DCIM/loop"));
    fs::create_directory_symlink("..", m_card.File("DCIM/up"));
    TTempFolder elsewhere;
    std::ofstream{elsewhere.File("evt_outside.avi")};
    fs::create_directory_symlink(elsewhere.Path(), m_card.File("linked"));
    // A link to a file is a file; a dangling one too, since none is opened.
    fs::create_symlink(file, m_card.File("evt_link.avi"));
    fs::create_symlink(m_card.File("gone"), m_card.File("moe_dangling.avi"));
    EXPECT_EQ(Scan(m_card.Path()),
              (std::vector<std::string>{file, m_card.File("evt_link.avi"),
                                        m_card.File("moe_dangling.avi")}));
}

// Root may list any folder, so the unreadable folder is tried by an
// unprivileged child when the test runs as root.
TEST_F(ScanFolderTest, UnreadableSubfoldersAreSkipped) {
    const std::string kept = Touch("open/inf_1.avi");
    Touch("closed/inf_2.avi");
    ASSERT_EQ(::chmod(m_card.File("closed").c_str(), 0), 0);
    fs::permissions(m_card.Path(), fs::perms::all);
    fs::permissions(m_card.File("open"), fs::perms::all);
    auto scanOk = [&] {
        std::vector<std::string> entries;
        return ScanFolder(m_card.Path(), &entries) && entries == std::vector<std::string>{kept};
    };
    if (::geteuid() != 0) {
        EXPECT_TRUE(scanOk());
    } else {
        constexpr uid_t kNobody = 65534;
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(2);
            if (::access(m_card.Path().c_str(), R_OK | X_OK) != 0)
                ::_exit(3);
            ::_exit(scanOk() ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == 2)
            GTEST_SKIP() << "cannot drop privileges here";
        if (WEXITSTATUS(status) == 3)
            GTEST_SKIP() << "the scratch folder is closed to an unprivileged user";
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    ::chmod(m_card.File("closed").c_str(), 0755);
}
