#pragma once
// A mount table and a sysfs tree of the test's own, for the removable-volume
// code: disks with their removable flag, partitions, and disks hanging off a
// USB or MMC bus.

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/removable_volumes.h"
#include "tests/support/temp_folder.h"

class TFakeVolumeSystem {
public:
    TFakeVolumeSystem() {
        std::filesystem::create_directories(Root() + "/block");
        WriteMounts("");
    }

    // /sys/block/<disk> with its removable flag.
    TFakeVolumeSystem& AddDisk(const std::string& disk, bool removable) {
        WriteFlag(Root() + "/block/" + disk, removable);
        return *this;
    }
    // A disk whose device lies below `busPath` (e.g. "pci0/usb1/1-1"), with
    // a removable flag of 0, as USB card readers often report.
    TFakeVolumeSystem& AddDiskOnBus(const std::string& disk, const std::string& busPath) {
        const std::string device = Root() + "/devices/" + busPath + "/block/" + disk;
        WriteFlag(device, false);
        std::filesystem::create_directory_symlink(device, Root() + "/block/" + disk);
        return *this;
    }
    TFakeVolumeSystem& AddPartition(const std::string& disk, const std::string& partition) {
        const std::string folder = Root() + "/block/" + disk + "/" + partition;
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/partition") << "1\n";
        return *this;
    }
    // Replaces the mount table; lines as the kernel writes them.
    void WriteMounts(const std::string& lines) const {
        std::ofstream(MountsFile(), std::ios::trunc) << lines;
    }

    std::string Root() const { return m_folder.Path() + "/sys"; }
    std::string MountsFile() const { return m_folder.Path() + "/mounts"; }
    TVolumeSources Sources() const { return TVolumeSources{MountsFile(), Root()}; }

    static std::string MountLine(const std::string& device, const std::string& point) {
        return device + " " + point + " vfat rw,nosuid,nodev,relatime 0 0\n";
    }

private:
    static void WriteFlag(const std::string& folder, bool removable) {
        std::filesystem::create_directories(folder);
        std::ofstream(folder + "/removable") << (removable ? "1\n" : "0\n");
    }

    TTempFolder m_folder;
};

// Points the process-wide volume sources at a fake system for one scope.
class TScopedVolumeSources {
public:
    explicit TScopedVolumeSources(const TVolumeSources& sources) : m_old(VolumeSources()) {
        SetVolumeSources(sources);
    }
    ~TScopedVolumeSources() { SetVolumeSources(m_old); }
    TScopedVolumeSources(const TScopedVolumeSources&) = delete;
    TScopedVolumeSources& operator=(const TScopedVolumeSources&) = delete;

private:
    TVolumeSources m_old;
};
