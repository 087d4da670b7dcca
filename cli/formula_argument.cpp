#include "cli/formula_argument.h"

#include <cstdio>

#include "cli/formula_parser.h"

namespace cli {

bool takeFormulaArgument(const char* command, const std::string& arg, std::optional<std::string>& formula) {
    if (formula) {
        std::fprintf(stderr, "%s: more than one formula (quote the formula if it has blanks)\n", command);
        return false;
    }
    formula = arg;
    return true;
}

std::optional<common::RationalMap> parseFormulaArgument(const char* command, const std::string& formula) {
    const FormulaParseResult parsed = parseFormula(formula);
    if (!parsed.ok) {
        std::fprintf(stderr, "%s: %s\n  %s\n  %*s^\n", command, parsed.error.c_str(), formula.c_str(),
                     parsed.errorPosition - 1, "");
        return std::nullopt;
    }
    return parsed.map;
}

}  // namespace cli
