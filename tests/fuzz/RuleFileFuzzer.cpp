// libFuzzer target for the rule file reader: any bytes must read as at most ten rows without a
// crash, and rows that can be written again must read back as themselves.

#include "platform/TextCodec.h"
#include "rules/RuleFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto utf8 = rinvo::createCodec("UTF-8");
    static const auto shiftJis = rinvo::createCodec("CP932");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (rinvo::parseRuleFile(bytes, *shiftJis).size() > rinvo::MaxRules)
        std::abort();

    const std::vector<rinvo::CopyRule> rows = rinvo::parseRuleFile(bytes, *utf8);
    if (rows.size() > rinvo::MaxRules)
        std::abort();
    rinvo::CopyRuleTable table;
    std::copy(rows.begin(), rows.end(), table.begin());
    const std::optional<std::string> written = rinvo::formatRuleFile(table, *utf8, nullptr);
    if (!written)
        return 0;
    std::vector<rinvo::CopyRule> complete;
    for (const rinvo::CopyRule& rule : table) {
        if (rinvo::isCompleteAfterTrimming(rule))
            complete.push_back(rule);
    }
    if (rinvo::parseRuleFile(*written, *utf8) != complete)
        std::abort();
    return 0;
}
