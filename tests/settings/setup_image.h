#pragma once
// setup.cfg images for the tests: a recognisable pattern in every byte, a
// model name, firmware numbers and fields set by offset, and a valid CRC.

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class TSetupImage {
public:
    explicit TSetupImage(const std::string& model, int major = 2, int minor = 0, int build = 1)
        : m_bytes(8192) {
        for (std::size_t i = 0; i < m_bytes.size(); ++i)
            m_bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
        std::memset(m_bytes.data(), 0, 32);
        std::memcpy(m_bytes.data(), model.data(), std::min<std::size_t>(model.size(), 32));
        Set(32, major);
        Set(36, minor);
        Set(40, build);
        Seal();
    }

    TSetupImage& Set(std::size_t offset, std::int32_t value) {
        std::uint32_t v = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            m_bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
        return Seal();
    }
    TSetupImage& Seal() {
        std::uint32_t crc = static_cast<std::uint32_t>(crc32(0L, m_bytes.data(), 8188));
        for (int i = 0; i < 4; ++i)
            m_bytes[8188 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
        return *this;
    }

    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    void WriteTo(const std::string& path) const {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(m_bytes.data()),
                  static_cast<std::streamsize>(m_bytes.size()));
    }

    static std::vector<std::uint8_t> ReadFrom(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static std::int32_t At(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | bytes[offset + static_cast<std::size_t>(i)];
        return static_cast<std::int32_t>(v);
    }
    static bool CrcMatches(const std::vector<std::uint8_t>& bytes) {
        return bytes.size() >= 8192 &&
               static_cast<std::uint32_t>(At(bytes, 8188)) ==
                   static_cast<std::uint32_t>(crc32(0L, bytes.data(), 8188));
    }

private:
    std::vector<std::uint8_t> m_bytes;
};

// The model list these tests load: both layouts, one unused model.
inline constexpr const char* kTestModelList =
    "<viewer_setting.model.title text=\"Model\"/>\n"
    "<viewer_setting.model.value_0 text=\"QRV-1CAM\" value=\"V3\"/>\n"
    "<viewer_setting.model.value_1 text=\"QRV-2CAM\" value=\"a10\"/>\n"
    "<viewer_setting.model.value_2 text=\"ZX\" value=\"v3\"/>\n"
    "<viewer_setting.model.value_3 text=\"PNTA-F\" value=\"other\"/>\n"
    "<viewer_setting.model.value_4 text=\"OLD-CAM\" value=\"nouse\"/>\n";
