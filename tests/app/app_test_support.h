#pragma once
// Shared by the application shell's tests: the user interface application,
// a message pump, window rectangles, and the fixture of the window tests.

#include <gtest/gtest.h>

#include "platform/windows.h"
#include "tests/support/temp_folder.h"

void EnsureAppApplication();
// Runs queued window messages; true when a quit message was among them.
bool PumpMessages(int rounds = 5);

RECT WindowRectOf(HWND window);
void ExpectSameRect(const RECT& actual, const RECT& expected, const char* what);

// The application with default preferences kept in a scratch home, and the skin loaded.
class TAppWindowTest : public ::testing::Test {
protected:
    void SetUp() override;

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.File("config")};
    TScopedEnv m_data{"XDG_DATA_HOME", m_home.File("data")};
};
