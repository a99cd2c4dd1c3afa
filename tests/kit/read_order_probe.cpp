// Prints the read order a start program's file carries, as the disc's start program reads it
// (its footer, then its lines): one "GROUP<TAB>PATH" per line, then "film<TAB>" and the film it
// would hand to the player. For the kit's round-trip test.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "start/start_rules.h"

int main(int argc, char** argv) {
    using namespace discstart;
    if (argc != 2) return 2;
    std::ifstream file(argv[1], std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto none = [] { return std::printf("film\t\n") < 0; };  // no order, so no film either
    if (data.size() < Start::OrderFooterSize) return none();
    const std::string_view footer(data.data() + data.size() - Start::OrderFooterSize, Start::OrderFooterSize);
    const size_t length = Start::OrderLength(footer);
    if (length == 0 || length > data.size() - Start::OrderFooterSize) return none();
    std::string_view rest(data.data() + data.size() - Start::OrderFooterSize - length, length);
    while (!rest.empty()) {
        const size_t end = std::min(rest.find('\n'), rest.size());
        const Start::OrderLine line = Start::ParseOrderLine(rest.substr(0, end));
        if (!line.path.empty())
            std::printf("%.*s\t%.*s\n", int(line.group.size()), line.group.data(), int(line.path.size()),
                        line.path.data());
        rest = end < rest.size() ? rest.substr(end + 1) : std::string_view();
    }
    const std::string_view film =
        Start::FilmOf(data.substr(data.size() - Start::OrderFooterSize - length, length));
    std::printf("film\t%.*s\n", int(film.size()), film.data());
    return 0;
}
