#include <gtest/gtest.h>

#include "engine/glfw_setup.h"
#include "platform/message_box.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(GlfwSetUp, WithoutADisplayTheFailureIsShownAndTheProgramGoesOn) {
    TScopedEnv noDisplay("DISPLAY", "");
    StartRecordingMessageBoxes(IDOK);
    EXPECT_FALSE(SetUpGlfw());
    const std::vector<TMessageBoxCall> boxes = RecordedMessageBoxes();
    StopRecordingMessageBoxes();
    EXPECT_FALSE(GlfwReady());
    // GLFW's own reason first, through the error callback, then ours.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].caption, "OpenGL error!");
    EXPECT_FALSE(boxes[0].text.empty());
    EXPECT_EQ(boxes[1].text, "glfw failed to init");
    EXPECT_EQ(boxes[1].caption, "Error");
    ShutDownGlfw();
}

} // namespace
