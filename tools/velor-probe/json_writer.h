#pragma once
// A small streaming JSON writer for the tools' output: objects, arrays,
// numbers (non-finite ones as null), strings with escapes, null.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class TJsonWriter {
public:
    void BeginObject() { Value(); m_out += '{'; m_first.push_back(true); }
    void EndObject() { m_out += '}'; m_first.pop_back(); }
    void BeginArray() { Value(); m_out += '['; m_first.push_back(true); }
    void EndArray() { m_out += ']'; m_first.pop_back(); }

    // Names the next value inside an object.
    void Key(const std::string& name) {
        Separator();
        AppendString(name);
        m_out += ':';
        m_afterKey = true;
    }

    void Null() { Value(); m_out += "null"; }
    void Bool(bool value) { Value(); m_out += value ? "true" : "false"; }
    void Int(std::int64_t value) { Value(); m_out += std::to_string(value); }
    void Number(double value) {
        Value();
        if (!std::isfinite(value)) {
            m_out += "null";
            return;
        }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", value);
        m_out += buffer;
    }
    void String(const std::string& value) { Value(); AppendString(value); }

    const std::string& Text() const { return m_out; }

private:
    void Separator() {
        if (m_first.empty())
            return;
        if (!m_first.back())
            m_out += ',';
        m_first.back() = false;
    }
    void Value() {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        Separator();
    }
    void AppendString(const std::string& value) {
        m_out += '"';
        for (unsigned char c : value) {
            switch (c) {
            case '"': m_out += "\\\""; break;
            case '\\': m_out += "\\\\"; break;
            case '\n': m_out += "\\n"; break;
            case '\r': m_out += "\\r"; break;
            case '\t': m_out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    m_out += buffer;
                } else {
                    m_out += static_cast<char>(c);
                }
            }
        }
        m_out += '"';
    }

    std::string m_out;
    std::vector<bool> m_first;
    bool m_afterKey = false;
};
