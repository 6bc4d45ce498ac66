// The window class that hosts controls; the only control it knows is the media player.
#include <mutex>
#include <string_view>

#include "platform/errors.h"
#include "platform/linux/media/media_player_control.h"
#include "platform/media_player.h"
#include "platform/windows.h"

namespace {

using platform::detail::MediaPlayerControl;

MediaPlayerControl* hosted_control(HWND window) {
    return reinterpret_cast<MediaPlayerControl*>(GetWindowLongW(window, GWL_USERDATA));
}

LRESULT host_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_CREATE: {
        auto const* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        if (create->lpszName == nullptr || std::u16string_view(create->lpszName) != CLSID_MEDIA_PLAYER_TEXT) return -1;
        SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(new MediaPlayerControl(window)));
        return 0;
    }
    case WM_DESTROY:
        if (MediaPlayerControl* const control = hosted_control(window)) {
            SetWindowLongW(window, GWL_USERDATA, 0);
            control->detach_host();
            control->Release();
        }
        return 0;
    case platform::detail::WM_MEDIA_PLAYER_LOADED:
    case platform::detail::WM_MEDIA_PLAYER_ENDED:
        if (MediaPlayerControl* const control = hosted_control(window)) control->on_host_message(message);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

BOOL AtlAxWinInit() {
    static std::once_flag registered;
    std::call_once(registered, [] {
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = host_procedure;
        window_class.lpszClassName = ATL_AX_WIN_CLASS;
        RegisterClassW(&window_class);
    });
    return TRUE;
}

HRESULT AtlAxQueryControl(HWND host, LPCWSTR interface_id, IMediaPlayer** control) {
    if (control == nullptr) return E_INVALIDARG;
    *control = nullptr;
    if (!IsWindow(host)) return E_FAIL;
    MediaPlayerControl* const hosted = hosted_control(host);
    if (hosted == nullptr) return E_FAIL;
    if (interface_id == nullptr || std::u16string_view(interface_id) != IID_MEDIA_PLAYER_TEXT) return E_NOINTERFACE;
    hosted->AddRef();
    *control = hosted;
    return S_OK;
}
