// quillet-tag: Quillet's tag engine from the command line, for scripts,
// benchmarks and checks outside the window. One JSON object per file and line.
#include "commands.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace {

struct Command {
    std::string_view name;
    int (*run)(const cli::Args&);
    bool takesAssignments = false; // PROPERTY=VALUE arguments after the files
    bool changesFiles = false;     // takes --journal
    bool takesFiles = true;
};

constexpr Command Commands[] = {
    {"dump", cli::dump},
    {"kill", cli::kill, false, true},
    {"write", cli::write, false, true},
    {"set", cli::set, true, true},
    {"undo", cli::undo, false, false, false},
};

int usage() {
    std::fputs("usage: quillet-tag dump [--header-only] [--temp DIR] FILE...\n"
               "       quillet-tag kill [--journal] FILE...\n"
               "       quillet-tag write [--journal] [--temp DIR] FILE... < TAG.json\n"
               "       quillet-tag set [--journal] [--temp DIR] FILE... PROPERTY=VALUE...\n"
               "       quillet-tag undo [--list]\n"
               "  --program-folder DIR   the folder whose journal/ --journal and undo use\n",
               stderr);
    return cli::ExitUsage;
}

// Moves the arguments that contain "=" at the end of the first named files
// (those before "--"; the ones after it are files whatever their names hold)
// into the assignments.
void takeAssignments(cli::Args& args, size_t named) {
    size_t first = named;
    while (first > 0 && args.files[first - 1].find('=') != std::string::npos)
        --first;
    const auto from = args.files.begin() + static_cast<std::ptrdiff_t>(first);
    const auto to = args.files.begin() + static_cast<std::ptrdiff_t>(named);
    args.assignments.assign(from, to);
    args.files.erase(from, to);
}

// Output that could not be written is a failed run, not a quiet success.
int finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("quillet-tag: standard output");
        return status == cli::ExitUsage ? status : cli::ExitFailed;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    // Lines into a file or pipe go out in large writes, not one per 4 KiB.
    static char outBuffer[64 * 1024];
    if (!isatty(STDOUT_FILENO)) std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    if (argc < 2) return usage();
    cli::Args args;
    size_t named = std::string::npos; // files before "--"
    for (int i = 2; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--header-only") {
            args.headerOnly = true;
        } else if (a == "--temp") {
            if (++i >= argc) return usage();
            args.temp = argv[i];
        } else if (a == "--journal") {
            args.journal = true;
        } else if (a == "--list") {
            args.list = true;
        } else if (a == "--program-folder") {
            if (++i >= argc || !*argv[i]) return usage();
            args.programFolder = argv[i];
        } else if (a == "--") {
            named = args.files.size();
            for (++i; i < argc; ++i)
                args.files.emplace_back(argv[i]);
        } else if (a.size() > 1 && a[0] == '-') {
            return usage();
        } else {
            args.files.emplace_back(a);
        }
    }
    for (const Command& c : Commands) {
        if (c.name != argv[1]) continue;
        if (c.takesAssignments) takeAssignments(args, std::min(named, args.files.size()));
        if (args.journal && !c.changesFiles) return usage();
        if (args.list && c.takesFiles) return usage();
        if (args.files.empty() != !c.takesFiles) return usage();
        return finish(c.run(args));
    }
    return usage();
}
