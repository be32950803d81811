#pragma once
// GLFW for the video views, set up once at program start (main thread).

// Installs the error callback, initialises GLFW and sets the window hints of
// the views; starts pumping GLFW's connection from the main thread when the
// user interface runs. Without a display GLFW fails to start: the failure is
// shown ("glfw failed to init") and false returned; the program goes on
// without views.
bool SetUpGlfw();
bool GlfwReady();
// Stops the pump and ends GLFW, after every view was destroyed.
void ShutDownGlfw();
