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

bool LoadDocument(const std::string& language, TiXmlDocument* document) {
    if (!IsPlainFileName(language))
        return false;
    return document->LoadFile(LanguageFilePath(language), TIXML_DEFAULT_ENCODING);
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
