#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "app/command_line.h"
#include "tests/support/temp_folder.h"

namespace {

TCommandLine Parse(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "velor-player");
    return ParseCommandLine(static_cast<int>(arguments.size()), arguments.data());
}

} // namespace

TEST(CommandLine, AnswersOptionsAndChecksThePathBeforeAnyWindow) {
    TTempFolder folder;
    const std::string file = folder.File("NOR_20240101_120000_F.avi");
    std::ofstream(file) << "x";
    const std::string missing = folder.File("nothing-here");

    struct TCase {
        std::vector<const char*> arguments;
        TCommandAction action;
        TPathKind kind;
    };
    const TCase cases[] = {
        {{}, TCommandAction::Run, TPathKind::None},
        {{"--help"}, TCommandAction::Help, TPathKind::None},
        {{"--version"}, TCommandAction::Version, TPathKind::None},
        {{folder.Path().c_str()}, TCommandAction::Run, TPathKind::Folder},
        {{file.c_str()}, TCommandAction::Run, TPathKind::File},
        {{"--", file.c_str()}, TCommandAction::Run, TPathKind::File},
        {{missing.c_str()}, TCommandAction::Refuse, TPathKind::None},
        {{"--loud"}, TCommandAction::Refuse, TPathKind::None},
        {{file.c_str(), folder.Path().c_str()}, TCommandAction::Refuse, TPathKind::None},
        {{"/dev/null"}, TCommandAction::Refuse, TPathKind::None},
    };
    for (const TCase& one : cases) {
        const TCommandLine command = Parse(one.arguments);
        const std::string shown = one.arguments.empty() ? "(none)" : one.arguments.back();
        EXPECT_EQ(command.action, one.action) << shown;
        EXPECT_EQ(command.kind, one.kind) << shown;
        EXPECT_EQ(command.message.empty(), one.action != TCommandAction::Refuse) << shown;
    }
    EXPECT_NE(Parse({missing.c_str()}).message.find(missing), std::string::npos);
    EXPECT_EQ(Parse({file.c_str()}).path, file);
}
