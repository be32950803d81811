#pragma once
// Writes a fixture recording into a temporary folder for one test.

#include <gtest/gtest.h>

#include <string>

#include "tests/fixtures/recording_writer.h"
#include "tests/support/temp_folder.h"

class TFixtureRecording {
public:
    explicit TFixtureRecording(const velor::fixtures::RecordingOptions& options,
                               const std::string& name = "NOR_20260101_120000_F.avi") {
        m_path = m_folder.File(name);
        std::string error;
        auto written = velor::fixtures::WriteRecording(m_path, options, &error);
        EXPECT_TRUE(written.has_value()) << error;
        if (written)
            m_written = std::move(*written);
    }

    const std::string& Path() const { return m_path; }
    const velor::fixtures::WrittenRecording& Written() const { return m_written; }
    const TTempFolder& Folder() const { return m_folder; }

private:
    TTempFolder m_folder;
    std::string m_path;
    velor::fixtures::WrittenRecording m_written;
};
