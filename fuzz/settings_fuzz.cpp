// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The settings file's parser on arbitrary text: lookups and rewrites never
// crash, a value written reads back as written (cut at its first line break,
// within the read limit), every other value stays as it was, and a write
// through the file leaves nothing but the file behind.
//
// The input is split at 0x1F bytes: text, section, key, value, and a second
// section and key whose value must not change.
#include "sandbox.h"
#include "settings/profile.h"

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

using namespace fuzzing;

namespace {

// Sections and keys as the program names them: no line breaks, brackets,
// "=", ";" or zeros, no blanks at either end, not empty.
bool sane(const std::string& name) {
    if (name.empty() || name.front() == ' ' || name.front() == '\t' || name.back() == ' ' ||
        name.back() == '\t')
        return false;
    return name.find_first_of(std::string_view("\r\n\0[]=;", 7)) == std::string::npos;
}

bool sameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> p = split(data, size, 6);
    const std::string &text = p[0], &section = p[1], &key = p[2], &value = p[3];
    const std::string &section2 = p[4], &key2 = p[5];

    // Lookups of anything in anything, and integers.
    if (auto v = settings::findValue(text, section, key))
        check(v->size() <= settings::MaxValueLength, "a value longer than the read limit");
    if (auto n = settings::parseInteger(value))
        check(settings::parseInteger(std::to_string(*n)) == n, "an integer does not read back");
    if (!sane(section) || !sane(key)) return 0;

    const std::string expected = value.substr(0, value.find_first_of(std::string_view("\0\r\n", 3)))
                                     .substr(0, settings::MaxValueLength);
    const std::string updated = settings::withValue(text, section, key, value);
    check(settings::findValue(updated, section, key) == expected, "the value does not read back");
    const bool other = !(sameLetters(section, section2) && sameLetters(key, key2));
    if (other)
        check(settings::findValue(updated, section2, key2) ==
                  settings::findValue(text, section2, key2),
              "another value changed");

    // The same through the file: nothing but the file afterwards.
    Sandbox& box = Sandbox::instance();
    box.reset({"cfg/"});
    const std::string path = box.path("cfg/Quillet.ini");
    writeFile(path, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    settings::Profile profile(path);
    profile.writeString(section, key, value);
    check(profile.readString(section, key, "\x01 missing") == expected,
          "the value does not read back from the file");
    checkTree({"cfg/", "cfg/Quillet.ini"}, "");
    return 0;
}
