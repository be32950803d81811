#pragma once
// UTF-8 to UTF-16, for texts that reach the drawing layer.

#include <string>
#include <string_view>

// Malformed bytes become U+FFFD, one per offending byte, so a damaged
// language file still shows something readable around the damage.
std::u16string Utf8ToUtf16(std::string_view text);
