#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/diagnostic.h"

namespace {

constexpr std::int64_t kSecond = 1000000;

std::vector<std::string> LinesOf(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::vector<std::string> lines;
    char line[256];
    while (std::fgets(line, sizeof line, file))
        lines.emplace_back(line);
    return lines;
}

} // namespace

// The sound stream's complaints come from SDL's callback, many times a
// second while a stream is damaged: a full stderr pipe would stall the sound.
TEST(AudioDiagnostic, AFloodWritesOneLineASecondWithTheCountOfTheRepeatsHeldBack) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    TDiagnostic diagnostic("decoding failed", out);
    for (int i = 0; i < 1000; ++i)
        diagnostic.SayAt(5 * kSecond + i * 999);
    EXPECT_EQ(LinesOf(out), std::vector<std::string>{"decoding failed\n"});

    diagnostic.SayAt(6 * kSecond);
    diagnostic.SayAt(6 * kSecond + 1);
    diagnostic.SayAt(9 * kSecond);
    diagnostic.SayAt(10 * kSecond + 1);
    const std::vector<std::string> lines = LinesOf(out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].rfind("decoding failed", 0), 0u);
    EXPECT_NE(lines[1].find(" 999 "), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" 1 "), std::string::npos) << lines[2];
    // Nothing was held back since the last line.
    EXPECT_EQ(lines[3], "decoding failed\n");
    std::fclose(out);
}
