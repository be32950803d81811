#include <gtest/gtest.h>

#include "platform/removable_volumes.h"
#include "tests/platform/volumes_fake_system.h"

namespace {

using Points = std::vector<std::string>;

class RemovableVolumes : public ::testing::Test {
protected:
    void SetUp() override {
        m_system.AddDisk("sda", false).AddPartition("sda", "sda1").AddPartition("sda", "sda2");
        m_system.AddDisk("sdb", true).AddPartition("sdb", "sdb1");
        m_system.AddDiskOnBus("sdc", "pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0");
        m_system.AddDiskOnBus("mmcblk0", "platform/soc/mmc_host/mmc0/mmc0:aaaa");
        m_system.AddPartition("mmcblk0", "mmcblk0p1");
        m_system.AddDiskOnBus("nvme0n1", "pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0");
        m_system.AddDisk("sr0", true);
    }

    Points Removable() const { return RemovableMountPoints(m_system.Sources()); }

    TFakeVolumeSystem m_system;
};

} // namespace

TEST_F(RemovableVolumes, OnlyRemovableDisksAndTheirPartitionsCount) {
    m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sda1", "/") +
                         TFakeVolumeSystem::MountLine("/dev/sda2", "/home") +
                         TFakeVolumeSystem::MountLine("/dev/nvme0n1", "/srv") +
                         TFakeVolumeSystem::MountLine("/dev/sdb1", "/media/stick") +
                         TFakeVolumeSystem::MountLine("/dev/sr0", "/media/cdrom") +
                         "tmpfs /media/ram tmpfs rw 0 0\n" +
                         "proc /proc proc rw 0 0\n");
    EXPECT_EQ(Removable(), Points({"/media/stick"}));
}

TEST_F(RemovableVolumes, DisksOnUsbOrMmcBusesCountWithoutTheFlag) {
    m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sdc", "/run/media/u/READER") +
                         TFakeVolumeSystem::MountLine("/dev/mmcblk0p1", "/run/media/u/CARD"));
    EXPECT_EQ(Removable(), Points({"/run/media/u/CARD", "/run/media/u/READER"}));
}

TEST_F(RemovableVolumes, MountPointsComeInPathOrderEachOnce) {
    m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sdb1", "/media/z") +
                         TFakeVolumeSystem::MountLine("/dev/mmcblk0p1", "/media/c") +
                         TFakeVolumeSystem::MountLine("/dev/sdc", "/media/e") +
                         TFakeVolumeSystem::MountLine("/dev/sdb1", "/media/z"));
    EXPECT_EQ(Removable(), Points({"/media/c", "/media/e", "/media/z"}));
}

TEST_F(RemovableVolumes, EscapedBlanksInMountPointsAreDecoded) {
    m_system.WriteMounts("/dev/sdb1 /media/my\\040card\\134x vfat rw 0 0\n");
    EXPECT_EQ(Removable(), Points({"/media/my card\\x"}));
    std::vector<TMountEntry> entries = ReadMountTable(m_system.MountsFile());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].device, "/dev/sdb1");
}

TEST_F(RemovableVolumes, UnknownDevicesAndAMissingTableGiveNothing) {
    m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sdq1", "/media/ghost") + "garbage\n\n");
    EXPECT_TRUE(Removable().empty());
    EXPECT_FALSE(IsRemovableDevice("sdb1", m_system.Root()));
    EXPECT_TRUE(IsRemovableDevice("/dev/sdb", m_system.Root()));
    EXPECT_TRUE(RemovableMountPoints(TVolumeSources{m_system.MountsFile() + ".missing",
                                                    m_system.Root()})
                    .empty());
}

TEST_F(RemovableVolumes, TheProcessWideSourcesAreUsedWhenSet) {
    m_system.WriteMounts(TFakeVolumeSystem::MountLine("/dev/sdb1", "/media/stick"));
    TScopedVolumeSources scoped(m_system.Sources());
    EXPECT_EQ(RemovableMountPoints(), Points({"/media/stick"}));
}

TEST(PathLiesUnder, WholeComponentsOnly) {
    EXPECT_TRUE(PathLiesUnder("/media/card", "/media/card"));
    EXPECT_TRUE(PathLiesUnder("/media/card/DCIM/a.avi", "/media/card"));
    EXPECT_TRUE(PathLiesUnder("/media/card/a.avi", "/media/card/"));
    EXPECT_TRUE(PathLiesUnder("/anything", "/"));
    EXPECT_FALSE(PathLiesUnder("/media/card2/a.avi", "/media/card"));
    EXPECT_FALSE(PathLiesUnder("/media/Card/a.avi", "/media/card"));
    EXPECT_FALSE(PathLiesUnder("/media", "/media/card"));
    EXPECT_FALSE(PathLiesUnder("", "/media/card"));
    EXPECT_FALSE(PathLiesUnder("/media/card", ""));
}
