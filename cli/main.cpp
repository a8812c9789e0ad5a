// quillet-tag: Quillet's tag engine from the command line, for scripts,
// benchmarks and checks outside the window. One JSON object per file and line.
#include "commands.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

struct Command {
    std::string_view name;
    int (*run)(const cli::Args&);
};

constexpr Command Commands[] = {
    {"dump", cli::dump},
    {"kill", cli::kill},
};

int usage() {
    std::fputs("usage: quillet-tag dump [--header-only] [--temp DIR] FILE...\n"
               "       quillet-tag kill FILE...\n",
               stderr);
    return cli::ExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    cli::Args args;
    for (int i = 2; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--header-only") {
            args.headerOnly = true;
        } else if (a == "--temp") {
            if (++i >= argc) return usage();
            args.temp = argv[i];
        } else if (a == "--") {
            for (++i; i < argc; ++i)
                args.files.emplace_back(argv[i]);
        } else if (a.size() > 1 && a[0] == '-') {
            return usage();
        } else {
            args.files.emplace_back(a);
        }
    }
    for (const Command& c : Commands)
        if (c.name == argv[1]) return args.files.empty() ? usage() : c.run(args);
    return usage();
}
