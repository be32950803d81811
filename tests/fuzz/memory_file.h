#pragma once
// The fuzz input as a file that readers taking a path can open: an
// anonymous in-memory file, named through /proc/self/fd.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

class TMemoryFile {
public:
    TMemoryFile(const std::uint8_t* data, std::size_t size)
        : m_descriptor(memfd_create("velor-fuzz", 0)) {
        std::size_t written = 0;
        while (m_descriptor >= 0 && written < size) {
            const ssize_t result = write(m_descriptor, data + written, size - written);
            if (result <= 0)
                break;
            written += static_cast<std::size_t>(result);
        }
    }
    ~TMemoryFile() {
        if (m_descriptor >= 0)
            close(m_descriptor);
    }
    TMemoryFile(const TMemoryFile&) = delete;
    TMemoryFile& operator=(const TMemoryFile&) = delete;

    bool IsOpen() const { return m_descriptor >= 0; }
    std::string Path() const { return "/proc/self/fd/" + std::to_string(m_descriptor); }

private:
    int m_descriptor;
};
