#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>

#include "recordings/recording_catalog.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

using Paths = std::vector<std::string>;

class ScanFolderTest : public ::testing::Test {
protected:
    std::string Touch(const std::string& relative) const {
        const std::string path = m_card.File(relative);
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream{path};
        return path;
    }
    // The entries sorted by path (the walk's own order is the file system's).
    Paths Scan(const std::string& folder, bool* listed = nullptr) const {
        Paths entries;
        const bool result = ScanFolder(folder, &entries);
        if (listed)
            *listed = result;
        std::sort(entries.begin(), entries.end());
        return entries;
    }

    TTempFolder m_card;
};

// Runs `scan` as an unprivileged user (root may list any folder) when
// `folder` is open to that user.
void ExpectAsUnprivilegedUser(const std::string& folder, const std::function<bool()>& scan) {
    if (::geteuid() != 0) {
        EXPECT_TRUE(scan());
        return;
    }
    constexpr uid_t kNobody = 65534;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        if (::access(folder.c_str(), R_OK | X_OK) != 0)
            ::_exit(3);
        ::_exit(scan() ? 0 : 1);
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

} // namespace

TEST_F(ScanFolderTest, FindsAviFilesInAnyCaseAtEveryDepth) {
    Paths expected = {
        Touch("INF_F_0001_20230514-083015.AVI"),
        Touch("DCIM/EVT/EVT_F_0002_20230514-083115.avi"),
        Touch("DCIM/a/b/c/d/moe_F_0003_20230514-083215.Avi"),
        Touch("x.avi"), // five characters: found, kind Unknown
        Touch("DCIM/hidden/.evt_1.avi"),
        Touch("name with blanks.avi"),
        Touch("\xff\xfe not utf-8.avi"),
    };
    for (const char* other :
         {".avi", "avi", "INF_F_0004.mp4", "INF_F_0005.avi.tmp", "DCIM/setup.cfg"})
        Touch(other);
    fs::create_directories(m_card.File("DCIM/folder.avi"));
    std::sort(expected.begin(), expected.end());
    expected.insert(expected.begin(), "earlier");
    // Appended to what the entries hold, a trailing slash not doubled.
    Paths entries = {"earlier"};
    EXPECT_TRUE(ScanFolder(m_card.Path() + "/", &entries));
    std::sort(entries.begin() + 1, entries.end());
    EXPECT_EQ(entries, expected);
}

TEST_F(ScanFolderTest, AFolderThatCannotBeListedIsFalseWithNothingAppended) {
    for (const std::string& folder : {m_card.File("missing"), Touch("inf_1.avi"), std::string()}) {
        bool listed = true;
        EXPECT_TRUE(Scan(folder, &listed).empty()) << folder;
        EXPECT_FALSE(listed) << folder;
    }
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
              (Paths{file, m_card.File("evt_link.avi"), m_card.File("moe_dangling.avi")}));
}

TEST_F(ScanFolderTest, UnreadableSubfoldersAreSkippedButAnUnreadableSourceIsFalse) {
    const std::string kept = Touch("open/inf_1.avi");
    Touch("closed/inf_2.avi");
    fs::permissions(m_card.Path(), fs::perms::all);
    fs::permissions(m_card.File("open"), fs::perms::all);
    ASSERT_EQ(::chmod(m_card.File("closed").c_str(), 0), 0);
    ExpectAsUnprivilegedUser(m_card.Path(), [&] {
        Paths entries, closed;
        return ScanFolder(m_card.Path(), &entries) && entries == Paths{kept} &&
               !ScanFolder(m_card.File("closed"), &closed) && closed.empty();
    });
    ::chmod(m_card.File("closed").c_str(), 0755);
}
