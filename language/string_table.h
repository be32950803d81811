#pragma once
// The process-wide table of every visible text, keyed by dotted names
// ("button.ok"), filled from one XML language file. Beside its text an entry
// carries a value: what an option list's choice stands for.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

struct StringEntry {
    std::string text;  // UTF-8, as the file gives it
    std::string value; // UTF-8, as the file gives it
};

// Keys compare exactly: case-sensitive, no trimming.
using StringTable = std::unordered_map<std::string, StringEntry>;

inline constexpr const char* kFallbackLanguage = "japanese";

// The one table, empty until a language is loaded.
StringTable& Strings();

// resource/language/<language>.xml.
std::string LanguageFilePath(const std::string& language);

// Empties the table and fills it from the language's file, or from the
// Japanese file when that one is missing or malformed. False (and an empty
// table) when neither loads or the root element is not "STRINGS".
bool LoadStringTable(const std::string& language);
void ReleaseStringTable();

// Either output may be null. Not found: the given outputs are emptied and
// the result is false.
bool GetString(const std::string& key, std::string* text, std::string* value);

// The text as wide characters (the drawing layer's WCHAR) in `buffer` of
// `capacity` characters, terminated. A
// text that does not fit with its terminator gives an empty string (still
// true). Not found: an empty buffer and false. A null buffer only asks.
bool GetStringW(const std::string& key, wchar_t* buffer, std::size_t capacity);

// prefix.value_0, prefix.value_1, ... up to the first missing index; the
// list is emptied first. Returns the number of entries found.
int GetValueList(const std::string& prefix, std::vector<StringEntry>* list);

// "%s.title" and "%s.value_%d" as the program builds them.
std::string TitleKey(const std::string& prefix);
std::string ValueKey(const std::string& prefix, int index);
