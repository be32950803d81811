#pragma once
// The time display's text: "mm : ss", or "hh : mm : ss" from an hour on.

#include <string>

std::wstring PlaybackTimeText(int seconds);
