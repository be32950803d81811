#pragma once
// The map, the G-sensor graph and the GPS read-out on their own, showing
// the telemetry of a recording the fixture writer makes, to look at:
// `velor-gallery --panel map|gsensor|gps [--tiles URL]`. Playback is
// imitated: the position moves on one second every 300 ms; dragging in the
// graph jumps there.

// Runs the page until its window closes; with a screenshot path the screen
// is saved once the page has settled (still, at one second) and the page
// closes. `tileUrl` null keeps the preference's default. Returns the exit
// status.
int ShowRecordingPanel(const char* which, const char* tileUrl, const char* screenshotPath);
