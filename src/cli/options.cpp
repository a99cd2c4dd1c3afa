#include "cli/options.h"

namespace discstart {

Options ParseOptions(const QStringList& args) {
    Options options;
    bool check = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (optionsEnded || arg == "-" || !arg.startsWith('-')) {
            options.paths << arg;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--page") {
            options.page = i + 1 < args.size() ? args[++i] : QString();
            if ((options.page.isEmpty() || options.page.contains('/')) && options.error.isEmpty())
                options.error = QStringLiteral("--page needs a file name in the folder");
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
    } else if (check && !options.page.isEmpty()) {
        options.error = QStringLiteral("--check and --page cannot be combined");
    } else if (options.paths.isEmpty()) {
        options.error =
            check ? QStringLiteral("--check needs a disc folder") : QStringLiteral("no path given");
    }
    if (check) options.mode = Options::Mode::Check;
    return options;
}

}  // namespace discstart
