#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rinvo {

/// Converts between the program's UTF-8 text and a narrow code page (the rule file's).
class TextCodec
{
public:
    virtual ~TextCodec() = default;

    /// Returns the text in the code page, or nothing when a character has no place in it.
    virtual std::optional<std::string> encode(std::string_view utf8) const = 0;

    /// Returns the bytes as UTF-8; a byte sequence that does not decode becomes U+FFFD.
    virtual std::string decode(std::string_view bytes) const = 0;

    /// Returns the code page's name, for messages.
    virtual std::string name() const = 0;
};

/// Returns the codec of the system's code page: on Windows the ANSI code page, on POSIX the
/// locale's character set, a plain ASCII ("C") locale taken as UTF-8.
std::unique_ptr<TextCodec> createSystemCodec();

/// Returns the codec of a named character set ("CP932", "UTF-8", ...), or null when the
/// system does not know it.
std::unique_ptr<TextCodec> createCodec(const std::string& charset);

} // namespace rinvo
