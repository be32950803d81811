#include "language/wide_text.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Length of the sequence a lead byte opens, 0 for a byte that cannot lead.
int SequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes the sequence at `pos`; returns false for a malformed or overlong
// one, a surrogate or a code point past U+10FFFF.
bool DecodeAt(std::string_view text, std::size_t pos, int length, char32_t* codePoint) {
    if (pos + static_cast<std::size_t>(length) > text.size())
        return false;
    unsigned char lead = static_cast<unsigned char>(text[pos]);
    if (length == 1) {
        *codePoint = lead;
        return true;
    }
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        unsigned char next = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
        if (!IsContinuation(next))
            return false;
        value = (value << 6) | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return false;
    *codePoint = value;
    return true;
}

void Append(std::u16string* out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out->push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

void Append(std::wstring* out, char32_t codePoint) {
    if constexpr (sizeof(wchar_t) >= 4) {
        out->push_back(static_cast<wchar_t>(codePoint));
    } else {
        std::u16string pair;
        Append(&pair, codePoint);
        out->append(pair.begin(), pair.end());
    }
}

void Append(std::string* out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out->push_back(static_cast<char>(codePoint));
        return;
    }
    const int length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    static constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    out->push_back(static_cast<char>(kLeadMarks[length] | (codePoint >> (6 * (length - 1)))));
    for (int i = length - 2; i >= 0; --i)
        out->push_back(static_cast<char>(0x80 | ((codePoint >> (6 * i)) & 0x3F)));
}

template <class String> String Convert(std::string_view text) {
    String out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        int length = SequenceLength(static_cast<unsigned char>(text[pos]));
        char32_t codePoint = 0;
        if (length == 0 || !DecodeAt(text, pos, length, &codePoint)) {
            Append(&out, kReplacementCharacter);
            ++pos;
            continue;
        }
        Append(&out, codePoint);
        pos += static_cast<std::size_t>(length);
    }
    return out;
}

} // namespace

std::wstring Utf8ToWide(std::string_view text) {
    return Convert<std::wstring>(text);
}
std::u16string Utf8ToUtf16(std::string_view text) {
    return Convert<std::u16string>(text);
}
std::string ValidUtf8(std::string_view text) {
    return Convert<std::string>(text);
}
