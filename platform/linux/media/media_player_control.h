// The media-player control behind IMediaPlayer: a decoder and a thread that feeds the
// wave-out device.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/media_player.h"
#include "platform/windows.h"

namespace platform::detail {

class MediaDecoder;

// Messages the control posts to its host window.
constexpr UINT WM_MEDIA_PLAYER_LOADED = WM_USER + 0x180;
constexpr UINT WM_MEDIA_PLAYER_ENDED = WM_USER + 0x181;

class MediaPlayerControl final : public IMediaPlayer {
public:
    explicit MediaPlayerControl(HWND host);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT put_FileName(LPCWSTR path) override;
    HRESULT put_StartMode(LONG mode) override;
    HRESULT put_ShowAudioControls(BOOL show) override;
    HRESULT put_ShowControls(BOOL show) override;
    HRESULT put_ShowPositionControls(BOOL show) override;
    HRESULT put_ShowTracker(BOOL show) override;
    HRESULT get_Bandwidth(LONG* bits_per_second) override;
    HRESULT get_CurrentPosition(double* seconds) override;
    HRESULT put_CurrentPosition(double seconds) override;
    HRESULT get_Duration(double* seconds) override;
    HRESULT get_BufferingProgress(LONG* percent) override;
    HRESULT get_PlayState(LONG* state) override;
    HRESULT get_ReadyState(LONG* state) override;
    HRESULT Pause() override;
    HRESULT Play() override;
    HRESULT Stop() override;

    // From the host window's procedure, on its thread.
    void on_host_message(UINT message);
    void detach_host();

private:
    ~MediaPlayerControl();

    void play_file();
    void post_to_host(UINT message);
    void stop_player();

    std::atomic<ULONG> references_{1};
    std::mutex lock_;  // guards host_, decoder_ and the thread object
    HWND host_;
    std::shared_ptr<MediaDecoder> decoder_;
    std::thread player_;

    std::atomic<LONG> ready_state_{MEDIA_PLAYER_UNINITIALIZED};
    std::atomic<LONG> play_state_{MEDIA_PLAYER_STOPPED};
    std::atomic<bool> stop_requested_{false};
    std::atomic<bool> pause_requested_{false};
    // A seek waiting for the player thread, in seconds; negative when none.
    std::atomic<double> seek_to_{-1.0};
    // Where the sound heard now lies: the start of the current run plus what has played.
    std::atomic<double> position_{0.0};
    double duration_ = 0.0;
    std::int64_t bit_rate_ = 0;
    BOOL show_flags_[4] = {TRUE, TRUE, TRUE, TRUE};
};

}  // namespace platform::detail
