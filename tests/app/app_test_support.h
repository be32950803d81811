#pragma once
// Shared by the application shell's tests: the user interface application
// and a message pump.

#include "platform/windows.h"

void EnsureAppApplication();
// Runs queued window messages; true when a quit message was among them.
bool PumpMessages(int rounds = 5);
