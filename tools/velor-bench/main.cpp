// velor-bench FILE [--seconds N] [--headless]: plays a recording through the
// controller (with views when a display is there), then pauses, seeks and
// steps, and prints one JSON object with what it measured.

#include <sys/resource.h>

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

extern "C" {
#include <libavutil/time.h>
}

#include "engine/audio_stream_info.h"
#include "engine/gl_view.h"
#include "engine/glfw_setup.h"
#include "engine/media_player.h"
#include "engine/video_stream_info.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/thread.h"
#include "tools/support/notify_log.h"
#include "tools/support/tool_json.h"
#include "tools/support/video_windows.h"
#include "tools/velor-bench/bench_args.h"
#include "tools/velor-bench/lower_bound.h"
#include "tools/velor-bench/picture_stats.h"
#include "tools/velor-bench/thread_cpu.h"

namespace {

// Each video window of a windowed run.
constexpr int kVideoWidth = 960;
constexpr int kVideoHeight = 540;
constexpr DWORD kCommandTimeoutMs = 10000;
// The drift is looked at this often while playing.
constexpr DWORD kSampleIntervalMs = 20;
// Seek targets as fractions of the duration, far apart so that each seek
// really moves.
constexpr double kSeekFractions[] = {0.5, 0.15, 0.8, 0.35, 0.65};
constexpr int kSteps = 5;
constexpr DWORD kWarmUpMs = 1000;

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double MillisSince(std::int64_t startMicros, std::int64_t endMicros) {
    if (endMicros == 0)
        return -1.0;
    return static_cast<double>(endMicros - startMicros) / 1000.0;
}

// SDL's dummy driver when the machine has no sound device, so that the sound
// stream still runs its callbacks and its clock (a clock of its own that
// drifts; scripts/sound-server.sh gives a machine without sound a real one).
void EnsureSoundDriver() {
    if (std::getenv("SDL_AUDIODRIVER"))
        return;
    bool opened = false;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec wanted{};
        wanted.freq = 16000;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = 1;
        wanted.samples = 1024;
        SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        opened = device != 0;
        if (opened)
            SDL_CloseAudioDevice(device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (!opened)
        setenv("SDL_AUDIODRIVER", "dummy", 1);
}

struct TDrift {
    double sum = 0.0;
    // Of the signed values given to AddSigned: how far ahead (positive) or
    // behind on average.
    double signedSum = 0.0;
    bool hasSign = false;
    double max = 0.0;
    long samples = 0;
    void Add(double ms) {
        sum += ms;
        max = std::max(max, ms);
        ++samples;
    }
    void AddSigned(double ms) {
        hasSign = true;
        signedSum += ms;
        Add(std::fabs(ms));
    }
    double Mean() const { return samples ? sum / static_cast<double>(samples) : 0.0; }
    double SignedMean() const { return samples ? signedSum / static_cast<double>(samples) : 0.0; }
};

class TBench {
public:
    TBench(const TBenchArgs& args, bool windowed)
        : m_args(args), m_windowed(windowed), m_stats(windowed) {}

    int Run();

private:
    // Runs the main thread until `code` arrived after `mark`; its time or 0.
    std::int64_t WaitFor(WPARAM code, size_t mark, DWORD timeoutMs = kCommandTimeoutMs);
    bool Play();
    // Stops what played and opens the recording again, paused a little way
    // in, for the seeks and steps (the run may have played to the end).
    bool ReopenPaused();
    void StartPlayer();
    void ShutdownPlayer();
    void SampleDrift();
    void MeasureSeeks();
    void MeasureSteps();
    void WriteJson(const TLowerBound& bound, const TLowerBound& pacedBound);
    TJson Channels() const;

    const TBenchArgs& m_args;
    const bool m_windowed;
    TPictureStats m_stats;
    TNotifyLog m_log;
    std::unique_ptr<TVideoWindows> m_windows;
    std::unique_ptr<TMediaPlayer> m_owned;
    // The controller in use; a fresh one for the seeks and steps.
    TMediaPlayer* m_player = nullptr;

    double m_openToNotifyMs = -1.0;
    double m_openToFirstPictureMs = -1.0;
    double m_playCpuSeconds = 0.0;
    TThreadCpu m_threadCpu;
    double m_mediaSeconds = 0.0;
    double m_wallSeconds = 0.0;
    TDrift m_drift;
    TDrift m_seeks;
    TDrift m_steps;
    TDrift m_backSteps;
    double m_peakRssMb = 0.0;
    int m_displayWidth = 0;
    int m_displayHeight = 0;
    bool m_endOfRecording = false;
    // The SDL driver the sound played through; empty when none played.
    std::string m_audioDriver;
};

std::int64_t TBench::WaitFor(WPARAM code, size_t mark, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (std::int64_t at = m_log.TimeOf(code, mark))
            return at;
        if (GetTickCount() - start > timeoutMs)
            return 0;
        if (m_windowed)
            PumpMessages();
        Sleep(1);
    }
}

void TBench::SampleDrift() {
    TAudioStreamInfo* audio = m_player->Audio();
    if (!audio || audio->streamIndex < 0 || audio->PlayedClock() <= 0.0)
        return;
    // The sound is playing, so SDL has its driver open.
    if (m_audioDriver.empty()) {
        if (const char* driver = SDL_GetCurrentAudioDriver())
            m_audioDriver = driver;
    }
    m_drift.AddSigned((audio->PlayedClock() - m_player->MasterClock()) * 1000.0);
}

bool TBench::Play() {
    const size_t mark = m_log.Mark();
    const std::int64_t openAt = av_gettime();
    StartRecordingMessageBoxes(IDOK);
    m_player->OpenRecording(m_args.file, -1);
    const std::int64_t openedAt = WaitFor(PlayerNotify::Opened, mark, 60000);
    StopRecordingMessageBoxes();
    if (!openedAt) {
        std::fprintf(stderr, "velor-bench: %s: cannot be opened\n", m_args.file.c_str());
        return false;
    }
    m_openToNotifyMs = MillisSince(openAt, openedAt);
    const double seconds = m_args.seconds > 0.0 ? std::min(m_args.seconds, m_player->duration())
                                                : m_player->duration();
    const double cpuStart = ProcessCpuSeconds();
    const TThreadCpu threadsAtStart = SampleThreadCpu();
    const std::int64_t wallStart = av_gettime();
    m_stats.SetCounting(true);
    // Generous: a run that cannot keep up still ends.
    const DWORD limitMs = static_cast<DWORD>(seconds * 2000.0) + 10000;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        if (m_windowed)
            PumpMessages();
        if (m_log.TimeOf(PlayerNotify::EndOfRecording, mark)) {
            m_endOfRecording = true;
            break;
        }
        if (m_stats.FirstPictureMicros() && m_player->MasterClock() >= seconds)
            break;
        if (m_stats.FirstPictureMicros())
            SampleDrift();
        Sleep(kSampleIntervalMs);
    }
    m_stats.SetCounting(false);
    m_playCpuSeconds = ProcessCpuSeconds() - cpuStart;
    m_threadCpu = ThreadCpuSince(threadsAtStart, SampleThreadCpu());
    m_wallSeconds = static_cast<double>(av_gettime() - wallStart) / 1e6;
    m_mediaSeconds = std::min(m_player->MasterClock(), m_player->duration());
    if (m_stats.FirstPictureMicros())
        m_openToFirstPictureMs = MillisSince(openAt, m_stats.FirstPictureMicros());
    if (TVideoStreamInfo* front = m_player->Video(kFrontSlot)) {
        m_displayWidth = front->displayWidth;
        m_displayHeight = front->displayHeight;
    }
    return true;
}

void TBench::StartPlayer() {
    m_owned = std::make_unique<TMediaPlayer>();
    m_player = m_owned.get();
    m_player->SetNotifySink(&m_log);
    if (m_windowed)
        m_player->Start(m_windows->Main(), m_windows->Front(), m_windows->Rear());
    else
        m_player->Start(nullptr, nullptr, nullptr);
    for (int slot : {kFrontSlot, kRearSlot})
        m_player->View(slot)->pictureObserver = &m_stats;
}

void TBench::ShutdownPlayer() {
    m_player->Shutdown();
    for (int slot : {kFrontSlot, kRearSlot})
        m_player->View(slot)->pictureObserver = nullptr;
}

bool TBench::ReopenPaused() {
    // A fresh controller rather than a stop: at the end of a recording the
    // player thread can sit where a stop command never reaches it.
    ShutdownPlayer();
    StartPlayer();
    size_t mark = m_log.Mark();
    m_player->OpenRecording(m_args.file, -1);
    if (!WaitFor(PlayerNotify::Opened, mark, 60000))
        return false;
    // Let the pictures start before pausing, as a viewer would.
    const DWORD playing = GetTickCount();
    while (GetTickCount() - playing < kWarmUpMs) {
        if (m_windowed)
            PumpMessages();
        Sleep(5);
    }
    mark = m_log.Mark();
    m_player->Pause();
    return WaitFor(PlayerNotify::Paused, mark) != 0;
}

void TBench::MeasureSeeks() {
    for (double fraction : kSeekFractions) {
        const size_t mark = m_log.Mark();
        const std::int64_t at = av_gettime();
        // The paused seek: the target, then the wake-up that takes it.
        m_player->SeekWhilePaused(fraction * m_player->duration());
        const std::int64_t done = WaitFor(PlayerNotify::StepDone, mark);
        WaitFor(PlayerNotify::PausedAfterStep, mark);
        if (done)
            m_seeks.Add(MillisSince(at, done));
    }
}

void TBench::MeasureSteps() {
    for (int direction : {1, -1}) {
        for (int step = 0; step < kSteps; ++step) {
            const size_t mark = m_log.Mark();
            const std::int64_t at = av_gettime();
            m_player->StepFrame(direction);
            const std::int64_t done = WaitFor(PlayerNotify::StepDone, mark);
            WaitFor(PlayerNotify::PausedAfterStep, mark);
            if (done)
                (direction > 0 ? m_steps : m_backSteps).Add(MillisSince(at, done));
        }
    }
}

TJson TBench::Channels() const {
    TJson channels = TJson::array();
    for (int slot = 0; slot < 2; ++slot) {
        const TChannelFigures figures = m_stats.Figures(slot);
        channels.push_back({{"shown", figures.shown},
                            {"late", figures.late},
                            {"meanErrorMs", figures.meanErrorMs},
                            {"maxErrorMs", figures.maxErrorMs},
                            {"meanStartLateMs", figures.meanStartLateMs},
                            {"meanDrawMs", figures.meanDrawMs},
                            {"maxDrawMs", figures.maxDrawMs}});
    }
    return channels;
}

TJson MeanMax(const TDrift& values) {
    TJson figures = {{"mean", values.Mean()}, {"max", values.max}};
    // Only figures that have a sign carry it (the drift: positive when the
    // sound runs ahead of the pictures).
    if (values.hasSign)
        figures["meanAhead"] = values.SignedMean();
    figures["samples"] = values.samples;
    return figures;
}

double Ratio(double value, double bound) {
    return bound > 0.0 ? value / bound : 0.0;
}

void TBench::WriteJson(const TLowerBound& bound, const TLowerBound& pacedBound) {
    const double media = std::max(m_mediaSeconds, 1e-9);
    const double cpuPerMediaSecond = m_playCpuSeconds / media;
    const double lowerBound = bound.ok ? bound.decodeCpuSeconds / bound.mediaSeconds : 0.0;
    const double pacedLowerBound =
        pacedBound.ok ? pacedBound.decodeCpuSeconds / pacedBound.mediaSeconds : 0.0;
    TJson json;
    json["mode"] = m_windowed ? "windowed" : "headless";
    json["file"] = m_args.file;
    json["audioDriver"] = m_audioDriver.empty() ? TJson(nullptr) : TJson(m_audioDriver);
    json["mediaSeconds"] = m_mediaSeconds;
    json["wallSeconds"] = m_wallSeconds;
    json["endOfRecording"] = m_endOfRecording;
    json["channels"] = Channels();
    json["audioDriftMs"] = MeanMax(m_drift);
    json["cpuPerMediaSecond"] = cpuPerMediaSecond;
    TJson& threads = json["threadCpuPerMediaSecond"] = TJson::object();
    for (const auto& [name, seconds] : m_threadCpu)
        threads[name] = seconds / media;
    json["lowerBoundCpuPerMediaSecond"] = lowerBound;
    json["cpuRatio"] = Ratio(cpuPerMediaSecond, lowerBound);
    json["pacedLowerBoundCpuPerMediaSecond"] = pacedLowerBound;
    json["cpuRatioToPaced"] = Ratio(cpuPerMediaSecond, pacedLowerBound);
    if (m_windowed && bound.ok && bound.conversions > 0) {
        // One conversion per picture the views showed, at the display size.
        const double perConversion =
            bound.conversionCpuSeconds / static_cast<double>(bound.conversions);
        const double shown =
            static_cast<double>(m_stats.Figures(0).shown + m_stats.Figures(1).shown);
        const double withConversion = lowerBound + perConversion * shown / media;
        json["conversionMs"] = perConversion * 1000.0;
        json["conversionSize"] =
            std::to_string(m_displayWidth) + "x" + std::to_string(m_displayHeight);
        json["lowerBoundWithConversionCpuPerMediaSecond"] = withConversion;
        json["cpuRatioWithConversion"] = cpuPerMediaSecond / withConversion;
    }
    json["openToNotifyMs"] = m_openToNotifyMs;
    json["openToFirstPictureMs"] = m_openToFirstPictureMs;
    json["seekMs"] = m_seeks.Mean();
    json["seeksMs"] = MeanMax(m_seeks);
    json["stepMs"] = m_steps.Mean();
    json["stepsForwardMs"] = MeanMax(m_steps);
    json["stepsBackwardMs"] = MeanMax(m_backSteps);
    json["peakRssMb"] = m_peakRssMb;
    PrintJson(json);
}

int TBench::Run() {
    if (m_windowed) {
        m_windows = std::make_unique<TVideoWindows>("velor-bench", kVideoWidth, kVideoHeight);
        if (!m_windows->Created()) {
            std::fprintf(stderr, "velor-bench: cannot make the video windows\n");
            return 1;
        }
        for (int i = 0; i < 20; ++i) {
            PumpMessages();
            Sleep(5);
        }
    }
    StartPlayer();
    if (!Play()) {
        ShutdownPlayer();
        return 1;
    }
    TLowerBoundRequest request;
    request.file = m_args.file;
    request.videoStreams[0] = m_player->frontStreamIndex();
    request.videoStreams[1] = m_player->rearStreamIndex();
    request.audioStream = m_player->audioStreamIndex();
    request.seconds = m_mediaSeconds;
    if (m_windowed) {
        request.conversionWidth = m_displayWidth;
        request.conversionHeight = m_displayHeight;
    }
    if (ReopenPaused()) {
        MeasureSeeks();
        MeasureSteps();
    }
    m_peakRssMb = PeakRssMb();
    ShutdownPlayer();
    if (std::getenv("VELOR_BENCH_TRACE"))
        m_log.Print(stderr);
    const TLowerBound bound = MeasureLowerBound(request);
    TLowerBoundRequest pacedRequest = request;
    pacedRequest.paced = true;
    pacedRequest.conversionWidth = pacedRequest.conversionHeight = 0;
    WriteJson(bound, MeasureLowerBound(pacedRequest));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<TBenchArgs> args =
        ParseBenchArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!args)
        return 1;
    EnsureSoundDriver();
    const bool windowed = !args->headless && std::getenv("DISPLAY");
    if (!windowed) {
        TBench bench(*args, false);
        return bench.Run();
    }
    TApplication application(argc, argv);
    StartRecordingMessageBoxes(IDOK);
    SetUpGlfw();
    StopRecordingMessageBoxes();
    TBench bench(*args, true);
    return bench.Run();
}
