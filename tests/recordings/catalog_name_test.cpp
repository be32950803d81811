#include <algorithm>

#include <gtest/gtest.h>

#include "recordings/recording_catalog.h"
#include "recordings/recording_name.h"

// A full name: kind, 7 free characters, the sort key from position 10.
//                         0123456789012345678901234567
constexpr const char* kFullName = "EVT_F_0001_20230514-083015_02.avi";

TEST(RecordingKind, CodesInAnyCaseAndTheSecondCodeOfEachKind) {
    struct Case {
        const char* name;
        RecordingKind kind;
    } cases[] = {
        {"inf_x.avi", RecordingKind::Normal},  {"INF_x.avi", RecordingKind::Normal},
        {"evt_x.avi", RecordingKind::Event},   {"EVT_x.avi", RecordingKind::Event},
        {"Man_x.avi", RecordingKind::Event},   {"mAN", RecordingKind::Event},
        {"moe_x.avi", RecordingKind::Parking}, {"TLS_x.avi", RecordingKind::Parking},
        {"tls", RecordingKind::Parking},       {"xyz_x.avi", RecordingKind::Unknown},
        {"in.avi", RecordingKind::Unknown},    {"ev", RecordingKind::Unknown},
        {"", RecordingKind::Unknown},          {"\xc3\xa9vt_x.avi", RecordingKind::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KindOfName(c.name), c.kind) << c.name;
}

TEST(RecordingKind, OnlyTheFileNamePartCounts) {
    EXPECT_EQ(KindOfName("/media/evt/inf/moe_1.avi"), RecordingKind::Parking);
    EXPECT_EQ(KindOfName("/media/inf_dir/x.avi"), RecordingKind::Unknown);
    EXPECT_EQ(KindOfName("/media/card/"), RecordingKind::Unknown);
    EXPECT_EQ(FileNamePart("a/b\\c.avi"), "b\\c.avi");
}

TEST(RecordingKind, TextsAndIcons) {
    EXPECT_STREQ(KindText(RecordingKind::Normal), "Normal");
    EXPECT_STREQ(KindText(RecordingKind::Event), "Event");
    EXPECT_STREQ(KindText(RecordingKind::Parking), "Parking");
    EXPECT_STREQ(KindText(RecordingKind::Unknown), "Unknown");
    EXPECT_EQ(KindIconId(RecordingKind::Normal), 212);
    EXPECT_EQ(KindIconId(RecordingKind::Event), 213);
    EXPECT_EQ(KindIconId(RecordingKind::Parking), 214);
    EXPECT_EQ(KindIconId(RecordingKind::Unknown), 212);
}

TEST(RecordingName, OnlyNamesLongerThanTheExtensionEndingInAvi) {
    EXPECT_TRUE(IsRecordingFileName("a.avi"));
    EXPECT_TRUE(IsRecordingFileName("INF_1.AVI"));
    EXPECT_TRUE(IsRecordingFileName("inf_1.aVi"));
    EXPECT_FALSE(IsRecordingFileName(".avi"));
    EXPECT_FALSE(IsRecordingFileName("avi"));
    EXPECT_FALSE(IsRecordingFileName("inf_1.avi.part"));
    EXPECT_FALSE(IsRecordingFileName("inf_1.mp4"));
    EXPECT_FALSE(IsRecordingFileName("inf_1avi"));
}

TEST(RecordingTime, CopiedFromTheFixedPositions) {
    EXPECT_EQ(RecordingTimeText(kFullName), "2023.05.14 08:30:15");
    EXPECT_EQ(RecordingTimeText(std::string("/media/card/DCIM/") + kFullName),
              "2023.05.14 08:30:15");
    // Characters are copied, not parsed; the separator at 19 is never read.
    EXPECT_EQ(RecordingTimeText("inf________2023ab99x998877.avi"), "2023.ab.99 99:88:77");
}

TEST(RecordingTime, ShortNamesGiveTheWholeFieldsTheyHold) {
    EXPECT_EQ(RecordingTimeText("EVT_F_0001_20230514-0830.avi"), "2023.05.14 08:30");
    EXPECT_EQ(RecordingTimeText("EVT_F_0001_20230514-08"), "2023.05.14 08");
    EXPECT_EQ(RecordingTimeText("EVT_F_0001_20230514-0"), "2023.05.14");
    EXPECT_EQ(RecordingTimeText("EVT_F_0001_2023.avi"), "2023");
    // The extension is no part of the time even where it stands at 11-14.
    EXPECT_EQ(RecordingTimeText("EVT_F_0001_.avi"), "");
    EXPECT_EQ(RecordingTimeText("a.avi"), "");
    EXPECT_EQ(RecordingTimeText(""), "");
}

TEST(RecordingSort, ByTheNameFromPositionTen) {
    EXPECT_TRUE(CompareRecordings("zzz_______1.avi", "aaa_______2.avi"));
    EXPECT_FALSE(CompareRecordings("aaa_______2.avi", "zzz_______1.avi"));
    // The folder plays no part.
    EXPECT_TRUE(CompareRecordings("/z/deep/inf_______1.avi", "/a/inf_______2.avi"));
    // Bytes compare as unsigned characters: 0xE9 after 'z'.
    EXPECT_TRUE(CompareRecordings("inf_______z.avi", "inf_______\xe9.avi"));
    // A name of 10 characters or fewer has an empty key, before every other.
    EXPECT_TRUE(CompareRecordings("a.avi", "inf_______0.avi"));
    EXPECT_FALSE(CompareRecordings("inf_______0.avi", "a.avi"));
    EXPECT_FALSE(CompareRecordings("a.avi", "bcd.avi"));
}

TEST(RecordingSort, EqualKeysAreNeitherBeforeTheOtherAndBothStay) {
    const std::string a = "/card/EVT_F_0001_20230514-083015.avi";
    const std::string b = "/card/x/INF_R_9999_20230514-083015.avi";
    EXPECT_FALSE(CompareRecordings(a, b));
    EXPECT_FALSE(CompareRecordings(b, a));
    std::vector<std::string> entries = {b, "/card/INF_1______20240101-000000.avi", a,
                                        "/card/INF_1______20220101-000000.avi"};
    SortRecordings(&entries);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0], "/card/INF_1______20220101-000000.avi");
    EXPECT_EQ(entries[3], "/card/INF_1______20240101-000000.avi");
    std::vector<std::string> middle = {entries[1], entries[2]};
    std::sort(middle.begin(), middle.end());
    EXPECT_EQ(middle, (std::vector<std::string>{a, b}));
}
