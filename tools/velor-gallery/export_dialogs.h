#pragma once
// The export dialogs on their own, in a chosen language, to look at:
// `velor-gallery --dialog captured|progress|split [--language NAME]`.

// Runs the dialog over the desktop until it closes; with a screenshot path
// the screen is saved once it has painted and the dialog is closed.
// Returns the exit status.
int ShowExportDialog(const char* which, const char* language, const char* screenshotPath);

// Runs `show` (which returns when its dialog closes); with a screenshot path
// the screen is saved once the dialog has painted and the dialog is closed.
// Returns the exit status.
int ShowDialogPage(void (*show)(), const char* screenshotPath);
