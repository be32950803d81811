#pragma once
// Removable drives on Linux: a "drive" is the mount point of a mounted
// volume whose block device, or the disk it is a partition of, is
// removable (sysfs says so, or it hangs off a USB or SD/MMC bus).

#include <string>
#include <vector>

// Where the mount table and sysfs are read from. Tests point both at files
// of their own.
struct TVolumeSources {
    std::string mountsFile = "/proc/self/mounts";
    std::string sysfsRoot = "/sys";
};

// The sources every later call uses, until changed again.
void SetVolumeSources(const TVolumeSources& sources);
TVolumeSources VolumeSources();

// One line of the mount table, with its octal escapes (\040 for a blank)
// decoded.
struct TMountEntry {
    std::string device;
    std::string mountPoint;
};
std::vector<TMountEntry> ReadMountTable(const std::string& mountsFile);

// Whether the block device named by a mount table's device field is
// removable, judged from sysfs below `sysfsRoot`.
bool IsRemovableDevice(const std::string& device, const std::string& sysfsRoot);

// Mount points of removable volumes, each once, in byte order of their
// paths (the order drive letters had).
std::vector<std::string> RemovableMountPoints(const TVolumeSources& sources);
std::vector<std::string> RemovableMountPoints();

// Whether `path` is `folder` itself or lies below it, by whole path
// components ("/media/card2" is not below "/media/card").
bool PathLiesUnder(const std::string& path, const std::string& folder);
