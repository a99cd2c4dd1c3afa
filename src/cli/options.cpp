#include "cli/options.h"

namespace discstart {

Options ParseOptions(const QStringList& args) {
    Options options;
    bool check = false;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (optionsEnded || arg == "-" || !arg.startsWith('-')) {
            options.paths << arg;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--help" || arg == "-h") {
            options.mode = Options::Mode::Help;
            options.error.clear();
            return options;
        } else if (arg == "--version") {
            options.mode = Options::Mode::Version;
            options.error.clear();
            return options;
        } else if (options.error.isEmpty()) {
            options.error = QStringLiteral("unknown option '%1'").arg(arg);
        }
    }
    if (!options.error.isEmpty()) return options;
    if (check && options.json) {
        options.error = QStringLiteral("--check and --json cannot be combined");
    } else if (options.paths.isEmpty()) {
        options.error =
            check ? QStringLiteral("--check needs a disc folder") : QStringLiteral("no path given");
    }
    if (check) options.mode = Options::Mode::Check;
    return options;
}

}  // namespace discstart
