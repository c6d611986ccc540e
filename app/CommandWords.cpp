// The words of a subcommand: one operand and options.
#include "app/CommandWords.h"

namespace darv {

std::optional<CommandWords> splitCommandWords(const std::vector<std::string>& args, const std::set<std::string>& valued,
                                              const std::set<std::string>& switches, const std::string& what,
                                              std::string& error)
{
    CommandWords words;
    bool optionsEnded = false;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& word = args[k];
        if (word == "--" && !optionsEnded) {
            optionsEnded = true; // what follows is no option, even when it starts with "--"
            continue;
        }
        if (optionsEnded || word.size() < 2 || word.compare(0, 2, "--") != 0) {
            if (words.operand) {
                error = "only one " + what + " at a time ('" + word + "')";
                return std::nullopt;
            }
            words.operand = word;
            continue;
        }
        if (switches.count(word)) {
            words.options.emplace_back(word, std::string());
            continue;
        }
        std::string name = word;
        std::optional<std::string> value;
        if (const auto eq = word.find('='); eq != std::string::npos) {
            name = word.substr(0, eq);
            value = word.substr(eq + 1);
        }
        if (!valued.count(name)) {
            error = "unknown option '" + name + "'";
            return std::nullopt;
        }
        if (!value) {
            if (k + 1 >= args.size()) {
                error = "option " + name + " needs a value";
                return std::nullopt;
            }
            value = args[++k];
        }
        words.options.emplace_back(name, *value);
    }
    return words;
}

} // namespace darv
