#include "RuleFile.h"

#include "texts/Catalogue.h"

#include "platform/FileSystem.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <memory>

namespace rinvo {

std::string ruleFilePath(std::string_view programFolder, PathStyle style)
{
    std::string path(programFolder);
    path.push_back(pathSeparator(style));
    path.append(RuleFileName);
    return path;
}

std::optional<std::string> whyRuleFileCannotHold(std::string_view path, const TextCodec& codec)
{
    if (path.find('"') != std::string_view::npos)
        return std::string(messages::PathHasQuote);
    if (!codec.encode(path))
        return messages::pathOutsideCodePage(codec.name());
    return std::nullopt;
}

std::optional<std::string> formatRuleFile(
    const CopyRuleTable& rules, const TextCodec& codec, std::string* why)
{
    std::string bytes;
    for (const CopyRule& rule : rules) {
        if (!isCompleteAfterTrimming(rule))
            continue;
        bytes += '"';
        for (const std::string* text : { &rule.source, &rule.destination }) {
            if (auto reason = whyRuleFileCannotHold(*text, codec)) {
                if (why)
                    *why = *text + ": " + *reason;
                return std::nullopt;
            }
            bytes += *codec.encode(*text);
            bytes += text == &rule.source ? "\",\"" : "\"\r\n";
        }
    }
    return bytes;
}

namespace {

// Reads the fields of a rule file one after another.
class FieldReader
{
public:
    explicit FieldReader(std::string_view bytes)
        : m_bytes(bytes)
    { }

    // Reads the next field; nothing at the end of the file. Blank lines before a row's
    // first field are passed over; after a comma, a line end closes an empty field.
    std::optional<std::string> next(bool startsRow)
    {
        for (;;) {
            skipSpaces();
            if (atEnd())
                return std::nullopt;
            if (!startsRow || !isLineEnd(peek()))
                break;
            skipSeparator();
        }
        std::string value;
        if (peek() == '"') {
            ++m_position;
            const std::size_t close = m_bytes.find('"', m_position);
            const std::size_t end = close == std::string_view::npos ? m_bytes.size() : close;
            value = m_bytes.substr(m_position, end - m_position);
            m_position = std::min(m_bytes.size(), end + 1);
            // Whatever stands between the closing quote and the separator is not kept.
            while (!atEnd() && peek() != ',' && !isLineEnd(peek()))
                ++m_position;
        } else {
            const std::size_t start = m_position;
            while (!atEnd() && peek() != ',' && !isLineEnd(peek()))
                ++m_position;
            value = m_bytes.substr(start, m_position - start);
        }
        skipSeparator();
        // A path never holds a NUL; one in a damaged file is dropped.
        value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
        return value;
    }

private:
    static bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
    bool atEnd() const { return m_position >= m_bytes.size(); }
    char peek() const { return m_bytes[m_position]; }

    void skipSpaces()
    {
        while (!atEnd() && peek() == ' ')
            ++m_position;
    }

    // Consumes one comma, or one line end: CR LF, or a lone CR or LF.
    void skipSeparator()
    {
        if (atEnd())
            return;
        if (peek() == ',') {
            ++m_position;
        } else if (peek() == '\r') {
            ++m_position;
            if (!atEnd() && peek() == '\n')
                ++m_position;
        } else if (peek() == '\n') {
            ++m_position;
        }
    }

    std::string_view m_bytes;
    std::size_t m_position = 0;
};

} // namespace

std::vector<CopyRule> parseRuleFile(std::string_view bytes, const TextCodec& codec)
{
    std::vector<CopyRule> rules;
    FieldReader reader(bytes.substr(0, MaxRuleFileBytes));
    while (rules.size() < MaxRules) {
        std::optional<std::string> source = reader.next(true);
        if (!source)
            break;
        // A last row with one field keeps it as its source; the destination stays empty.
        std::optional<std::string> destination = reader.next(false);
        rules.push_back(
            { codec.decode(*source), destination ? codec.decode(*destination) : std::string() });
    }
    return rules;
}

FsStatus SaveRuleFile(
    FileSystem& fs, const std::string& path, const CopyRuleTable& rules, const TextCodec& codec)
{
    std::string why;
    std::optional<std::string> bytes = formatRuleFile(rules, codec, &why);
    if (!bytes)
        return FsError { FsErrorKind::Other, why };
    return fs.replaceFile(path, *bytes);
}

std::optional<std::string> describeRuleFileEncoding(
    RuleFileEncoding encoding, const TextCodec& system)
{
    switch (encoding) {
    case RuleFileEncoding::SystemCodePage:
        break;
    case RuleFileEncoding::Utf8:
        return messages::ruleFileConverted("UTF-8", system.name());
    case RuleFileEncoding::CodePage932:
        return messages::ruleFileConverted("Shift-JIS (CP932)", system.name());
    case RuleFileEncoding::Unknown:
        return std::string(messages::RuleFileCharsetUnknown);
    }
    return std::nullopt;
}

FsResult<CopyRuleTable> LoadRuleFile(
    FileSystem& fs, const std::string& path, const TextCodec& codec, RuleFileEncoding* readAs)
{
    CopyRuleTable table;
    if (readAs)
        *readAs = RuleFileEncoding::SystemCodePage;
    if (!fs.fileExists(path))
        return table;
    FsResult<std::string> bytes = fs.readFile(path, MaxRuleFileBytes);
    if (!bytes)
        return bytes.error();
    std::string_view text = *bytes;
    RuleFileEncoding encoding = detectRuleFileEncoding(text, codec);
    if (text.starts_with(Utf8ByteOrderMark))
        text.remove_prefix(Utf8ByteOrderMark.size());
    std::unique_ptr<TextCodec> other;
    if (encoding == RuleFileEncoding::Utf8)
        other = createCodec("UTF-8");
    else if (encoding == RuleFileEncoding::CodePage932)
        other = createCodec("CP932");
    // Detection found the codec; only a system that lost it since reads in its own.
    if (!other && (encoding == RuleFileEncoding::Utf8 || encoding == RuleFileEncoding::CodePage932))
        encoding = RuleFileEncoding::Unknown;
    if (readAs)
        *readAs = encoding;
    const std::vector<CopyRule> rows = parseRuleFile(text, other ? *other : codec);
    std::copy(rows.begin(), rows.end(), table.begin());
    return table;
}

} // namespace rinvo
