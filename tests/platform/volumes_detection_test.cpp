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

    TFakeVolumeSystem m_system;
};

} // namespace

TEST_F(RemovableVolumes, RemovableDisksTheirPartitionsAndDisksOnUsbOrMmcCountInPathOrderEachOnce) {
    std::string table;
    for (auto [device, point] : {std::pair{"/dev/sda1", "/"},
                                 {"/dev/sda2", "/home"},
                                 {"/dev/nvme0n1", "/srv"},
                                 {"/dev/sdb1", "/media/stick"},
                                 {"/dev/sr0", "/media/cdrom"},
                                 {"/dev/sdc", "/run/media/u/READER"},
                                 {"/dev/mmcblk0p1", "/run/media/u/CARD"},
                                 {"/dev/sdb1", "/media/stick"},
                                 {"/dev/sdq1", "/media/ghost"}})
        table += TFakeVolumeSystem::MountLine(device, point);
    // Escaped blanks in mount points are decoded.
    m_system.WriteMounts(table +
                         "tmpfs /media/ram tmpfs rw 0 0\nproc /proc proc rw 0 0\ngarbage\n\n" +
                         "/dev/sdb1 /media/my\\040card\\134x vfat rw 0 0\n");
    EXPECT_EQ(
        RemovableMountPoints(m_system.Sources()),
        Points({"/media/my card\\x", "/media/stick", "/run/media/u/CARD", "/run/media/u/READER"}));
    EXPECT_EQ(ReadMountTable(m_system.MountsFile()).front().device, "/dev/sda1");
    EXPECT_FALSE(IsRemovableDevice("sdb1", m_system.Root()));
    EXPECT_TRUE(IsRemovableDevice("/dev/sdb", m_system.Root()));
    EXPECT_TRUE(
        RemovableMountPoints(TVolumeSources{m_system.MountsFile() + ".missing", m_system.Root()})
            .empty());
    // The process-wide sources are used when set.
    TScopedVolumeSources scoped(m_system.Sources());
    EXPECT_EQ(RemovableMountPoints().size(), 4u);
}

TEST(PathLiesUnder, WholeComponentsOnly) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"/media/card", "/media/card", true},
        {"/media/card/DCIM/a.avi", "/media/card", true},
        {"/media/card/a.avi", "/media/card/", true},
        {"/anything", "/", true},
        {"/media/card2/a.avi", "/media/card", false},
        {"/media/Card/a.avi", "/media/card", false},
        {"/media", "/media/card", false},
        {"", "/media/card", false},
        {"/media/card", "", false},
    };
    for (const auto& [path, folder, under] : cases)
        EXPECT_EQ(PathLiesUnder(path, folder), under) << path << " under " << folder;
}
