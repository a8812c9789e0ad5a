// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
// The language table: its rows, the first-row-wins lookups and the fixed order
// of the window's language list.
#include "languages/languages.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace {

using languages::DisplayOrder;
using languages::LanguageCode;
using languages::LanguageName;
using languages::LanguageTable;

// The 25 names with two codes, in the order the window's list shows them.
const std::vector<std::pair<std::string, std::vector<std::string>>> TwoCodes = {
    {"Albanian", {"alb", "sqi"}},
    {"Armenian", {"arm", "hye"}},
    {"Basque", {"baq", "eus"}},
    {"Burmese", {"bur", "mya"}},
    {"Czech", {"ces", "cze"}},
    {"Dutch", {"dut", "nla"}},
    {"French", {"fra", "fre"}},
    {"Gaelic (Scots)", {"gae", "gdh"}},
    {"Georgian", {"geo", "kat"}},
    {"German", {"deu", "ger"}},
    {"Greek, Modern (1453-)", {"ell", "gre"}},
    {"Chinese", {"chi", "zho"}},
    {"Icelandic", {"ice", "isl"}},
    {"Irish", {"gai", "iri"}},
    {"Javanese", {"jav", "jaw"}},
    {"Macedonian", {"mac", "mak"}},
    {"Malay", {"may", "msa"}},
    {"Maori", {"mao", "mri"}},
    {"Persian", {"fas", "per"}},
    {"Romanian", {"ron", "rum"}},
    {"Slovak", {"slk", "slo"}},
    {"Spanish", {"esl", "spa"}},
    {"Swedish", {"sve", "swe"}},
    {"Tibetan", {"bod", "tib"}},
    {"Welsh", {"cym", "wel"}},
};

TEST(LanguageTable, RowsInCodeOrder) {
    static_assert(LanguageTable.size() == 427);
    for (size_t i = 0; i < LanguageTable.size(); ++i) {
        const auto& row = LanguageTable[i];
        ASSERT_EQ(row.code.size(), 3u) << i;
        EXPECT_TRUE(std::all_of(row.code.begin(), row.code.end(), [](char c) {
            return c >= 'a' && c <= 'z';
        })) << row.code;
        EXPECT_FALSE(row.name.empty()) << row.code;
        if (i > 0) {
            EXPECT_LE(LanguageTable[i - 1].code, row.code) << row.code;
        }
    }
    EXPECT_EQ(LanguageTable.front().code, "aar");
    EXPECT_EQ(LanguageTable.back().code, "zun");
}

TEST(LanguageTable, DuplicatedNamesAndCodes) {
    std::map<std::string_view, std::vector<std::string>> codesOf;
    std::map<std::string_view, std::vector<std::string_view>> namesOf;
    for (const auto& row : LanguageTable) {
        codesOf[row.name].emplace_back(row.code);
        namesOf[row.code].push_back(row.name);
    }
    std::map<std::string_view, std::vector<std::string>> twice;
    for (const auto& [name, codes] : codesOf)
        if (codes.size() > 1) twice[name] = codes;
    std::map<std::string_view, std::vector<std::string>> want;
    for (const auto& [name, codes] : TwoCodes)
        want[name] = codes;
    EXPECT_EQ(twice, want);

    std::map<std::string_view, std::vector<std::string_view>> shared;
    for (const auto& [code, names] : namesOf)
        if (names.size() > 1) shared[code] = names;
    EXPECT_EQ(shared, (std::map<std::string_view, std::vector<std::string_view>>{
                          {"ine", {"Indo-European (Other)", "Interlingue"}},
                          {"mak", {"Macedonian", "Makasar"}},
                          {"ssw", {"Siswant", "Swazi"}},
                      }));
    EXPECT_EQ(namesOf.size(), 424u);
    EXPECT_EQ(codesOf.size(), 402u);
}

TEST(LanguageTable, NamesSpelledAsTheyAre) {
    const std::pair<const char*, const char*> names[] = {
        {"iro", "Iroquoian uages"},
        {"pra", "Prakrit uages"},
        {"nso", "Sotho, Northern "},
        {"vol", "Volapük"},
        {"ssw", "Siswant"},
        {"mkh", "Mon-Kmer (Other)"},
        {"sun", "Sudanese"},
        {"oci", "Langue d'Oc (post 1500)"},
        {"ina", "Interlingua (International Auxiliary language Association)"},
        {"chn", "Chinook jargon"},
        {"peo", "Persian, Old (ca 600 - 400 B.C.)"},
        {"fro", "French, Old (842- ca. 1400)"},
        {"mga", "Irish, Middle (900 - 1200)"},
    };
    for (auto [code, name] : names) {
        EXPECT_EQ(LanguageName(code), name) << code;
        EXPECT_EQ(LanguageCode(name), code) << name;
    }
    EXPECT_EQ(LanguageName("vol").size(), 8u); // UTF-8, as the model's text
    EXPECT_EQ(LanguageCode("Volap\xFCk"), "");
    EXPECT_EQ(LanguageCode("Sotho, Northern"), "");
}

TEST(LanguageLookups, FirstRowWins) {
    EXPECT_EQ(LanguageCode("English"), "eng");
    EXPECT_EQ(LanguageName("eng"), "English");
    EXPECT_EQ(LanguageCode("Albanian"), "alb");
    EXPECT_EQ(LanguageName("sqi"), "Albanian");
    EXPECT_EQ(LanguageName("ine"), "Indo-European (Other)");
    EXPECT_EQ(LanguageCode("Interlingue"), "ine");
    EXPECT_EQ(LanguageCode("Indo-European (Other)"), "ine");
    EXPECT_EQ(LanguageName("mak"), "Macedonian");
    EXPECT_EQ(LanguageCode("Makasar"), "mak");
    EXPECT_EQ(LanguageCode("Macedonian"), "mac");
    EXPECT_EQ(LanguageName("ssw"), "Siswant");
    EXPECT_EQ(LanguageCode("Swazi"), "ssw");
    EXPECT_EQ(LanguageCode("Uzbek"), "uzb");
    EXPECT_EQ(LanguageName("uzb"), "Uzbek");
    EXPECT_EQ(LanguageCode("Langue d'Oc (post 1500)"), "oci");
    EXPECT_EQ(LanguageCode("German"), "deu");
    EXPECT_EQ(LanguageCode("French"), "fra");
    EXPECT_EQ(LanguageCode("Dutch"), "dut");
    EXPECT_EQ(LanguageCode(LanguageName("ger")), "deu");
    for (const auto& [name, codes] : TwoCodes) {
        EXPECT_EQ(LanguageCode(name), codes[0]);
        for (const std::string& code : codes)
            EXPECT_EQ(LanguageName(code), name) << code;
    }
    // Every row is found: its name gives its own code or an earlier one.
    for (const auto& row : LanguageTable) {
        const std::string code = LanguageCode(row.name);
        EXPECT_FALSE(code.empty()) << row.name;
        EXPECT_LE(code, row.code) << row.name;
        EXPECT_FALSE(LanguageName(row.code).empty()) << row.code;
    }
}

TEST(LanguageLookups, ExactMatchesOnly) {
    EXPECT_EQ(LanguageCode("english"), "");
    EXPECT_EQ(LanguageCode("English "), "");
    EXPECT_EQ(LanguageName("ENG"), "");
    EXPECT_EQ(LanguageName("en"), "");
    EXPECT_EQ(LanguageName("engl"), "");
    EXPECT_EQ(LanguageCode(""), "");
    EXPECT_EQ(LanguageName(""), "");
    EXPECT_EQ(LanguageName("xxx"), "");
    EXPECT_EQ(LanguageName("abc"), "");
    EXPECT_EQ(LanguageCode("Langue d`Oc (post 1500)"), "");
}

// The list order, checked by building a sort key of each name: case folded,
// hyphens dropped, a leading "ch" as a letter after "h" ("~" sorts after "z").
std::string sortKey(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (c == '-') continue;
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    if (key.compare(0, 2, "ch") == 0) key.replace(0, 2, "h~");
    return key;
}

TEST(LanguageDisplayOrder, SameNamesAsTheTable) {
    std::vector<std::string_view> table, shown(DisplayOrder.begin(), DisplayOrder.end());
    for (const auto& row : LanguageTable)
        table.push_back(row.name);
    std::sort(table.begin(), table.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, table);
}

TEST(LanguageDisplayOrder, AlphabeticalWithChAfterH) {
    for (size_t i = 1; i < DisplayOrder.size(); ++i)
        EXPECT_LE(sortKey(DisplayOrder[i - 1]), sortKey(DisplayOrder[i]))
            << DisplayOrder[i - 1] << " / " << DisplayOrder[i];
    EXPECT_EQ(DisplayOrder.front(), "Abkhazian");
    EXPECT_EQ(DisplayOrder.back(), "Zuni");

    auto at = [](std::string_view name) {
        return std::find(DisplayOrder.begin(), DisplayOrder.end(), name) - DisplayOrder.begin();
    };
    auto run = [&](std::vector<std::string_view> names) {
        return std::vector<std::string_view>(DisplayOrder.begin() + at(names.front()),
                                             DisplayOrder.begin() + at(names.front()) +
                                                 static_cast<long>(names.size()));
    };
    // The names beginning "Ch", as one block between "Hupa" and "Iban".
    const std::vector<std::string_view> ch = {
        "Hupa",    "Chagatai", "Chamorro",       "Chechen", "Cherokee",      "Cheyenne", "Chibcha",
        "Chinese", "Chinese",  "Chinook jargon", "Choctaw", "Church Slavic", "Chuvash",  "Iban"};
    EXPECT_EQ(run(ch), ch);
    // Other "C" names stay among the "C"s; "ch" inside a name is two plain letters.
    const std::vector<std::string_view> c = {"Celtic (Other)", "Central American Indian (Other)",
                                             "Coptic"};
    EXPECT_EQ(run(c), c);
    const std::vector<std::string_view> a = {"Abkhazian", "Achinese", "Acoli", "Adangme"};
    EXPECT_EQ(run(a), a);
    // Hyphens do not count, nor does case: "MonKmer" after "Mongolian".
    const std::vector<std::string_view> mon = {"Moldavian", "Mongo", "Mongolian",
                                               "Mon-Kmer (Other)", "Mossi"};
    EXPECT_EQ(run(mon), mon);
    // Spaces and punctuation before letters; a shorter name before its longer forms.
    const std::vector<std::string_view> creoles = {"Cree",
                                                   "Creek",
                                                   "Creoles and Pidgins (Other)",
                                                   "Creoles and Pidgins, English-based (Other)",
                                                   "Creoles and Pidgins, French-based (Other)",
                                                   "Creoles and Pidgins, Portuguese-based (Other)",
                                                   "Cushitic (Other)"};
    EXPECT_EQ(run(creoles), creoles);
    const std::vector<std::string_view> german = {"Georgian",
                                                  "Georgian",
                                                  "German",
                                                  "German",
                                                  "German, Middle High (ca. 1050-1500)",
                                                  "German, Old High (ca. 750-1050)",
                                                  "Germanic (Other)",
                                                  "Gilbertese"};
    EXPECT_EQ(run(german), german);
    const std::vector<std::string_view> ind = {"Indic (Other)",
                                               "Indo-European (Other)",
                                               "Indonesian",
                                               "Interlingua (International Auxiliary language "
                                               "Association)",
                                               "Interlingue",
                                               "Inuktitut",
                                               "Inupiak"};
    EXPECT_EQ(run(ind), ind);
    const std::vector<std::string_view> sotho = {"Sorbian Languages", "Sotho, Northern ",
                                                 "Sotho, Southern",
                                                 "South American Indian (Other)"};
    EXPECT_EQ(run(sotho), sotho);
}

TEST(LanguageDisplayOrder, DuplicatesInAdjacentRows) {
    std::vector<std::string_view> twice;
    for (size_t i = 1; i < DisplayOrder.size(); ++i)
        if (DisplayOrder[i] == DisplayOrder[i - 1]) twice.push_back(DisplayOrder[i]);
    std::vector<std::string_view> want;
    for (const auto& [name, codes] : TwoCodes)
        want.push_back(name);
    // In list order: "Chinese" comes after "Greek, Modern (1453-)", before "Icelandic".
    EXPECT_EQ(twice, want);
}

} // namespace
