#include "OptionWords.h"

#include <algorithm>
#include <cstddef>

namespace drovana {

namespace {

// Letters to add, drop or change to turn one word into the other.
std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string NearestOption(const std::string& given, const std::vector<std::string>& known) {
    const std::string name = given.substr(0, given.find('='));
    if (name.rfind("--", 0) != 0 || name.size() < 4) {
        return {};
    }
    // A third of the letters may be wrong; a start of a name is always meant.
    std::size_t best = name.size() / 3 + 1;
    std::string nearest;
    for (const std::string& option : known) {
        const std::size_t distance = option.rfind(name, 0) == 0 ? 0 : EditDistance(name, option);
        if (distance < best) {
            best = distance;
            nearest = option;
        }
    }
    return nearest;
}

std::string UnknownOptionMessage(const std::string& given, const std::vector<std::string>& known) {
    std::string message = "unknown option '" + given.substr(0, given.find('=')) + "'";
    const std::string nearest = NearestOption(given, known);
    if (!nearest.empty()) {
        message += "; did you mean " + nearest + "?";
    }
    return message;
}

std::string NeedsValueMessage(const std::string& option, const std::string& what) {
    return option + " needs " + what;
}

std::string TakesNoValueMessage(const std::string& option) {
    return option + " takes no value";
}

}  // namespace drovana
