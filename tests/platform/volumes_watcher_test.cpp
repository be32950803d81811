#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/mount_watcher.h"
#include "tests/platform/volumes_fake_system.h"

namespace {

struct TChange {
    WPARAM event;
    std::string mountPoint;
    bool operator==(const TChange&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TChange& change) {
    return out << (change.event == DBT_DEVICEARRIVAL ? "arrival " : "removal ")
               << change.mountPoint;
}

class MountWatcher : public ::testing::Test {
protected:
    void SetUp() override {
        m_system.AddDisk("sda", false).AddPartition("sda", "sda1");
        m_system.AddDisk("sdb", true).AddPartition("sdb", "sdb1");
        m_system.AddDisk("sdc", true).AddPartition("sdc", "sdc1");
        m_system.WriteMounts(Line("/dev/sda1", "/"));
    }

    static std::string Line(const char* device, const char* point) {
        return TFakeVolumeSystem::MountLine(device, point);
    }

    std::unique_ptr<TMountWatcher> MakeWatcher() {
        return std::make_unique<TMountWatcher>(
            [this](WPARAM event, const std::string& point) {
                m_changes.push_back({event, point});
            },
            m_system.Sources());
    }

    TFakeVolumeSystem m_system;
    std::vector<TChange> m_changes;
};

} // namespace

TEST_F(MountWatcher, ReportsChangesOfRemovableMountPointsRemovalsFirst) {
    m_system.WriteMounts(Line("/dev/sda1", "/") + Line("/dev/sdb1", "/media/a"));
    auto watcher = MakeWatcher();
    watcher->CheckForChanges();
    EXPECT_TRUE(m_changes.empty()) << "what was mounted at the start is no arrival";

    m_system.WriteMounts(Line("/dev/sda1", "/") + Line("/dev/sdb1", "/media/a") +
                         Line("/dev/sda1", "/mnt/bind") + Line("/dev/sdc1", "/media/b"));
    watcher->CheckForChanges();
    watcher->CheckForChanges(); // an unchanged table reports nothing
    EXPECT_EQ(m_changes, std::vector<TChange>({{DBT_DEVICEARRIVAL, "/media/b"}}));

    m_changes.clear();
    m_system.WriteMounts(Line("/dev/sdc1", "/media/d") + Line("/dev/sdb1", "/media/c"));
    watcher->CheckForChanges();
    EXPECT_EQ(m_changes, std::vector<TChange>({{DBT_DEVICEREMOVECOMPLETE, "/media/a"},
                                               {DBT_DEVICEREMOVECOMPLETE, "/media/b"},
                                               {DBT_DEVICEARRIVAL, "/media/c"},
                                               {DBT_DEVICEARRIVAL, "/media/d"}}));
    EXPECT_EQ(watcher->KnownMountPoints(), std::vector<std::string>({"/media/c", "/media/d"}));

    // A vanished table removes everything.
    m_changes.clear();
    std::filesystem::remove(m_system.MountsFile());
    watcher->CheckForChanges();
    EXPECT_EQ(m_changes, std::vector<TChange>({{DBT_DEVICEREMOVECOMPLETE, "/media/c"},
                                               {DBT_DEVICEREMOVECOMPLETE, "/media/d"}}));
}

// The kernel's change flag on /proc/self/mounts, end to end: in a child with
// a mount namespace of its own, a tmpfs mounted under a removable device's
// name must reach the callback through the event loop.
TEST_F(MountWatcher, TheKernelsChangeFlagReachesTheCallback) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const std::string point = m_system.Root() + "/../card";
    std::filesystem::create_directories(point);
    const std::string mountPoint = std::filesystem::canonical(point).string();

    enum ChildResult { Arrived = 0, NoNamespace = 2, NoMount = 3, NotStarted = 4, Missed = 5 };
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(NoNamespace);
        int argc = 1;
        char name[] = "watcher";
        char* argv[] = {name, nullptr};
        QCoreApplication application(argc, argv);
        int result = Missed;
        TMountWatcher watcher(
            [&](WPARAM event, const std::string& changed) {
                if (event == DBT_DEVICEARRIVAL && changed == mountPoint) {
                    result = Arrived;
                    application.quit();
                }
            },
            TVolumeSources{"/proc/self/mounts", m_system.Root()});
        if (!watcher.Start())
            ::_exit(NotStarted);
        QTimer::singleShot(0, [&] {
            if (::mount("/dev/sdb1", mountPoint.c_str(), "tmpfs", 0, nullptr) != 0) {
                result = NoMount;
                application.quit();
            }
        });
        // Only a bound against a hang: the flag comes at once or never.
        QTimer::singleShot(10000, [&] { application.quit(); });
        application.exec();
        ::_exit(result);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == NoNamespace || WEXITSTATUS(status) == NoMount)
        GTEST_SKIP() << "no private mount namespace here";
    EXPECT_EQ(WEXITSTATUS(status), Arrived);
}
