#pragma once
// A resource folder of the test's own, with language files written by the
// test, that the string table loads from while the object lives.

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

class TLanguageFolder {
public:
    TLanguageFolder() { std::filesystem::create_directories(m_root.Path() + "/language"); }

    // Writes resource/language/<language>.xml with `body` inside the root.
    void Write(const std::string& language, const std::string& body,
               const std::string& root = "STRINGS") const {
        WriteRaw(language, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">\n" + body +
                               "</" + root + ">\n");
    }
    void WriteRaw(const std::string& language, const std::string& content) const {
        std::ofstream out(m_root.Path() + "/language/" + language + ".xml", std::ios::binary);
        out << content;
    }
    void Remove(const std::string& language) const {
        std::filesystem::remove(m_root.Path() + "/language/" + language + ".xml");
    }
    const std::string& Path() const { return m_root.Path(); }

private:
    TTempFolder m_root;
    TScopedEnv m_resources{"VELOR_RESOURCE_DIR", m_root.Path()};
};
