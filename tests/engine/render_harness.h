#pragma once
// The front channel of a controller that is never started, on an input of
// one empty stream, with its render thread on a view of the test's: the test
// puts the pictures into the queue by hand.

#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "engine/ffmpeg.h"
#include "engine/gl_view.h"
#include "engine/media_player.h"
#include "engine/player_reader.h"
#include "engine/video_stream_info.h"

extern "C" {
#include <libavutil/mem.h>
}

class TRenderHarness {
public:
    TRenderHarness(TGLView& view, HWND videoWindow) : m_view(view) {
        stream.Init(reinterpret_cast<std::intptr_t>(videoWindow));
        stream.view = &view;
        stream.videoWindow = videoWindow;
        avformat_new_stream(m_input.get(), nullptr);
    }
    ~TRenderHarness() {
        Stop();
        reader.SetStopped(true);
        stream.stream = nullptr;
    }
    TRenderHarness(const TRenderHarness&) = delete;
    TRenderHarness& operator=(const TRenderHarness&) = delete;

    // The stream as an open recording has it.
    void OpenStream() {
        stream.stream = m_input->streams[0];
        stream.notOpen = false;
        stream.closing = false;
    }
    bool Start() {
        reader.SetStopped(false);
        return reader.StartRenderThread(kFrontSlot, m_view);
    }
    void Stop() { reader.EndRenderThread(kFrontSlot); }

    // The waiting picture, `width` x `height` BGRA, each pixel from
    // `colour(x, y)` (0xRRGGBB); not yet queued.
    template <typename Colour> void FillPicture(int width, int height, Colour colour) {
        TVideoPicture& picture = stream.pictureQueue.picture;
        picture.Free();
        picture.width = width;
        picture.height = height;
        picture.buffer.reset(
            static_cast<std::uint8_t*>(av_malloc(static_cast<std::size_t>(width * height * 4))));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t rgb = colour(x, y);
                std::uint8_t* p = picture.buffer.get() + (y * width + x) * 4;
                p[0] = static_cast<std::uint8_t>(rgb);
                p[1] = static_cast<std::uint8_t>(rgb >> 8);
                p[2] = static_cast<std::uint8_t>(rgb >> 16);
                p[3] = 255;
            }
        }
    }
    // Puts the filled picture in the queue and wakes the render thread.
    void QueuePicture() {
        {
            std::lock_guard guard(stream.pictureQueue.lock);
            stream.pictureQueue.count = 1;
        }
        stream.refreshEvent->Set();
    }
    std::int32_t Queued() {
        std::lock_guard guard(stream.pictureQueue.lock);
        return stream.pictureQueue.count;
    }

    TMediaPlayer player;
    TPlayerReader reader{player, TPlayerReader::TStreams::AsTheyAre};
    TVideoStreamInfo& stream = *player.Video(kFrontSlot);

private:
    TGLView& m_view;
    TInputHandle m_input{avformat_alloc_context()};
};
