#include "recordings/map_page.h"

#include <charconv>
#include <fstream>
#include <iterator>

#include "platform/files.h"

namespace {

constexpr int kDegreeDecimals = 6;

void ReplaceAll(std::string* text, const std::string& from, const std::string& to) {
    for (std::size_t at = text->find(from); at != std::string::npos;
         at = text->find(from, at + to.size()))
        text->replace(at, from.size(), to);
}

} // namespace

std::string FixedDegrees(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value,
                                      std::chars_format::fixed, kDegreeDecimals);
    return std::string(buffer, result.ptr);
}

std::string MoveToScript(double latitude, double longitude) {
    return "moveTo(" + FixedDegrees(latitude) + ", " + FixedDegrees(longitude) + ");";
}

std::string SetTrackScript(const std::vector<TTrackPoint>& track) {
    std::string script = "setTrack([";
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (i > 0)
            script += ',';
        script +=
            '[' + FixedDegrees(track[i].latitude) + ',' + FixedDegrees(track[i].longitude) + ']';
    }
    return script + "]);";
}

std::vector<TTrackPoint> TrackOfTelemetry(const TTelemetry* table) {
    std::vector<TTrackPoint> track;
    if (!table)
        return track;
    for (const TGpsRecord& fix : table->gps) {
        if (fix.valid != 1)
            continue;
        track.push_back({SignedDecimalDegrees(fix.latitude, fix.latitudeHemisphere),
                         SignedDecimalDegrees(fix.longitude, fix.longitudeHemisphere)});
    }
    return track;
}

std::string TileUrlLiteral(const std::string& tileUrl) {
    std::string url = tileUrl;
    for (const char* name : {"{z}", "{x}", "{y}"})
        ReplaceAll(&url, name, std::string("$") + name);
    std::string literal = "\"";
    for (char c : url) {
        switch (c) {
        case '"':
        case '\\':
            literal += '\\';
            literal += c;
            break;
        case '<': // never closes the script element
            literal += "\\x3c";
            break;
        case '\n':
        case '\r':
            break;
        default:
            literal += c;
        }
    }
    return literal + '"';
}

std::string FormatMapPage(const std::string& pageTemplate, double latitude, double longitude,
                          const std::string& tileUrl) {
    std::string page = pageTemplate;
    ReplaceAll(&page, "@LATITUDE@", FixedDegrees(latitude));
    ReplaceAll(&page, "@LONGITUDE@", FixedDegrees(longitude));
    ReplaceAll(&page, "@TILE_URL@", TileUrlLiteral(tileUrl));
    return page;
}

std::string ReadMapPageTemplate() {
    std::ifstream file(ResourcePath(kMapPageTemplate), std::ios::binary);
    if (!file)
        return {};
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
