// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#pragma once

#include "tagengine/tagdata.h"

#include <stdexcept>
#include <string>
#include <vector>

class ID3v24;

// set's arguments: texts assigned, and entries added, changed and removed in
// the six lists, each checked before any file is touched and then applied to
// each file's own tag, as the window's fields and list pages change it.
namespace cli {

// Input that cannot be written: reported once, before any file is touched.
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Edit {
    enum class Op {
        Text,   // PROPERTY=VALUE
        Clear,  // LIST= (LIST=ENTRY is a Clear, then an Add)
        Add,    // LIST+=ENTRY
        Remove, // LIST-=N
        Put,    // LIST[KEY]=VALUE: the entry with that key changed, or added
        Drop,   // LIST[KEY]=: the entries with that key removed
    };
    Op op = Op::Text;
    std::string argument; // as given, for messages
    tag::Prop prop{};
    std::string text;
    tag::ListKind list{};
    tag::EntryColumns entry{};
    bool typeGiven = false; // a picture's type, which may be left out
    int index = 0;
};

// The arguments in order; raises InputError naming the argument that is
// not an assignment of a known property or list, or whose value the window
// would not take (see tagfile/valuecheck.h; a language of the table, a
// picture file that is there and a picture by its content).
std::vector<Edit> parseEdits(const std::vector<std::string>& arguments);

// Applies the edits, in order, to a tag read from a file. Raises
// std::runtime_error (and the file is to be left alone) for an entry that is
// not there to remove, or an entry to add to a list that is full.
void applyEdits(const std::vector<Edit>& edits, ID3v24& tag);

// The help's lines for the six lists: each list's ENTRY and KEY.
std::string listSyntaxHelp(int indent);

} // namespace cli
