#pragma once
// The settings dialogs on their own, in a chosen language, to look at:
// `velor-gallery --dialog camera|viewer [--language NAME] [--tab 1|2]`.
// The camera dialog shows a two-camera model with the camera's defaults.

// Whether `which` names a settings dialog.
bool IsSettingsDialog(const char* which);
// Runs it until it closes; the exit status.
int ShowSettingsDialog(const char* which, const char* language, int tab,
                       const char* screenshotPath);
