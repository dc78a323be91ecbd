#include "StartArguments.h"

#include <algorithm>
#include <utility>

#include "OptionWords.h"

namespace drovana {

namespace {

StartRequest UsageError(std::string error) {
    StartRequest request;
    request.action = StartAction::kUsageError;
    request.error = std::move(error);
    return request;
}

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// An option the program does not take, or one of its flags given a value.
StartRequest WrongOption(const std::string& argument, bool viewOffered) {
    std::vector<std::string> known = {"--help", "--version"};
    if (viewOffered) {
        known.push_back("--view");
    }
    const std::string name = argument.substr(0, argument.find('='));
    if (std::find(known.begin(), known.end(), name) != known.end()) {
        return UsageError(TakesNoValueMessage(name));
    }
    return UsageError(UnknownOptionMessage(argument, known));
}

}  // namespace

StartRequest ParseStartArguments(const std::vector<std::string>& arguments, ViewOption offered) {
    const bool viewOffered = offered == ViewOption::kOffered;
    StartRequest request;
    std::vector<std::string> names;
    bool optionsEnded = false;
    bool view = false;
    for (const std::string& argument : arguments) {
        if (optionsEnded || !IsOption(argument)) {
            names.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            request.action = StartAction::kHelp;
        } else if (argument == "-v" || argument == "--version") {
            if (request.action != StartAction::kHelp) {
                request.action = StartAction::kVersion;
            }
        } else if (viewOffered && argument == "--view") {
            view = true;
        } else {
            return WrongOption(argument, viewOffered);
        }
    }
    const char* kind = view ? "file" : "folder";
    if (names.size() > 2) {
        return UsageError(std::string("too many ") + kind + "s: '" + names[2] + "'");
    }
    for (const std::string& name : names) {
        if (name.empty()) {
            return UsageError(std::string("a ") + kind + " name is empty");
        }
    }
    if (view && request.action == StartAction::kOpenDialog) {
        if (names.empty()) {
            return UsageError(NeedsValueMessage("--view", "a file"));
        }
        request.action = StartAction::kView;
        request.files = names;
        return request;
    }
    names.resize(2);
    request.folders = {names[0], names[1]};
    return request;
}

}  // namespace drovana
