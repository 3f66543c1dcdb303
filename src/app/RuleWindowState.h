#pragma once

#include "rules/CopyRule.h"

namespace rinvo {

/// What the main window holds of the rules: the rows of its boxes and whether they were
/// edited since they were last loaded or saved.
struct RuleWindowState
{
    CopyRuleTable rules;
    bool RulesChanged = false;
};

} // namespace rinvo
