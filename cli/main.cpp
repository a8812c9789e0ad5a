// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// quillet-tag: Quillet's tag engine from the command line, for scripts,
// benchmarks and checks outside the window. One JSON object per file and line.
#include "commands.h"
#include "edits.h"
#include "release/licence.h"
#include "tagengine/frametable.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

struct Command {
    std::string_view name;
    int (*run)(const cli::Args&);
    std::string_view synopsis; // what follows the name on a usage line
    std::string_view summary;
    bool takesAssignments = false; // PROPERTY=VALUE arguments after the files
    bool changesFiles = false;     // takes --no-journal and --journal
    bool takesFiles = true;
    bool recovers = false; // runs the recovery itself, not before it starts
};

// The help, the manual page made from it and the shell completion all read
// the commands and options from these two tables.
constexpr Command Commands[] = {
    {"dump", cli::dump, "[--header-only] [--temp DIR] FILE...",
     "print each file's tags: the ID3v2 tag as \"id3v2\" (its texts under \"texts\", "
     "the six lists under their names) and the ID3v1.1 trailer as \"id3v1\""},
    {"kill", cli::kill, "[--no-journal] [--force] FILE...", "blank each file's ID3v2 tag", false,
     true},
    {"write", cli::write, "[--no-journal] [--force] [--allow-loss] [--temp DIR] FILE... < TAG.json",
     "write the tag read from standard input into every file, as \"Write for all\" "
     "does: one JSON object in the shape of dump's \"id3v2\" member (absent members "
     "are empty; a whole dump line works too, and its \"id3v1\" is written as well)",
     false, true},
    {"set", cli::set, "[--no-journal] [--force] [--allow-loss] FILE... EDIT...",
     "change each file's own tag and write it back, as an edit in the window does: "
     "an EDIT is PROPERTY=VALUE (a text) or an edit of a list (below); the arguments "
     "with \"=\" after the files are the EDITs, applied in order",
     true, true},
    {"undo", cli::undo, "[--list] [--program-folder DIR]",
     "undo the newest action of the undo journal that is not undone yet: every file "
     "that still holds what the action left gets back its tags or its name and prints "
     "{\"file\": PATH, \"undone\": true}; a file changed since prints {\"file\": PATH, "
     "\"error\": \"changed since: not undone\"} and is left alone; nothing to undo is "
     "exit status 1",
     false, false, false},
    {"recover", cli::recover, "[--program-folder DIR]",
     "finish the actions of the undo journal that a crash or a kill cut short (every "
     "start does so first): each file holding part of a write is put back as it was, "
     "{\"file\": PATH, \"recovered\": \"old\"|\"new\"} per file recovered",
     false, false, false, true},
    {"names", cli::names, "--template TEMPLATE [--no-journal] [--force] [--allow-loss] FILE...",
     "set fields of each file's own tag from its name, read by the rename template "
     "TEMPLATE backwards (below), as the renamer would have built that name; a name "
     "that does not match fails that file",
     false, true},
    {"number", cli::number, "[--total] [--no-journal] [--force] [--allow-loss] FILE...",
     "number the files' tracks in the order given: TrackNum 1..n (n/n with --total)", false, true},
};

struct Option {
    std::string_view name;
    std::string_view summary;
};

constexpr Option Options[] = {
    {"--header-only", "dump: read only the ID3v2 header, a fast scan (no \"id3v1\")"},
    {"--temp DIR", "dump: keep the pictures read from the tags in DIR (without it "
                   "they go into a temporary folder removed at exit); write: take relative "
                   "\"pictureFile\" paths from DIR; set takes it and extracts nothing"},
    {"--no-journal",
     "kill, write, set, names and number: do not record the run in the undo journal; "
     "without it (or with --journal) every change is recorded first, as the "
     "window does, so that undo can put it back and a run cut short is "
     "recovered at the next start"},
    {"--list", "undo: list the journal instead, newest action first: {\"kind\", \"time\", "
               "\"files\", \"bytes\", \"undone\"} per line"},
    {"--force", "kill, write and set: write into files that are not MP3 files by their "
                "content too (see \"Not an MP3 file\" below)"},
    {"--allow-loss", "write, set, names and number: write a file also when its tag holds "
                     "frames an ID3v2.4 tag cannot keep (dump lists them under \"dropped\"); "
                     "without it such a file is left as it is and its line lists them"},
    {"--program-folder DIR", "the undo journal in DIR/journal/ (without it, the program "
                             "folder's, the one the window uses)"},
    {"--template TEMPLATE",
     "names: the fields to read from the file names, in braces between the text around "
     "them: \"{Track Num.} - {Artist} - {Title}\" (the renamer's frame names, or dump's "
     "texts; \"\\{\", \"\\}\" and \"\\\\\" stand for \"{\", \"}\" and \"\\\")"},
    {"--total", "number: TrackNum 1/n..n/n, n the number of files"},
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

// A usage error: what was wrong, then where to read more.
int usage(const std::string& why) {
    std::fputs(("quillet-tag: " + why + "\n").c_str(), stderr);
    std::fputs("Try 'quillet-tag --help' for more information.\n", stderr);
    return cli::ExitUsage;
}

void help() {
    std::string out = usageLines();
    out += "Reads and writes the ID3 tags of MP3 files with Quillet's tag engine.\n"
           "Every command prints one JSON object per file and line; a file that fails\n"
           "prints {\"file\": PATH, \"error\": MESSAGE} with the message the window would\n"
           "show, and the other files go on. Strings hold the tag's texts as Unicode\n"
           "text (UTF-8), zero characters included: a description or MIME type ends\n"
           "with one (\"\\u0000\"). Only MP3 files are written: files that hold an ID3v2\n"
           "tag or MPEG audio, and empty files named .mp3.\n"
           "\n" QUILLET_LICENCE_SUMMARY "\nCommands:\n";
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
    out += "\nValues for set (as the window takes them; PROPERTY= empties a text):\n";
    out += entry("TrackNum PartOfSet", "a number n or n/m");
    out += entry("RecordTime RelaseTime OrigTime EncodingTime TagTime",
                 "a time stamp yyyy[-MM[-dd[THH[:mm[:ss]]]]] of a real date");
    out += entry("Language", "a code of the language table (eng, deu, fra, ...)");
    out += "\nEditing lists with set:\n";
    out += entry("LIST+=ENTRY", "adds an entry at the end of the list");
    out += entry("LIST[KEY]=VALUE",
                 "changes the entry with that KEY, or adds it (ENTRY is KEY and VALUE); an "
                 "empty VALUE removes the entries with that KEY");
    out += entry("LIST-=N", "removes entry N (1 for the first, in dump's order)");
    out += entry("LIST=", "empties the list; LIST=ENTRY makes it that one entry");
    out += entry("fields",
                 "are separated by \":\", the last one taking the rest (colons too); \"\\:\", "
                 "\"\\\\\" and \"\\]\" stand for \":\", \"\\\" and \"]\" in every field; "
                 "languages are codes of the language table; a picture's MIME type comes from "
                 "its file's content (JPEG, PNG, GIF, BMP or WebP), its TYPE is a name of "
                 "dump's \"pictureType\" or 0..20, \"Cover (front)\" when left out");
    out += "\nLists (+=ENTRY and [KEY]=VALUE):\n";
    out += cli::listSyntaxHelp(HelpIndent);
    out += "\nExamples:\n";
    out += entry("quillet-tag dump --header-only *.mp3",
                 "print the ID3v2 header of every MP3 file here");
    out += entry("quillet-tag set a.mp3 b.mp3 LeadPerformer=Nobody TrackNum=3/12",
                 "set the artist and the track number of two files");
    out +=
        entry("quillet-tag set *.mp3 Pictures+=back.jpg:4 'UserTexts[REPLAYGAIN_TRACK_GAIN]=-6.2 "
              "dB' 'Comments+=eng::Ripped from vinyl' Lyrics=",
              "add a back cover, set a user text, add a comment and remove every lyric, in "
              "each file here");
    out += entry("quillet-tag dump --temp pics a.mp3 | quillet-tag write --temp pics b.mp3",
                 "copy the tag of a.mp3, pictures included, into b.mp3");
    out += entry("quillet-tag names --template '{Track Num.} - {Artist} - {Title}' *.mp3",
                 "set track number, artist and title of each file from its name, such as "
                 "\"01 - Who - Intro.mp3\"");
    out += entry("quillet-tag number --total 01*.mp3 02*.mp3 03*.mp3",
                 "number three files 1/3, 2/3 and 3/3, in that order");
    out += entry("quillet-tag set *.mp3 Album=Live; quillet-tag undo",
                 "change the album of every file here, then put every file back");
    out += "\nMessages of a file that failed (its line's error; the file is left as it was):\n";
    out += entry("File not found, File access denied, Is a folder, Disk full, I/O error N",
                 "what the file system said");
    out += entry("Not an MP3 file",
                 "kill, write and set: the file holds neither an ID3v2 tag nor MPEG audio (a "
                 "frame at its start, or two within 4 KiB of it), and is not an empty file named "
                 ".mp3; --force writes it all the same");
    out += entry("File too short to hold MP3 audio", "fewer than 10 bytes, and no MPEG frame");
    out += entry("Read beyond end of file", "the tag claims more bytes than the file has");
    out += entry("'LIST-=N': LIST has no entry N; 'LIST+=ENTRY': LIST already holds 100 entries",
                 "set: the file's list does not allow the edit");
    out += "Usage errors and bad input go to standard error as \"quillet-tag: ...\", naming\n"
           "the argument, before any file is touched.\n";
    out += "\nExit status:\n";
    out += entry("0", "every file succeeded");
    out += entry("1", "a file failed, or the output could not be written");
    out += entry("2", "a usage error or bad input; no file was touched");
    out += "\nFiles:\n";
    out += entry("journal/",
                 "the undo journal, in the program folder: ~/.local/share/Quillet/ "
                 "($XDG_DATA_HOME/Quillet/ when that is set), or the folder of a quillet-tag run "
                 "from its build folder; --program-folder DIR takes DIR instead");
    std::fputs(out.c_str(), stdout);
}

// Splits set's named arguments (those before "--"; the ones after it are
// files whatever their names hold) into files and EDITs: the arguments with
// "=" come after every file. Returns what is wrong, or nothing.
std::string takeAssignments(cli::Args& args, size_t named) {
    const auto isEdit = [](const std::string& a) { return a.find('=') != std::string::npos; };
    const auto begin = args.files.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(named);
    const auto first = std::find_if(begin, end, isEdit);
    if (const auto file = std::find_if_not(first, end, isEdit); file != end)
        return "set: the file " + *file + " comes after the edit " + *first +
               ": EDITs follow the files (a file whose name holds \"=\" goes after --)";
    if (first == begin && first != end && args.files.size() == named)
        return "set: no FILE before the edit " + *first;
    args.assignments.assign(first, end);
    args.files.erase(first, end);
    if (args.assignments.empty())
        return "set needs at least one EDIT (PROPERTY=VALUE, or a list edit) after the files";
    return {};
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
    if (argc < 2) return usage("no command given");
    const std::string_view first = argv[1];
    if (first == "--help") {
        help();
        return finish(cli::ExitOk);
    }
    if (first == "--version") {
        std::fputs("quillet-tag (Quillet) " QUILLET_VERSION "\n" QUILLET_LICENCE_NOTICE, stdout);
        return finish(cli::ExitOk);
    }
    const Command* command = nullptr;
    for (const Command& c : Commands)
        if (c.name == first) command = &c;
    if (!command) return usage("unknown command '" + std::string(first) + "'");
    const std::string name(command->name);
    cli::Args args;
    std::vector<std::string_view> given; // the options, to check them against the command
    size_t named = std::string::npos;    // files before "--"
    for (int i = 2; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a == "--temp" || a == "--program-folder") {
            if (++i >= argc || !*argv[i]) return usage(std::string(a) + " needs a folder");
            (a == "--temp" ? args.temp : args.programFolder) = argv[i];
        } else if (a == "--template") {
            if (++i >= argc) return usage("--template needs a TEMPLATE");
            args.pattern = argv[i];
        } else if (a == "--total") {
            args.total = true;
        } else if (a == "--header-only") {
            args.headerOnly = true;
        } else if (a == "--journal" || a == "--no-journal") {
            args.journal = a == "--journal";
        } else if (a == "--list") {
            args.list = true;
        } else if (a == "--force") {
            args.force = true;
        } else if (a == "--allow-loss") {
            args.allowLoss = true;
        } else if (a == "--") {
            named = args.files.size();
            for (++i; i < argc; ++i)
                args.files.emplace_back(argv[i]);
            break;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option '" + std::string(a) + "'");
        } else {
            args.files.emplace_back(a);
            continue;
        }
        given.push_back(a);
    }
    // An option a command does not take is named, not ignored: its synopsis
    // lists what it takes (--program-folder and --journal go with --no-journal).
    for (const std::string_view option : given) {
        const bool journal = option == "--program-folder" || option == "--journal";
        const bool takes = command->synopsis.find(option) != std::string_view::npos ||
                           (journal && command->changesFiles);
        if (!takes && option != "--") return usage(name + " does not take " + std::string(option));
    }
    if (command->takesAssignments)
        if (const std::string why = takeAssignments(args, std::min(named, args.files.size()));
            !why.empty())
            return usage(why);
    if (args.files.empty() && command->takesFiles) return usage(name + " needs at least one FILE");
    if (name == "names" && args.pattern.empty()) return usage("names needs --template TEMPLATE");
    if (!args.files.empty() && !command->takesFiles)
        return usage(name + " takes no FILE, but was given " + args.files.front());
    if (!command->recovers) cli::atStart(args);
    return finish(command->run(args));
}
