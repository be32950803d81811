#pragma once
// The gallery's view of the file split dialog, in any language, with paths
// long enough to show how they are cut.

#include <string>

// Shows the dialog modally in `language`; with `screenshotPath` the screen
// is saved once the dialog has painted, and the dialog closes. Returns the
// exit status: 0, or 1 when the screenshot could not be saved.
int RunSplitDialogPage(const std::string& language, const std::string& screenshotPath);
