#include <algorithm>
#include <iterator>

#include <gtest/gtest.h>

#include "recordings/recording_catalog.h"
#include "recordings/recording_name.h"

TEST(RecordingKind, CodesInAnyCaseAndTheSecondCodeOfEachKind) {
    const struct {
        const char* name;
        RecordingKind kind;
    } cases[] = {
        {"inf_x.avi", RecordingKind::Normal},
        {"evt_x.avi", RecordingKind::Event},
        {"Man_x.avi", RecordingKind::Event},
        {"mAN", RecordingKind::Event},
        {"moe_x.avi", RecordingKind::Parking},
        {"TLS_x.avi", RecordingKind::Parking},
        {"xyz_x.avi", RecordingKind::Unknown},
        {"in.avi", RecordingKind::Unknown},
        {"", RecordingKind::Unknown},
        {"\xc3\xa9vt_x.avi", RecordingKind::Unknown},
        // Only the file name part counts.
        {"/media/evt/inf/moe_1.avi", RecordingKind::Parking},
        {"/media/inf_dir/x.avi", RecordingKind::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KindOfName(c.name), c.kind) << c.name;
    EXPECT_EQ(FileNamePart("a/b\\c.avi"), "b\\c.avi");
}

TEST(RecordingTime, CopiedFromTheFixedPositionsAsFarAsTheNameHoldsWholeFields) {
    const struct {
        std::string name;
        const char* text;
    } cases[] = {
        {"EVT_F_0001_20230514-083015_02.avi", "2023.05.14 08:30:15"},
        // Characters are copied, not parsed; the separator at 19 is never read.
        {"inf________2023ab99x998877.avi", "2023.ab.99 99:88:77"},
        {"EVT_F_0001_20230514-0830.avi", "2023.05.14 08:30"},
        {"EVT_F_0001_20230514-0", "2023.05.14"},
        {"EVT_F_0001_2023.avi", "2023"},
        // The extension is no part of the time even where it stands at 11-14.
        {"EVT_F_0001_.avi", ""},
        {"a.avi", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RecordingTimeText(c.name), c.text) << c.name;
}

TEST(RecordingSort, ByTheNameFromPositionTenAsUnsignedBytesFoldersAside) {
    // Each sorts before the next: a name of 10 characters or fewer has an
    // empty key, the folder plays no part, 0xE9 comes after 'z'.
    const char* ascending[] = {"a.avi", "/z/deep/inf_______1.avi", "/a/aaa_______2.avi",
                               "zzz_______z.avi", "inf_______\xe9.avi"};
    for (size_t i = 0; i + 1 < std::size(ascending); ++i) {
        EXPECT_TRUE(CompareRecordings(ascending[i], ascending[i + 1])) << ascending[i];
        EXPECT_FALSE(CompareRecordings(ascending[i + 1], ascending[i])) << ascending[i];
    }
}

// Equal keys are neither before the other, and sorting keeps both.
TEST(RecordingSort, EqualKeysAreNeitherBeforeTheOtherAndBothStay) {
    const std::string a = "/card/EVT_F_0001_20230514-083015.avi";
    const std::string b = "/card/x/INF_R_9999_20230514-083015.avi";
    EXPECT_FALSE(CompareRecordings(a, b));
    EXPECT_FALSE(CompareRecordings(b, a));
    std::vector<std::string> entries = {b, "/card/INF_1______20240101-000000.avi", a};
    SortRecordings(&entries);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2], "/card/INF_1______20240101-000000.avi");
    EXPECT_TRUE((entries[0] == a && entries[1] == b) || (entries[0] == b && entries[1] == a));
}
