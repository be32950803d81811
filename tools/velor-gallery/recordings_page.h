#pragma once
// The recording list panel or the whole side window over a folder of
// recordings, to look at:
// `velor-gallery --panel list|side [--folder DIR] [--language NAME]`.
// Without a folder a small card of every kind is written by the fixture
// writer into a temporary folder and removed at the end.

struct TRecordingsPanelRequest {
    const char* which = "side";
    const char* folder = nullptr;
    const char* language = "english";
    // Saved once the windows have painted; the page then closes.
    const char* screenshotPath = nullptr;
};

// Runs the page until its window closes (Escape); returns the exit status.
int ShowRecordingsPanel(const TRecordingsPanelRequest& request);
