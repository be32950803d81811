#include "settings/setup_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "settings/camera_settings.h"

namespace {

// Closes a descriptor on every way out.
class TDescriptor {
public:
    explicit TDescriptor(int descriptor) : m_descriptor(descriptor) {}
    ~TDescriptor() {
        if (m_descriptor >= 0)
            close(m_descriptor);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return m_descriptor; }
    // Closes now, reporting whether the last buffered bytes made it.
    bool Close() {
        int descriptor = m_descriptor;
        m_descriptor = -1;
        return descriptor < 0 || close(descriptor) == 0;
    }

private:
    int m_descriptor;
};

// Reads up to `limit` bytes (everything when 0); false on a read error.
bool ReadAll(int descriptor, std::size_t limit, std::vector<std::uint8_t>* out) {
    out->clear();
    std::uint8_t buffer[4096];
    for (;;) {
        std::size_t want = sizeof buffer;
        if (limit > 0) {
            if (out->size() >= limit)
                return true;
            want = std::min(want, limit - out->size());
        }
        ssize_t got = read(descriptor, buffer, want);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        out->insert(out->end(), buffer, buffer + got);
    }
}

bool WriteAll(int descriptor, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        ssize_t written = write(descriptor, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A link on the card stays a link: the file it names is the one replaced.
std::string ResolvedPath(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

void FlushFolder(const std::string& folder) {
    TDescriptor descriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (descriptor.Get() >= 0)
        fsync(descriptor.Get());
}

} // namespace

bool ReadSetupFile(const std::string& path, std::vector<std::uint8_t>* image) {
    TDescriptor descriptor(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (descriptor.Get() < 0)
        return false;
    struct stat info {};
    if (fstat(descriptor.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return ReadAll(descriptor.Get(), kSetupFileSize, image);
}

TSetupFileWriter::~TSetupFileWriter() {
    if (m_descriptor >= 0)
        close(m_descriptor);
}

bool TSetupFileWriter::Open(const std::string& path) {
    m_path = ResolvedPath(path);
    // Opening for writing refuses a read-only file; without O_CREAT a
    // missing one is never made.
    m_descriptor = open(m_path.c_str(), O_RDWR | O_CLOEXEC);
    if (m_descriptor < 0)
        return false;
    struct stat info {};
    if (fstat(m_descriptor, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    m_mode = info.st_mode & 07777;
    // A file without any write permission is read-only even to a user whom
    // the system would let write it (the card's read-only attribute).
    if ((m_mode & 0222) == 0)
        return false;
    return ReadAll(m_descriptor, 0, &m_image);
}

bool TSetupFileWriter::WriteTemporary(int descriptor) const {
    if (!WriteAll(descriptor, m_image.data(), m_image.size()))
        return false;
    // Card file systems may not keep modes; the bytes are what matter.
    fchmod(descriptor, static_cast<mode_t>(m_mode));
    return fsync(descriptor) == 0;
}

bool TSetupFileWriter::Commit() {
    if (m_descriptor < 0)
        return false;
    const std::string folder = FolderOf(m_path);
    std::string temporary = folder + "/.setup.cfg.XXXXXX";
    TDescriptor descriptor(mkostemp(temporary.data(), O_CLOEXEC));
    if (descriptor.Get() < 0)
        return false;
    if (!WriteTemporary(descriptor.Get()) || !descriptor.Close() ||
        rename(temporary.c_str(), m_path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    FlushFolder(folder);
    return true;
}
