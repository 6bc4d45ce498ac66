#include "foundation/application.h"

#include "foundation/active_scheduler.h"
#include "foundation/com_initializer.h"
#include "foundation/log.h"
#include "platform/cursors.h"
#include "platform/datetime.h"
#include "platform/handles.h"
#include "platform/mutex.h"
#include "platform/windows.h"

namespace os {
namespace {

Application* the_instance = nullptr;

constexpr std::size_t longest_class_name = 38;

void log_destruction_step(const char* step) {
    get_log() << static_cast<int>(GetTickCount()) << " Application::~Application " << step << "\n";
}

}  // namespace

// The EnumWindows callback of the instance search.
struct InstanceSearch {
    static BOOL visit(HWND window, LPARAM parameter) {
        auto& application = *reinterpret_cast<Application*>(parameter);
        WCHAR name[longest_class_name + 1];
        int const length = GetClassNameW(window, name, static_cast<int>(longest_class_name + 1));
        if (std::u16string_view(name, static_cast<std::size_t>(length)) != application.window_class_name_) {
            return TRUE;
        }
        if (GetParent(window)) return TRUE;
        application.previous_instance_found_ = true;
        std::u16string& text = application.command_line_;
        COPYDATASTRUCT data{0, static_cast<DWORD>(text.size() * sizeof(char16_t)), text.data()};
        SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
        return FALSE;
    }
};

Application::Application(HINSTANCE__* instance, const std::u16string& name)
    : com_(new ComInitializer), instance_(instance), window_class_name_(u"SkinnerClass_" + name) {
    if (window_class_name_.size() > longest_class_name) {
        fatal_error(u"Application::Application", u"Application name is too long. Sorry.");
    }
    if (the_instance) fatal_error(u"Application::Application", u"instance != 0");
    the_instance = this;
    scheduler_ = new CActiveScheduler;
}

Application::~Application() {
    log_destruction_step("1");
    delete scheduler_;
    scheduler_ = nullptr;
    log_destruction_step("2");
    finish_startup();
    log_destruction_step("3");
    delete com_;
    com_ = nullptr;
    log_destruction_step("4");
    the_instance = nullptr;
}

Application* Application::instance() { return the_instance; }

bool Application::find_previous_instance(const std::u16string& command_line) {
    HANDLE const mutex = CreateMutexW(nullptr, FALSE, window_class_name_.c_str());
    if (!mutex) return false;
    startup_mutex_ = mutex;
    WaitForSingleObject(mutex, INFINITE);
    command_line_ = command_line;
    previous_instance_found_ = false;
    EnumWindows(InstanceSearch::visit, reinterpret_cast<LPARAM>(this));
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return previous_instance_found_;
}

void Application::finish_startup() {
    SetCursor(nullptr);
    if (startup_mutex_) {
        ReleaseMutex(startup_mutex_);
        CloseHandle(startup_mutex_);
        startup_mutex_ = nullptr;
    }
}

}  // namespace os
