// A file name from the card: its kind, its recording time and its place in
// the list.

#include <cstdlib>
#include <string>
#include <string_view>

#include "recordings/recording_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The input is two names: before and after the first NUL.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string first(input.substr(0, split));
    const std::string second(split == std::string_view::npos ? std::string_view()
                                                             : input.substr(split + 1));
    for (const std::string& name : {first, second}) {
        const RecordingKind kind = KindOfName(name);
        if (!KindText(kind) || KindIconId(kind) < 0)
            std::abort();
        (void)IsRecordingFileName(name);
        const std::string time = RecordingTimeText(name);
        if (time.size() > FileNamePart(name).size())
            std::abort();
    }
    // A strict weak order: never both ways, never a name before itself.
    const bool before = CompareRecordings(first, second);
    const bool after = CompareRecordings(second, first);
    if ((before && after) || CompareRecordings(first, first))
        std::abort();
    return 0;
}
