#include "recordings/recording_name.h"

#include <cstddef>

namespace {

constexpr std::size_t kKindCodeLength = 3;
constexpr std::size_t kSortKeyStart = 10;
constexpr std::string_view kRecordingExtension = ".avi";

struct TKindCode {
    std::string_view code;
    RecordingKind kind;
};
// Tested in this order; the first match decides.
constexpr TKindCode kKindCodes[] = {
    {"inf", RecordingKind::Normal},  {"evt", RecordingKind::Event},   {"man", RecordingKind::Event},
    {"moe", RecordingKind::Parking}, {"tls", RecordingKind::Parking},
};

// One part of the time text: where its characters stand in the name and
// what goes before it.
struct TTimeField {
    std::size_t start;
    std::size_t length;
    std::string_view separator;
};
constexpr TTimeField kTimeFields[] = {
    {11, 4, ""}, {15, 2, "."}, {17, 2, "."}, {20, 2, " "}, {22, 2, ":"}, {24, 2, ":"},
};

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool EndsWithExtension(std::string_view name) {
    return name.size() >= kRecordingExtension.size() &&
           EqualIgnoringCase(name.substr(name.size() - kRecordingExtension.size()),
                             kRecordingExtension);
}

std::string_view SortKey(std::string_view path) {
    std::string_view name = FileNamePart(path);
    return name.size() > kSortKeyStart ? name.substr(kSortKeyStart) : std::string_view();
}

} // namespace

std::string_view FileNamePart(std::string_view path) {
    std::string_view::size_type slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

RecordingKind KindOfName(std::string_view path) {
    std::string_view name = FileNamePart(path);
    if (name.size() < kKindCodeLength)
        return RecordingKind::Unknown;
    std::string_view code = name.substr(0, kKindCodeLength);
    for (const TKindCode& entry : kKindCodes) {
        if (EqualIgnoringCase(code, entry.code))
            return entry.kind;
    }
    return RecordingKind::Unknown;
}

const char* KindText(RecordingKind kind) {
    switch (kind) {
    case RecordingKind::Normal:
        return "Normal";
    case RecordingKind::Event:
        return "Event";
    case RecordingKind::Parking:
        return "Parking";
    case RecordingKind::Unknown:
        break;
    }
    return "Unknown";
}

int KindIconId(RecordingKind kind) {
    switch (kind) {
    case RecordingKind::Event:
        return kEventIconId;
    case RecordingKind::Parking:
        return kParkingIconId;
    case RecordingKind::Normal:
    case RecordingKind::Unknown:
        break;
    }
    return kNormalIconId;
}

bool IsRecordingFileName(std::string_view name) {
    return name.size() > kRecordingExtension.size() && EndsWithExtension(name);
}

std::string RecordingTimeText(std::string_view path) {
    std::string_view name = FileNamePart(path);
    // The extension is never part of the time, however short the name.
    if (EndsWithExtension(name))
        name.remove_suffix(kRecordingExtension.size());
    std::string text;
    for (const TTimeField& field : kTimeFields) {
        if (name.size() < field.start + field.length)
            break;
        text += field.separator;
        text += name.substr(field.start, field.length);
    }
    return text;
}

bool CompareRecordings(std::string_view a, std::string_view b) {
    // string_view compares through char_traits<char>, which orders bytes as
    // unsigned characters, as strcmp does.
    return SortKey(a) < SortKey(b);
}
