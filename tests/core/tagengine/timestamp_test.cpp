// SPDX-License-Identifier: GPL-2.0-or-later
// SPDX-FileCopyrightText: 2026 The Quillet developers
#include "tagengine/timestamp.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using std::string;

TEST(Timestamp, StampsShowAsDateFieldsAndFieldsWriteBack) {
    struct Case {
        string stamp, field, writtenBack;
    };
    const Case cases[] = {
        {"2004-05-06", "06.05.2004", "2004-05-06"},
        {"2004-05", "  .05.2004", "2004-05"},
        {"2004", "  .  .2004", "2004"},
        {"", "  .  .    ", ""},
        {"2020-1", "  .1 .2020", "2020"}, // a month cut short is no month
        // Longer stamps show only the date they begin with.
        {"2004-05-06T10:20", "06.05.2004", "2004-05-06"},
        {string("2001-02-03\0", 11), "03.02.2001", "2001-02-03"},
        {"1999-12-31 free text", "31.12.1999", "1999-12-31"},
        {"1999-12 and more", "  .12.1999", "1999-12"},
        {"around 1970, maybe", "  .  .    ", ""},
        {"2004/05/06", "06.05.2004", "2004-05-06"}, // separators are skipped whatever they are
    };
    for (const Case& c : cases) {
        const string field = timestamp::timeStampToField(c.stamp);
        EXPECT_EQ(field, c.field) << c.stamp;
        EXPECT_EQ(timestamp::fieldToTimeStamp(field), c.writtenBack) << c.stamp;
    }
}

TEST(Timestamp, FieldsWithoutACompleteYearGiveNoStamp) {
    for (const string field : {"06.05. 004", "06.05.20", "  .  .    ", ""})
        EXPECT_EQ(timestamp::fieldToTimeStamp(field), "") << field;
    EXPECT_EQ(timestamp::fieldToTimeStamp(" 6.05.2004"), "2004-05");
}

TEST(Timestamp, ImpossibleDates) {
    for (const char* stamp : {"2023-02-29", "2023-02-31", "2023-99-99", "2023-13", "2023-00",
                              "2023-04-31", "1900-02-29", "2023-01-00"})
        EXPECT_TRUE(timestamp::impossibleDate(stamp)) << stamp;
    for (const char* stamp : {"2024-02-29", "2000-02-29", "2023-12-31T10:00", "2023-12", "2023", "",
                              "Summer 1999", "2023-1", "2023/13/45"})
        EXPECT_FALSE(timestamp::impossibleDate(stamp)) << stamp;
}

} // namespace
