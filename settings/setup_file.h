#pragma once
// Reading and replacing the bytes of the camera's settings file on the card.

#include <cstdint>
#include <string>
#include <vector>

// The first 8192 bytes of the file (fewer when it is shorter); false when it
// cannot be opened.
bool ReadSetupFile(const std::string& path, std::vector<std::uint8_t>* image);

// Replaces an existing file as a whole: the new bytes go to a temporary file
// beside it, are flushed to the card and then renamed over the old one, so
// that a failure at any moment leaves either the old file or the new one,
// never a mixture. Without Commit nothing changes.
class TSetupFileWriter {
public:
    TSetupFileWriter() = default;
    ~TSetupFileWriter();
    TSetupFileWriter(const TSetupFileWriter&) = delete;
    TSetupFileWriter& operator=(const TSetupFileWriter&) = delete;

    // Reads the whole file. False for a missing file (it is never created),
    // a file that cannot be opened for writing, or a read error.
    bool Open(const std::string& path);
    // Every byte of the file, to be changed in place before Commit.
    std::vector<std::uint8_t>& Image() { return m_image; }
    bool Commit();

private:
    bool WriteTemporary(int descriptor) const;

    std::string m_path;
    std::vector<std::uint8_t> m_image;
    unsigned m_mode = 0;
    int m_descriptor = -1;
};
