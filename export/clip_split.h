#pragma once
// Splitting a two-camera recording into a front file and a rear file, each
// with the sound. Packets are copied into two new containers with their time
// stamps rescaled; nothing is decoded.

#include <string>

enum class TSplitResult {
    Done,
    FolderNotMade,    // the target folder is missing and cannot be created
    SourceUnreadable, // the source cannot be opened or its streams read
    OneChannel,       // fewer than two video streams: nothing to split
    OutputNotMade,    // an output container, stream or file cannot be made
    WriteFailed,      // a header, packet or trailer cannot be written
};

struct TSplitNames {
    std::string front;
    std::string rear;
};

// "<folder>/F_<name><extension>" and the same with "R_". A folder given with
// a trailing '/' gives a doubled one, which the file system takes.
TSplitNames SplitOutputNames(const std::string& source, const std::string& targetFolder);

// Creates the target folder (an existing one is fine) and writes both files
// whole, replacing files of the same names. The first video stream goes to
// the front file, the last one to the rear file, the last sound stream to
// both. On failure the files this call created are removed again; the
// source is only ever read.
TSplitResult Split(const std::string& source, const std::string& targetFolder);

// What went wrong, in plain English for tools and diagnostics.
const char* SplitResultText(TSplitResult result);
