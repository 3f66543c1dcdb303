#include "RuleFileEncoding.h"

#include "platform/TextCodec.h"

#include <algorithm>
#include <memory>
#include <string>

namespace rinvo {

namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

std::size_t replacements(std::string_view utf8)
{
    std::size_t count = 0;
    for (std::size_t at = utf8.find(ReplacementCharacter); at != std::string_view::npos;
         at = utf8.find(ReplacementCharacter, at + ReplacementCharacter.size()))
        ++count;
    return count;
}

bool isUtf8(const TextCodec& codec)
{
    return codec.name() == "UTF-8";
}

// Tells whether every byte sequence decodes: the codec turns each one that does not into
// U+FFFD, which valid UTF-8 may also hold and no other code page the program reads has.
bool decodesCleanly(std::string_view bytes, const TextCodec& codec)
{
    return replacements(codec.decode(bytes)) == (isUtf8(codec) ? replacements(bytes) : 0);
}

bool hasNonAscii(std::string_view bytes)
{
    return std::any_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

} // namespace

RuleFileEncoding detectRuleFileEncoding(std::string_view bytes, const TextCodec& system)
{
    const bool marked = bytes.starts_with(Utf8ByteOrderMark);
    if (marked)
        bytes.remove_prefix(Utf8ByteOrderMark.size());
    if (isUtf8(system)) {
        if (decodesCleanly(bytes, system))
            return RuleFileEncoding::SystemCodePage;
        // A file that says it is UTF-8 and is not is nothing else either.
        const std::unique_ptr<TextCodec> shiftJis = marked ? nullptr : createCodec("CP932");
        return shiftJis && decodesCleanly(bytes, *shiftJis) ? RuleFileEncoding::CodePage932
                                                            : RuleFileEncoding::Unknown;
    }
    const std::unique_ptr<TextCodec> utf8 = createCodec("UTF-8");
    const bool validUtf8 = utf8 && decodesCleanly(bytes, *utf8);
    if (validUtf8 && (marked || hasNonAscii(bytes)))
        return RuleFileEncoding::Utf8;
    if (marked)
        return RuleFileEncoding::Unknown;
    return decodesCleanly(bytes, system) ? RuleFileEncoding::SystemCodePage
                                         : RuleFileEncoding::Unknown;
}

} // namespace rinvo
