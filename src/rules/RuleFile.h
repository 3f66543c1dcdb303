#pragma once

#include "CopyRule.h"
#include "RuleFileEncoding.h"
#include "platform/FsError.h"
#include "platform/PathRules.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rinvo {

class FileSystem;
class TextCodec;

/// The rule file's name, in the program's folder.
inline constexpr std::string_view RuleFileName = "copyrule.txt";

/// How much of a rule file is read: far more than ten rows of the longest paths need.
inline constexpr std::size_t MaxRuleFileBytes = 1 << 20;

/// Returns the rule file's path: the program folder, one separator and the name, appended
/// without looking (a root folder gives a doubled separator, which names the same file).
std::string ruleFilePath(std::string_view programFolder, PathStyle style);

/// Returns why a path cannot be kept in the rule file (a double quote, which the format cannot
/// hold, or a character the code page lacks), or nothing when it can.
std::optional<std::string> whyRuleFileCannotHold(std::string_view path, const TextCodec& codec);

/// Returns the file's bytes: one line "source","destination" CR LF per complete row, in row
/// order, in the codec's code page; or the reason a row cannot be written.
std::optional<std::string> formatRuleFile(
    const CopyRuleTable& rules, const TextCodec& codec, std::string* why);

/// Reads up to ten rows from the file's bytes: two fields a row, quoted or not, separated by
/// commas or line ends. Never fails: whatever cannot be read as a row is left out.
std::vector<CopyRule> parseRuleFile(std::string_view bytes, const TextCodec& codec);

/// Replaces the rule file by the complete rows of the table. A failure leaves the old file.
FsStatus SaveRuleFile(
    FileSystem& fs, const std::string& path, const CopyRuleTable& rules, const TextCodec& codec);

/// Returns what the user is told of a rule file read in this character set on a system whose
/// code page is 'system''s, or nothing for the system's own.
std::optional<std::string> describeRuleFileEncoding(
    RuleFileEncoding encoding, const TextCodec& system);

/// Reads the rule file into a table; rows it does not fill are empty, and a missing file
/// empties them all. The file is read in the character set detectRuleFileEncoding finds, told
/// in 'readAs'; a byte-order mark is dropped. A file that cannot be read is a failure, and the
/// caller keeps its rows.
FsResult<CopyRuleTable> LoadRuleFile(FileSystem& fs, const std::string& path,
    const TextCodec& codec, RuleFileEncoding* readAs = nullptr);

} // namespace rinvo
