#include "TextCodec.h"

#include <cerrno>
#include <clocale>
#include <mutex>

#include <iconv.h>
#include <langinfo.h>

namespace rinvo {

namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

// One iconv conversion descriptor; iconv keeps state, so each use takes the lock.
class Converter
{
public:
    Converter(const std::string& to, const std::string& from)
        : m_descriptor(::iconv_open(to.c_str(), from.c_str()))
    { }
    ~Converter()
    {
        if (valid())
            ::iconv_close(m_descriptor);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_descriptor != reinterpret_cast<iconv_t>(-1); }

    // Converts all of 'input'; at an invalid sequence either gives up or, with a
    // replacement, puts it in place of one byte and goes on.
    std::optional<std::string> convert(
        std::string_view input, std::optional<std::string_view> replacement) const
    {
        std::lock_guard lock(m_mutex);
        ::iconv(m_descriptor, nullptr, nullptr, nullptr, nullptr);
        std::string output;
        char buffer[4096];
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = ::iconv(m_descriptor, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG)
                continue;
            // EILSEQ, or EINVAL for a sequence cut off at the end.
            if (!replacement)
                return std::nullopt;
            output.append(*replacement);
            ++in;
            --inLeft;
            ::iconv(m_descriptor, nullptr, nullptr, nullptr, nullptr);
        }
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        ::iconv(m_descriptor, nullptr, nullptr, &out, &outLeft);
        output.append(buffer, static_cast<std::size_t>(out - buffer));
        return output;
    }

private:
    iconv_t m_descriptor;
    mutable std::mutex m_mutex;
};

class IconvCodec final : public TextCodec
{
public:
    explicit IconvCodec(std::string charset)
        : m_charset(std::move(charset))
        , m_encoder(m_charset, "UTF-8")
        , m_decoder("UTF-8", m_charset)
    { }

    bool valid() const { return m_encoder.valid() && m_decoder.valid(); }

    std::optional<std::string> encode(std::string_view utf8) const override
    {
        return m_encoder.convert(utf8, std::nullopt);
    }

    std::string decode(std::string_view bytes) const override
    {
        return *m_decoder.convert(bytes, ReplacementCharacter);
    }

    std::string name() const override { return m_charset; }

private:
    std::string m_charset;
    Converter m_encoder;
    Converter m_decoder;
};

// Shift-JIS locales mean the Windows code page 932, which the program's files are kept in.
std::string normalisedCharset(std::string charset)
{
    if (charset.empty() || charset == "ANSI_X3.4-1968" || charset == "ASCII"
        || charset == "US-ASCII")
        return "UTF-8";
    if (charset == "SHIFT_JIS" || charset == "SJIS" || charset == "SHIFT-JIS")
        return "CP932";
    return charset;
}

} // namespace

std::unique_ptr<TextCodec> createCodec(const std::string& charset)
{
    auto codec = std::make_unique<IconvCodec>(normalisedCharset(charset));
    if (!codec->valid())
        return nullptr;
    return codec;
}

std::unique_ptr<TextCodec> createSystemCodec()
{
    // The locale's character set, without disturbing the program's own locale for long.
    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_CTYPE, "");
    const std::string charset = ::nl_langinfo(CODESET);
    std::setlocale(LC_CTYPE, saved.c_str());
    if (auto codec = createCodec(charset))
        return codec;
    return createCodec("UTF-8");
}

} // namespace rinvo
