#pragma once

#include <string_view>

namespace rinvo {

class TextCodec;

/// The character set a rule file was read in. Rule files are saved in the system's code page,
/// but one written by an editor that saves UTF-8, or brought from a Japanese Windows machine to
/// a UTF-8 system, is recognised and read as what it is.
enum class RuleFileEncoding {
    /// The system's code page (a valid UTF-8 file on a UTF-8 system too, with or without a
    /// mark).
    SystemCodePage,
    /// UTF-8 on a system whose code page is not: the file begins with a UTF-8 byte-order mark,
    /// or it is valid UTF-8 with at least one character beyond ASCII.
    Utf8,
    /// Code page 932 on a UTF-8 system: the file is not valid UTF-8, but is valid there.
    CodePage932,
    /// Valid in none of those (a file marked as UTF-8 that is not valid UTF-8 too): read in the
    /// system's code page, so some paths may be wrong.
    Unknown,
};

/// The UTF-8 byte-order mark, which is never part of a path.
inline constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

/// Tells how a rule file's bytes are to be read on a system whose code page is 'system''s.
RuleFileEncoding detectRuleFileEncoding(std::string_view bytes, const TextCodec& system);

} // namespace rinvo
