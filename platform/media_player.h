// The media-player control and the window class that hosts controls. A child window of
// the class "AtlAxWin80" whose title is a control's class id hosts a new instance of that
// control; the host hands out the control's interface. The media player opens a sound file,
// decodes it itself and plays it on the wave-out device. While it loads and plays, it posts
// its own messages (numbers from WM_USER up) to its host window, whose thread must serve
// them: the control becomes ready when its host window has handled the loaded message.
#pragma once

#include "platform/types.h"

// The class of the windows that host a control.
inline constexpr char16_t ATL_AX_WIN_CLASS[] = u"AtlAxWin80";
// The class id of the media-player control and the id of its interface, as text.
inline constexpr char16_t CLSID_MEDIA_PLAYER_TEXT[] = u"{22D6F312-B0F6-11D0-94AB-0080C74C7E95}";
inline constexpr char16_t IID_MEDIA_PLAYER_TEXT[] = u"{136B66EC-F30D-46A8-88DD-F2D055163E49}";

// Play states.
constexpr LONG MEDIA_PLAYER_STOPPED = 0;
constexpr LONG MEDIA_PLAYER_PAUSED = 1;
constexpr LONG MEDIA_PLAYER_PLAYING = 2;
// Ready states.
constexpr LONG MEDIA_PLAYER_UNINITIALIZED = 0;
constexpr LONG MEDIA_PLAYER_LOADING = 1;
constexpr LONG MEDIA_PLAYER_COMPLETE = 4;

// A control's interface is counted: every pointer handed out must be released once.
struct IMediaPlayer {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

    // Loads the file (closing the one before) and starts it when it is loaded. Fails, with
    // nothing loaded, when the file cannot be opened or holds no sound that it decodes.
    virtual HRESULT put_FileName(LPCWSTR path) = 0;
    // 0: a file starts playing as soon as it is loaded (the only mode).
    virtual HRESULT put_StartMode(LONG mode) = 0;
    // The control draws nothing here; these only keep the flags.
    virtual HRESULT put_ShowAudioControls(BOOL show) = 0;
    virtual HRESULT put_ShowControls(BOOL show) = 0;
    virtual HRESULT put_ShowPositionControls(BOOL show) = 0;
    virtual HRESULT put_ShowTracker(BOOL show) = 0;
    // Bits per second of the stored sound.
    virtual HRESULT get_Bandwidth(LONG* bits_per_second) = 0;
    // Seconds from the start of the file.
    virtual HRESULT get_CurrentPosition(double* seconds) = 0;
    virtual HRESULT put_CurrentPosition(double seconds) = 0;
    virtual HRESULT get_Duration(double* seconds) = 0;
    // How far loading has come: 0 to 100.
    virtual HRESULT get_BufferingProgress(LONG* percent) = 0;
    virtual HRESULT get_PlayState(LONG* state) = 0;
    virtual HRESULT get_ReadyState(LONG* state) = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Play() = 0;
    virtual HRESULT Stop() = 0;

protected:
    ~IMediaPlayer() = default;
};

// Registers the host window class of this process; TRUE when it is registered.
BOOL AtlAxWinInit();
// The interface of the control that the host window holds, counted once more; E_FAIL
// (and null) when the window hosts none, E_NOINTERFACE for another interface id.
HRESULT AtlAxQueryControl(HWND host, LPCWSTR interface_id, IMediaPlayer** control);
