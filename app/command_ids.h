#pragma once
// Command ids of the main window's buttons and sliders. The full-screen
// control bar reuses them, so a command means the same wherever it comes
// from.

namespace MainCommand {

// Caption buttons.
inline constexpr int Close = 95;
inline constexpr int Minimise = 96;
inline constexpr int Maximise = 97;

// Toolbar. The "shown" buttons of a switch pair carry no command: they only
// show which state is in force.
inline constexpr int OneChannelShown = 102;
inline constexpr int OneChannel = 103;
inline constexpr int TwoChannelsShown = 104;
inline constexpr int TwoChannels = 105;
inline constexpr int ViewerSettings = 106;
inline constexpr int CameraSettings = 107;
inline constexpr int Print = 108;
inline constexpr int Capture = 109;
inline constexpr int Magnifier = 110;
inline constexpr int Split = 111;
inline constexpr int FullScreen = 112;
inline constexpr int MirrorSidewaysOff = 113;
inline constexpr int MirrorSidewaysOn = 114;
inline constexpr int MirrorUpsideDownOff = 115;
inline constexpr int MirrorUpsideDownOn = 116;

// Playback.
inline constexpr int PreviousRecording = 117;
inline constexpr int PreviousFrame = 118;
inline constexpr int Play = 119;
inline constexpr int Pause = 120;
inline constexpr int StopPlayback = 121;
inline constexpr int NextFrame = 122;
inline constexpr int NextRecording = 123;
inline constexpr int Mute = 124;
inline constexpr int Unmute = 125;
inline constexpr int ResetPicture = 126;

} // namespace MainCommand

// Sliders.
namespace MainSlider {
inline constexpr int Position = 147;
inline constexpr int Volume = 148;
inline constexpr int Brightness = 149;
inline constexpr int Contrast = 150;
inline constexpr int Chroma = 151;
} // namespace MainSlider
