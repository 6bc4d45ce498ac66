#include "audio/wma_window.h"

#include <cstdint>
#include <mutex>

#include "foundation/log.h"
#include "platform/datetime.h"
#include "platform/dialogs.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/windows.h"

namespace {

const char16_t* const window_class_name = u"WMAWindow";

unsigned handle_number(HWND window) { return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(window)); }

void register_window_class(WNDPROC procedure) {
    static std::once_flag registered;
    std::call_once(registered, [procedure] {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = procedure;
        window_class.lpszClassName = window_class_name;
        RegisterClassW(&window_class);
    });
}

template <class Value>
Value read_or_zero(IMediaPlayer* player, HRESULT (IMediaPlayer::*read)(Value*)) {
    Value value{};
    if (FAILED((player->*read)(&value))) return Value{};
    return value;
}

}  // namespace

WMAWindow::~WMAWindow() {
    destroy();
    release_player();
}

bool WMAWindow::create(int x, int y, int width, int height) {
    AtlAxWinInit();
    register_window_class(window_procedure);
    // The procedure learns the object from the creation parameter and WM_CREATE runs OnCreate.
    CreateWindowExW(WS_EX_TOPMOST, window_class_name, u"Windows Media", 0, x, y, width, height, nullptr, nullptr,
                    nullptr, this);
    return m_hWnd != nullptr;
}

void WMAWindow::destroy() {
    if (m_hWnd == nullptr) return;
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    m_wndView = nullptr;
}

void WMAWindow::release_player() {
    if (m_spWMPPlayer == nullptr) return;
    m_spWMPPlayer->Release();
    m_spWMPPlayer = nullptr;
}

LRESULT WMAWindow::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_CREATE) {
        auto* const self = static_cast<WMAWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
        SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = window;
        return self->OnCreate();
    }
    if (message == WM_DESTROY) {
        if (auto* const self = reinterpret_cast<WMAWindow*>(GetWindowLongW(window, GWL_USERDATA))) {
            self->m_hWnd = nullptr;
            self->m_wndView = nullptr;
        }
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT WMAWindow::OnCreate() {
    os::get_log() << "WMAWindow::OnCreate Begin\n";
    m_wndView = CreateWindowExW(0, ATL_AX_WIN_CLASS, CLSID_MEDIA_PLAYER_TEXT, WS_CHILD, 0, 0, 0, 0, m_hWnd, nullptr,
                                nullptr, nullptr);
    if (m_wndView == nullptr) {
        os::get_log() << "!m_wndView.m_hWnd\n";
        return 0;
    }
    if (FAILED(AtlAxQueryControl(m_wndView, IID_MEDIA_PLAYER_TEXT, &m_spWMPPlayer))) {
        os::get_log() << "FAILED(m_wndView.QueryControl(&m_spWMPPlayer))\n";
        return 0;
    }
    if (FAILED(m_spWMPPlayer->put_ShowControls(FALSE))) os::get_log() << "FAILED(m_spWMPPlayer->put_ShowControls\n";
    if (FAILED(m_spWMPPlayer->put_ShowPositionControls(FALSE)))
        os::get_log() << "FAILED(m_spWMPPlayer->put_ShowPositionControls\n";
    if (FAILED(m_spWMPPlayer->put_ShowAudioControls(FALSE)))
        os::get_log() << "FAILED(m_spWMPPlayer->put_ShowAudioControls\n";
    if (FAILED(m_spWMPPlayer->put_ShowTracker(FALSE))) os::get_log() << "FAILED(m_spWMPPlayer->put_ShowTracker\n";
    os::get_log() << "WMAWindow::OnCreate End\n";
    return 0;
}

bool WMAWindow::Play(const std::u16string& path) {
    IMediaPlayer* const player = m_spWMPPlayer;
    if (player == nullptr) return false;
    os::get_log() << "WMAWindow::Play Begin\n";
    if (FAILED(player->Stop()) || FAILED(player->put_CurrentPosition(0.0)) || FAILED(player->put_StartMode(0)) ||
        FAILED(player->put_FileName(path.c_str())))
        return false;
    os::get_log() << "Begin waiting for player GetForegroundWindow()=" << handle_number(GetForegroundWindow())
                  << " m_hWnd=" << handle_number(m_hWnd) << " m_wndView.m_hWnd=" << handle_number(m_wndView) << "\n";
    // The control's messages are served while the rest of the user interface waits, for a
    // limited time: a control that never gets ready must not hang the program.
    DWORD const started = GetTickCount();
    while (read_or_zero(player, &IMediaPlayer::get_ReadyState) != MEDIA_PLAYER_COMPLETE &&
           read_or_zero(player, &IMediaPlayer::get_BufferingProgress) <= 65534) {
        if (GetTickCount() - started >= ready_time_limit_ms) {
            os::get_log() << "Player not ready in time\n";
            player->Stop();
            return false;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_USER, 0xFDE8, PM_REMOVE)) {
            os::get_log() << "Hwnd=" << handle_number(message.hwnd) << " Message=" << message.message
                          << " wParam=" << static_cast<unsigned>(message.wParam)
                          << " lParam=" << static_cast<int>(message.lParam) << "\n";
            DispatchMessageW(&message);
        }
        Sleep(100);
    }
    os::get_log() << "End waiting for player\n";
    return true;
}
