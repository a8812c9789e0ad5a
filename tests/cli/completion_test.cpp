// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The bash completion of quillet-tag, run by bash against the built program:
// it reads commands, options and property names from --help, so a change of
// the help's layout shows here.
#include "support/testfiles.h"
#include "tagengine/frametable.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

using namespace testing_support;

namespace {

const char* const BashCompletion = "/usr/share/bash-completion/bash_completion";

std::vector<std::string> sortedLines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) out.push_back(line);
    std::sort(out.begin(), out.end());
    return out;
}

// The words bash offers for the command line typed so far, in folder `dir`.
// Readline splits the words at "=" as well, as bash-completion expects.
std::vector<std::string> complete(const std::string& dir, const std::string& line) {
    const std::string script = std::string("source ") + BashCompletion + "\nsource " +
                               shellQuote(QUILLET_COMPLETION) + "\ncd " + shellQuote(dir) +
                               R"(
compopt() { :; } # only a running completion may change its options
COMP_LINE=$1; COMP_POINT=${#1}; COMP_WORDS=()
for w in $1; do
    while [[ $w == *=* ]]; do COMP_WORDS+=("${w%%=*}" "="); w=${w#*=}; done
    [[ $w ]] && COMP_WORDS+=("$w")
done
[[ $1 == *" " ]] && COMP_WORDS+=("")
COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
_quillet_tag quillet-tag "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
printf '%s\n' "${COMPREPLY[@]}"
)";
    const std::string bin = std::filesystem::path(QUILLET_TAG_BIN).parent_path();
    const auto r = run("PATH=" + shellQuote(bin) + ":$PATH bash -c " + shellQuote(script) +
                       " completion " + shellQuote(line));
    EXPECT_EQ(r.status, 0) << line;
    return sortedLines(r.out);
}

std::vector<std::string> properties(std::string_view prefix) {
    std::vector<std::string> out;
    for (const tag::PropInfo& p : tag::PropTable)
        if (p.name.starts_with(prefix)) out.push_back(std::string(p.name) + "=");
    std::sort(out.begin(), out.end());
    return out;
}

TEST(QuilletTagCompletion, OffersWhatTheProgramTakes) {
    if (!std::filesystem::exists(BashCompletion)) GTEST_SKIP() << "bash-completion missing";
    TempDir dir;
    writeFile(dir.file("Tiny.mp3"), Bytes{1});
    writeFile(dir.file("loud.MP3"), Bytes{1});
    writeFile(dir.file("notes.txt"), Bytes{1});
    std::filesystem::create_directory(dir.file("sub"));
    using Words = std::vector<std::string>;
    const struct {
        std::string line;
        Words words;
    } cases[] = {
        {"quillet-tag ",
         {"--help", "--version", "dump", "kill", "names", "number", "recover", "set", "undo",
          "write"}},
        {"quillet-tag w", {"write"}},
        {"quillet-tag dump --", {"--", "--header-only", "--temp"}},
        {"quillet-tag write --", {"--", "--allow-loss", "--force", "--no-journal", "--temp"}},
        {"quillet-tag undo --", {"--", "--list", "--program-folder"}},
        {"quillet-tag undo --program-folder ", {"sub"}},
        {"quillet-tag names --template ", {}},
        {"quillet-tag names --template x ", {"Tiny.mp3", "loud.MP3", "sub"}},
        {"quillet-tag dump --temp ", {"sub"}},
        {"quillet-tag kill ", {"Tiny.mp3", "loud.MP3", "sub"}},
        // Assignments only after a file; after the first one, nothing else.
        {"quillet-tag set Ti", {"Tiny.mp3"}},
        {"quillet-tag set Tiny.mp3 Ti",
         [] {
             Words w = properties("Ti");
             w.insert(w.begin(), "Tiny.mp3");
             return w;
         }()},
        {"quillet-tag set Tiny.mp3 Title=x Lan", {"Language="}},
        {"quillet-tag set Tiny.mp3 Pi", {"Pictures+=", "Pictures-=", "Pictures=", "Pictures["}},
        {"quillet-tag set Tiny.mp3 Title=", {}},
        {"quillet-tag set Tiny.mp3 Comments+=", {}},
        // A picture file after the picture list's "=".
        {"quillet-tag set Tiny.mp3 Pictures+=", {"Tiny.mp3", "loud.MP3", "notes.txt", "sub"}},
        {"quillet-tag set Tiny.mp3 Pictures[back]=no", {"notes.txt"}},
        {"quillet-tag set Tiny.mp3 -- Ti", {"Tiny.mp3"}},
    };
    for (const auto& c : cases) {
        Words expected = c.words;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(complete(dir.path(), c.line), expected) << c.line;
    }
}

} // namespace
