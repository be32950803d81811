#pragma once
// Runs velor-probe of this build as a user runs it, in a home, a resource
// folder and a card of the test's own.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/language/language_folder.h"
#include "tests/settings/setup_image.h"
#include "tests/support/temp_folder.h"

struct TToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;

    // What it printed, parsed; discarded when that is no JSON.
    nlohmann::json Json() const { return nlohmann::json::parse(out, nullptr, false); }
    bool Said(const std::string& text) const { return err.find(text) != std::string::npos; }
};

// Waits for the probe to end.
TToolRun RunProbe(const std::vector<std::string>& arguments);

class TProbeHome {
protected:
    // The preferences name no language, so the default one's file is read.
    TProbeHome() { m_languages.Write("japanese", kTestModelList); }

    std::string Touch(const std::string& relative) const;

    TTempFolder m_home;
    TScopedEnv m_config{"XDG_CONFIG_HOME", m_home.Path()};
    TLanguageFolder m_languages;
    TTempFolder m_card;
};
