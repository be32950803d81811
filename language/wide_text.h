#pragma once
// UTF-8 to the wide texts the drawing layer takes (WCHAR is wchar_t: one
// code point per unit here) and to UTF-16.

#include <string>
#include <string_view>

// Malformed bytes become U+FFFD, one per offending byte, so a damaged
// language file still shows something readable around the damage.
std::wstring Utf8ToWide(std::string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
// The same text as UTF-8 that is valid throughout: each malformed byte
// becomes U+FFFD, as above.
std::string ValidUtf8(std::string_view text);
