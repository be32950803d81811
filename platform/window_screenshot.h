#pragma once
// What the screen shows, as a PNG file (the gallery's self-check).

// Saves the whole primary screen; false when there is no screen or the file
// cannot be written.
bool SaveScreenImage(const char* path);
