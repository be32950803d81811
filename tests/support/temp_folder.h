#pragma once
// A fresh folder under the test build's scratch space, removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <string>

class TTempFolder {
public:
    TTempFolder() {
        const char* base = std::getenv("VELOR_TEST_TMP");
        std::string pattern = std::string(base && base[0] ? base : "/tmp") + "/velor-XXXXXX";
        m_path = pattern;
        if (!mkdtemp(m_path.data()))
            m_path.clear();
    }
    ~TTempFolder() {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Points an environment variable somewhere for one scope.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_had = true;
            m_old = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~TScopedEnv() {
        if (m_had)
            setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            unsetenv(m_name.c_str());
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    std::string m_name;
    std::string m_old;
    bool m_had = false;
};
