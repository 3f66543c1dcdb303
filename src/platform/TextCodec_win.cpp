#include "TextCodec.h"

#include "WinSupport.h"

#include <algorithm>
#include <charconv>

namespace rinvo {

namespace {

class WinCodec final : public TextCodec
{
public:
    WinCodec(UINT codePage, std::string name)
        : m_codePage(codePage)
        , m_name(std::move(name))
    { }

    std::optional<std::string> encode(std::string_view utf8) const override
    {
        if (utf8.empty())
            return std::string();
        const int wideLength = ::MultiByteToWideChar(
            CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        if (wideLength == 0)
            return std::nullopt;
        std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
        ::MultiByteToWideChar(
            CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLength);
        if (m_codePage == CP_UTF8)
            return std::string(utf8);
        BOOL usedDefault = FALSE;
        const int length = ::WideCharToMultiByte(m_codePage, WC_NO_BEST_FIT_CHARS, wide.data(),
            wideLength, nullptr, 0, nullptr, &usedDefault);
        std::string result(static_cast<std::size_t>(length), '\0');
        ::WideCharToMultiByte(m_codePage, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength,
            result.data(), length, nullptr, &usedDefault);
        if (usedDefault || length == 0)
            return std::nullopt;
        return result;
    }

    std::string decode(std::string_view bytes) const override
    {
        if (bytes.empty())
            return {};
        std::wstring wide;
        if (convert(bytes, wide))
            return win::narrow(wide);
        // Character by character: a lead byte without a valid partner becomes U+FFFD on its
        // own, and decoding goes on from the byte after it.
        wide.clear();
        for (std::size_t i = 0; i < bytes.size();) {
            const bool lead = m_codePage != CP_UTF8 && i + 1 < bytes.size()
                && ::IsDBCSLeadByteEx(m_codePage, static_cast<BYTE>(bytes[i]));
            std::size_t length = m_codePage == CP_UTF8 ? utf8Length(bytes, i) : (lead ? 2 : 1);
            std::wstring piece;
            if (convert(bytes.substr(i, length), piece)) {
                wide += piece;
                i += length;
            } else {
                wide += L'\xFFFD';
                ++i;
            }
        }
        return win::narrow(wide);
    }

    std::string name() const override { return m_name; }

private:
    bool convert(std::string_view bytes, std::wstring& wide) const
    {
        const int length = ::MultiByteToWideChar(m_codePage, MB_ERR_INVALID_CHARS, bytes.data(),
            static_cast<int>(bytes.size()), nullptr, 0);
        if (length == 0)
            return false;
        wide.resize(static_cast<std::size_t>(length));
        ::MultiByteToWideChar(m_codePage, MB_ERR_INVALID_CHARS, bytes.data(),
            static_cast<int>(bytes.size()), wide.data(), length);
        return true;
    }

    // The length a UTF-8 sequence announces by its first byte.
    static std::size_t utf8Length(std::string_view bytes, std::size_t at)
    {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const std::size_t wanted = first < 0xC0 ? 1 : first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
        return std::min(wanted, bytes.size() - at);
    }

    UINT m_codePage;
    std::string m_name;
};

std::optional<UINT> codePageNamed(const std::string& charset)
{
    if (charset.empty() || charset == "UTF-8" || charset == "ANSI_X3.4-1968" || charset == "ASCII"
        || charset == "US-ASCII")
        return CP_UTF8;
    if (charset == "SHIFT_JIS" || charset == "SJIS" || charset == "SHIFT-JIS" || charset == "CP932")
        return 932;
    if (charset == "ISO-8859-1")
        return 28591;
    if (charset.starts_with("CP")) {
        UINT number = 0;
        const char* first = charset.data() + 2;
        const char* last = charset.data() + charset.size();
        if (std::from_chars(first, last, number).ptr == last && ::IsValidCodePage(number))
            return number;
    }
    return std::nullopt;
}

std::string nameOf(UINT codePage)
{
    return codePage == CP_UTF8 ? "UTF-8" : "CP" + std::to_string(codePage);
}

} // namespace

std::unique_ptr<TextCodec> createCodec(const std::string& charset)
{
    const std::optional<UINT> codePage = codePageNamed(charset);
    if (!codePage)
        return nullptr;
    return std::make_unique<WinCodec>(*codePage, nameOf(*codePage));
}

std::unique_ptr<TextCodec> createSystemCodec()
{
    const UINT codePage = ::GetACP();
    return std::make_unique<WinCodec>(codePage, nameOf(codePage));
}

} // namespace rinvo
