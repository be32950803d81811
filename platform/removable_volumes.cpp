#include "platform/removable_volumes.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

namespace {

constexpr const char* kDevicePrefix = "/dev/";
// Optical drives report removable media, but are no card.
constexpr const char* kOpticalDiskPrefix = "sr";
// Buses whose disks are cards or sticks, as path components in sysfs.
constexpr const char* kRemovableBuses[] = {"usb", "mmc", "memstick"};

std::mutex& SourcesMutex() {
    static std::mutex mutex;
    return mutex;
}

TVolumeSources& CurrentSources() {
    static TVolumeSources sources;
    return sources;
}

bool IsOctalDigit(char c) {
    return c >= '0' && c <= '7';
}

// The kernel writes blanks, tabs, newlines and backslashes in mount table
// fields as \ooo.
std::string DecodeMountField(const std::string& field) {
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            decoded += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                         (field[i + 3] - '0'));
            i += 3;
            continue;
        }
        decoded += field[i];
    }
    return decoded;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

struct TDirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using TDirectory = std::unique_ptr<DIR, TDirectoryCloser>;

std::string BaseName(const std::string& path) {
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    TDirectory dir(::opendir(folder.c_str()));
    if (!dir)
        return names;
    while (dirent* entry = ::readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    return names;
}

// The kernel's name of the block device: a link such as
// /dev/disk/by-label/CARD is followed when it exists on this system.
std::string KernelDeviceName(const std::string& device) {
    std::string resolved = Exists(device) ? RealPath(device) : std::string();
    return BaseName(resolved.empty() ? device : resolved);
}

// The whole disk that `name` is, or is a partition of; empty when sysfs
// knows no such device.
std::string DiskOf(const std::string& name, const std::string& blockFolder) {
    if (Exists(blockFolder + "/" + name))
        return name;
    for (const std::string& disk : FolderNames(blockFolder)) {
        if (Exists(blockFolder + "/" + disk + "/" + name + "/partition"))
            return disk;
    }
    return std::string();
}

bool SaysRemovable(const std::string& diskFolder) {
    std::ifstream in(diskFolder + "/removable");
    int flag = 0;
    return in >> flag && flag == 1;
}

// Whether the disk's device path in sysfs runs through a card or stick bus.
bool OnRemovableBus(const std::string& diskFolder, const std::string& sysfsRoot) {
    std::string device = RealPath(diskFolder);
    std::string root = RealPath(sysfsRoot);
    if (device.empty() || root.empty() || device.compare(0, root.size(), root) != 0)
        return false;
    std::istringstream components(device.substr(root.size()));
    std::string component;
    while (std::getline(components, component, '/')) {
        for (const char* bus : kRemovableBuses) {
            if (component.rfind(bus, 0) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

void SetVolumeSources(const TVolumeSources& sources) {
    std::lock_guard lock(SourcesMutex());
    CurrentSources() = sources;
}

TVolumeSources VolumeSources() {
    std::lock_guard lock(SourcesMutex());
    return CurrentSources();
}

std::vector<TMountEntry> ReadMountTable(const std::string& mountsFile) {
    std::vector<TMountEntry> entries;
    std::ifstream in(mountsFile);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string mountPoint;
        if (!(fields >> device >> mountPoint))
            continue;
        entries.push_back({DecodeMountField(device), DecodeMountField(mountPoint)});
    }
    return entries;
}

bool IsRemovableDevice(const std::string& device, const std::string& sysfsRoot) {
    if (device.rfind(kDevicePrefix, 0) != 0)
        return false;
    const std::string blockFolder = sysfsRoot + "/block";
    const std::string disk = DiskOf(KernelDeviceName(device), blockFolder);
    if (disk.empty() || disk.rfind(kOpticalDiskPrefix, 0) == 0)
        return false;
    const std::string diskFolder = blockFolder + "/" + disk;
    return SaysRemovable(diskFolder) || OnRemovableBus(diskFolder, sysfsRoot);
}

std::vector<std::string> RemovableMountPoints(const TVolumeSources& sources) {
    std::vector<std::string> points;
    for (const TMountEntry& entry : ReadMountTable(sources.mountsFile)) {
        if (IsRemovableDevice(entry.device, sources.sysfsRoot))
            points.push_back(entry.mountPoint);
    }
    std::sort(points.begin(), points.end());
    points.erase(std::unique(points.begin(), points.end()), points.end());
    return points;
}

std::vector<std::string> RemovableMountPoints() {
    return RemovableMountPoints(VolumeSources());
}

bool PathLiesUnder(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.compare(0, folder.size(), folder) != 0)
        return false;
    if (path.size() == folder.size() || folder.back() == '/')
        return true;
    return path[folder.size()] == '/';
}
