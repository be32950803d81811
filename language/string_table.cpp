#include "language/string_table.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <tinyxml.h>

#include "language/wide_text.h"
#include "platform/files.h"

namespace {

const char* kRootName = "STRINGS";

// An identifier names a file in the language folder, never a path elsewhere.
bool IsPlainFileName(const std::string& language) {
    return !language.empty() && language.find('/') == std::string::npos && language != "." &&
           language != "..";
}

// The file's bytes as the parser gets them: line ends made "\n" (as
// TinyXML's own file loading does) and malformed UTF-8 made U+FFFD. TinyXML
// steps over a character by its lead byte's length, so a file that stops
// inside a character, or a lead byte followed by a NUL, made it read past
// its buffer or loop for ever.
bool ReadDocumentText(const std::string& path, std::string* text) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::string bytes;
    char buffer[4096];
    std::size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return false;
    std::string lines;
    lines.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') {
            lines.push_back(bytes[i]);
            continue;
        }
        lines.push_back('\n');
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
    }
    *text = ValidUtf8(lines);
    return true;
}

bool LoadDocument(const std::string& language, TiXmlDocument* document) {
    if (!IsPlainFileName(language))
        return false;
    std::string text;
    if (!ReadDocumentText(LanguageFilePath(language), &text))
        return false;
    document->Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    return !document->Error();
}

std::string AttributeOf(const TiXmlElement* element, const char* name) {
    if (!element)
        return std::string();
    const char* value = element->Attribute(name);
    return value ? value : std::string();
}

void FillFrom(const TiXmlElement& root, StringTable* table) {
    for (const TiXmlNode* node = root.FirstChild(); node; node = node->NextSibling()) {
        // A comment's content becomes a key that no lookup asks for.
        const TiXmlElement* element = node->ToElement();
        StringEntry entry{AttributeOf(element, "text"), AttributeOf(element, "value")};
        table->emplace(node->ValueStr(), std::move(entry));
    }
}

} // namespace

StringTable& Strings() {
    static StringTable table;
    return table;
}

std::string LanguageFilePath(const std::string& language) {
    return ResourcePath("language/" + language + ".xml");
}

bool LoadStringTable(const std::string& language) {
    StringTable& table = Strings();
    table.clear();
    // Attribute texts keep their spaces exactly as written.
    TiXmlBase::SetCondenseWhiteSpace(false);
    TiXmlDocument chosen;
    TiXmlDocument fallback;
    TiXmlDocument* document = &chosen;
    if (!LoadDocument(language, &chosen)) {
        // The preference keeps its identifier; only the texts fall back.
        if (!LoadDocument(kFallbackLanguage, &fallback))
            return false;
        document = &fallback;
    }
    const TiXmlElement* root = document->RootElement();
    if (!root || strcasecmp(root->Value(), kRootName) != 0)
        return false;
    FillFrom(*root, &table);
    return true;
}

void ReleaseStringTable() {
    Strings().clear();
}

bool GetString(const std::string& key, std::string* text, std::string* value) {
    const StringTable& table = Strings();
    auto found = table.find(key);
    if (found == table.end()) {
        if (text)
            text->clear();
        if (value)
            value->clear();
        return false;
    }
    if (text)
        *text = found->second.text;
    if (value)
        *value = found->second.value;
    return true;
}

bool GetStringW(const std::string& key, wchar_t* buffer, std::size_t capacity) {
    if (buffer && capacity > 0)
        buffer[0] = L'\0';
    const StringTable& table = Strings();
    auto found = table.find(key);
    if (found == table.end())
        return false;
    if (!buffer || capacity == 0)
        return true;
    std::wstring wide = Utf8ToWide(found->second.text);
    if (wide.size() + 1 > capacity)
        return true;
    std::memcpy(buffer, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    return true;
}

int GetValueList(const std::string& prefix, std::vector<StringEntry>* list) {
    if (list)
        list->clear();
    const StringTable& table = Strings();
    int count = 0;
    for (;; ++count) {
        auto found = table.find(ValueKey(prefix, count));
        if (found == table.end())
            return count;
        if (list)
            list->push_back(found->second);
    }
}

std::string TitleKey(const std::string& prefix) {
    return prefix + ".title";
}

std::string ValueKey(const std::string& prefix, int index) {
    return prefix + ".value_" + std::to_string(index);
}
