#include "CaseFolding.h"

#include <cwctype>

#include <locale.h>

namespace rinvo {

namespace {

// Decodes one UTF-8 sequence at 'at'; returns its length, or 0 where the bytes are not valid.
std::size_t decode(std::string_view text, std::size_t at, char32_t& code)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1
        : lead >= 0xF0               ? 4
        : lead >= 0xE0               ? 3
        : lead >= 0xC2               ? 2
                                     : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    return code > 0x10FFFF ? 0 : length;
}

void encode(char32_t code, std::string& out)
{
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// glibc's C.UTF-8 carries the full Unicode case tables whatever the user's locale is.
locale_t unicodeLocale()
{
    static const locale_t locale = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return locale;
}

} // namespace

std::string foldCase(std::string_view name)
{
    std::string folded;
    folded.reserve(name.size());
    const locale_t locale = unicodeLocale();
    for (std::size_t at = 0; at < name.size();) {
        char32_t code = 0;
        const std::size_t length = decode(name, at, code);
        if (length == 0) {
            folded.push_back(name[at++]);
            continue;
        }
        if (code < 0x80)
            encode(code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code, folded);
        else if (locale)
            encode(static_cast<char32_t>(::towlower_l(static_cast<wint_t>(code), locale)), folded);
        else
            encode(code, folded);
        at += length;
    }
    return folded;
}

} // namespace rinvo
