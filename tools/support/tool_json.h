#pragma once
// The tools print one JSON object each, its keys in the order they were set.

#include <cstdio>

#include <nlohmann/json.hpp>

using TJson = nlohmann::ordered_json;

// Non-finite numbers come out as null; bytes that are no UTF-8 (a file name
// may hold them) as U+FFFD, so the output always parses.
inline void PrintJson(const TJson& value) {
    const std::string text = value.dump(-1, ' ', false, TJson::error_handler_t::replace);
    std::printf("%s\n", text.c_str());
}
