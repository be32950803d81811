#pragma once
// What a recording's file name says: its kind (the first three letters), its
// recording time (fixed positions) and its sort key (position 10 onward).
// Names are bytes; nothing here cares whether they are valid UTF-8.

#include <string>
#include <string_view>

enum class RecordingKind { Normal, Event, Parking, Unknown };

// Skin image ids of the row icons.
inline constexpr int kNormalIconId = 212;
inline constexpr int kEventIconId = 213;
inline constexpr int kParkingIconId = 214;

// The name after the last '/', or the whole path when it has none.
std::string_view FileNamePart(std::string_view path);

// The kind code of the file-name part, without regard to case.
RecordingKind KindOfName(std::string_view path);
// "Normal", "Event", "Parking" or "Unknown".
const char* KindText(RecordingKind kind);
int KindIconId(RecordingKind kind);

// Whether the file-name part is longer than 4 characters and ends in
// ".avi" without regard to case.
bool IsRecordingFileName(std::string_view name);

// "YYYY.MM.DD hh:mm:ss", its characters copied from the name, not parsed. A
// name too short for the whole field (the ".avi" ending not counted) gives
// the leading parts it holds completely: "YYYY.MM.DD", "YYYY.MM.DD hh" and
// so on, or an empty text.
std::string RecordingTimeText(std::string_view path);

// True when a sorts before b: the file-name parts from position 10 on,
// compared byte by byte as unsigned characters. A name of 10 characters or
// fewer has an empty key.
bool CompareRecordings(std::string_view a, std::string_view b);
