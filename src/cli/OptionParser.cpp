#include "cli/OptionParser.h"

namespace quarrow {

std::string ParsedOptions::Value(std::string_view name) const {
    const auto it = Values.find(name);
    return it == Values.end() ? std::string() : it->second;
}

std::string ParseOptions(const std::vector<std::string>& args, std::span<const CliOption> options,
                         ParsedOptions& parsed) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // "-" alone is an operand, as standard input is for other tools.
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.Operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const CliOption* option = nullptr;
        std::string_view given = arg;
        bool hasInlineValue = false;
        std::string inlineValue;
        if (arg[1] == '-') {
            std::string_view name = std::string_view(arg).substr(2);
            if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
                hasInlineValue = true;
                inlineValue = std::string(name.substr(equals + 1));
                name = name.substr(0, equals);
                given = std::string_view(arg).substr(0, equals + 2);
            }
            for (const CliOption& candidate : options)
                if (candidate.Long == name)
                    option = &candidate;
        } else if (arg.size() == 2) {
            for (const CliOption& candidate : options)
                if (candidate.Short != '\0' && candidate.Short == arg[1])
                    option = &candidate;
        }
        if (option == nullptr)
            return "unknown option \"" + std::string(given) + "\"";
        const std::string name(option->Long);
        if (option->ValueName.empty()) {
            if (hasInlineValue)
                return "option --" + name + " takes no value";
            parsed.Values[name].clear();
        } else if (hasInlineValue) {
            parsed.Values[name] = inlineValue;
        } else {
            if (i + 1 >= args.size())
                return "option " + arg + " needs a value";
            parsed.Values[name] = args[++i];
        }
    }
    return {};
}

}  // namespace quarrow
