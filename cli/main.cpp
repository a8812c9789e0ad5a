// quillet-tag: Quillet's tag engine from the command line, for scripts,
// benchmarks and checks outside the window. One JSON object per file and line.
#include "commands.h"
#include "tagengine/frametable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

struct Command {
    std::string_view name;
    int (*run)(const cli::Args&);
    std::string_view synopsis; // what follows the name on a usage line
    std::string_view summary;
    bool takesAssignments = false; // PROPERTY=VALUE arguments after the files
    bool changesFiles = false;     // takes --journal
    bool takesFiles = true;
    bool writesTags = false; // takes --allow-loss
};

// The help, the manual page made from it and the shell completion all read
// the commands and options from these two tables.
constexpr Command Commands[] = {
    {"dump", cli::dump, "[--header-only] [--temp DIR] FILE...",
     "print each file's tags: the ID3v2 tag as \"id3v2\" (its texts under \"texts\", "
     "the six lists under their names) and the ID3v1.1 trailer as \"id3v1\""},
    {"kill", cli::kill, "[--journal] FILE...", "blank each file's ID3v2 tag", false, true},
    {"write", cli::write, "[--journal] [--allow-loss] [--temp DIR] FILE... < TAG.json",
     "write the tag read from standard input into every file, as \"Write for all\" "
     "does: one JSON object in the shape of dump's \"id3v2\" member (absent members "
     "are empty; a whole dump line works too, and its \"id3v1\" is written as well)",
     false, true, true, true},
    {"set", cli::set, "[--journal] [--allow-loss] [--temp DIR] FILE... PROPERTY=VALUE...",
     "change the named texts of each file's own tag and write it back, as an edit "
     "in the window does; the arguments with \"=\" after the files are the "
     "assignments",
     true, true, true, true},
    {"undo", cli::undo, "[--list] [--program-folder DIR]",
     "undo the newest action of the undo journal that is not undone yet: every file "
     "that still holds what the action left gets back its tags or its name; a file "
     "changed since prints {\"file\": PATH, \"error\": \"changed since: not undone\"}",
     false, false, false},
};

struct Option {
    std::string_view name;
    std::string_view summary;
};

constexpr Option Options[] = {
    {"--header-only", "dump: read only the ID3v2 header, a fast scan (no \"id3v1\")"},
    {"--temp DIR", "dump and set: keep the pictures read from the tags in DIR (without it "
                   "they go into a temporary folder removed at exit); write: take relative "
                   "\"pictureFile\" paths from DIR"},
    {"--journal", "kill, write and set: record what the run changes in the undo journal "
                  "first, as the window does, so that undo can put it back"},
    {"--allow-loss", "write and set: write a file also when its tag holds frames an ID3v2.4 "
                     "tag cannot keep (dump lists them under \"dropped\"); without it such "
                     "a file is left as it is and its line lists them"},
    {"--list", "undo: list the journal instead, newest action first: {\"kind\", \"time\", "
               "\"files\", \"bytes\", \"undone\"} per line"},
    {"--program-folder DIR", "--journal and undo: the journal in DIR/journal/ (without it, "
                             "the program folder's, the one the window uses)"},
    {"--", "the arguments after it are files, whatever their names hold"},
    {"--help", "print this help and exit"},
    {"--version", "print the version and exit"},
};

constexpr int HelpWidth = 79;
constexpr int HelpIndent = 17;

std::string wrapped(std::string_view text, int indent, int column) {
    std::string out;
    while (!text.empty()) {
        const size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
        if (column > indent && column + 1 + static_cast<int>(word.size()) > HelpWidth) {
            out += '\n';
            out.append(static_cast<size_t>(indent), ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out += word;
        column += static_cast<int>(word.size());
    }
    return out + '\n';
}

// A two-column entry: the term, then its text from the help's text column.
std::string entry(std::string_view term, std::string_view text) {
    std::string out = "  " + std::string(term);
    if (out.size() + 1 >= HelpIndent) {
        out += '\n';
        out.append(HelpIndent, ' ');
    } else {
        out.append(HelpIndent - out.size(), ' ');
    }
    return out + wrapped(text, HelpIndent, HelpIndent);
}

std::string usageLines() {
    std::string out;
    for (const Command& c : Commands) {
        out += out.empty() ? "Usage: " : "  or:  ";
        out += "quillet-tag " + std::string(c.name) + ' ' + std::string(c.synopsis) + '\n';
    }
    return out;
}

int usage() {
    std::fputs(usageLines().c_str(), stderr);
    std::fputs("Try 'quillet-tag --help' for more information.\n", stderr);
    return cli::ExitUsage;
}

void help() {
    std::string out = usageLines();
    out += "Reads and writes the ID3 tags of MP3 files with Quillet's tag engine.\n"
           "Every command prints one JSON object per file and line; a file that fails\n"
           "prints {\"file\": PATH, \"error\": MESSAGE} with the message the window would\n"
           "show. Strings hold one character per byte of the tag.\n"
           "\nCommands:\n";
    for (const Command& c : Commands)
        out += entry(c.name, c.summary);
    out += "\nOptions:\n";
    for (const Option& o : Options)
        out += entry(o.name, o.summary);
    out += "\nProperties for set (the names of dump's texts):\n";
    std::string names;
    for (const tag::PropInfo& p : tag::PropTable)
        names += (names.empty() ? "" : " ") + std::string(p.name);
    out += "  " + wrapped(names, 2, 2);
    out += "\nExamples:\n";
    out += entry("quillet-tag dump --header-only *.mp3",
                 "print the ID3v2 header of every MP3 file here");
    out += entry("quillet-tag set a.mp3 b.mp3 LeadPerformer=Nobody TrackNum=3/12",
                 "set the artist and the track number of two files");
    out += entry("quillet-tag dump --temp pics a.mp3 | quillet-tag write --temp pics b.mp3",
                 "copy the tag of a.mp3, pictures included, into b.mp3");
    out += entry("quillet-tag set --journal *.mp3 Album=Live; quillet-tag undo",
                 "change the album of every file here, then put every file back");
    out += "\nExit status:\n";
    out += entry("0", "every file succeeded");
    out += entry("1", "a file failed, or the output could not be written");
    out += entry("2", "a usage error or bad input; no file was touched");
    std::fputs(out.c_str(), stdout);
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
    const std::string_view first = argv[1];
    if (first == "--help") {
        help();
        return finish(cli::ExitOk);
    }
    if (first == "--version") {
        std::fputs("quillet-tag (Quillet) " QUILLET_VERSION "\n", stdout);
        return finish(cli::ExitOk);
    }
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
        } else if (a == "--allow-loss") {
            args.allowLoss = true;
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
        if (c.name != first) continue;
        if (c.takesAssignments) takeAssignments(args, std::min(named, args.files.size()));
        if (args.journal && !c.changesFiles) return usage();
        if (args.allowLoss && !c.writesTags) return usage();
        if (args.list && c.takesFiles) return usage();
        if (args.files.empty() == c.takesFiles) return usage();
        return finish(c.run(args));
    }
    return usage();
}
