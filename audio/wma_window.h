#pragma once

#include <string>

#include "platform/media_player.h"
#include "platform/types.h"

// The hidden window that hosts the media-player control for a WMA reader. Creating it
// hosts the control in a child window and hides the control's own user interface; Play
// loads a file into the control, which starts it, and waits until the control is ready.
class WMAWindow {
public:
    WMAWindow() = default;
    WMAWindow(const WMAWindow&) = delete;
    WMAWindow& operator=(const WMAWindow&) = delete;
    // Destroys the window when it still exists and releases the control.
    ~WMAWindow();

    // A hidden top-level window; false when it could not be made.
    bool create(int x, int y, int width, int height);
    void destroy();
    bool exists() const { return m_hWnd != nullptr; }

    // Loads the file and waits, serving the control's messages, until the control is ready;
    // false without a control, when a call fails or when it is not ready in time.
    bool Play(const std::u16string& path);

    // The control, or null when it could not be hosted.
    IMediaPlayer* player() const { return m_spWMPPlayer; }

    // How long Play waits for the control at most, in milliseconds.
    static constexpr DWORD ready_time_limit_ms = 5000;

    HWND m_hWnd = nullptr;
    HWND m_wndView = nullptr;
    IMediaPlayer* m_spWMPPlayer = nullptr;

private:
    static LRESULT window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnCreate();
    void release_player();
};
