#pragma once

#include <string>

#include "foundation/nocopy.h"

class CActiveScheduler;
struct HINSTANCE__;

namespace os {

class ComInitializer;

// The one process-wide object: COM for the user-interface thread, the window class name
// of the forms ("SkinnerClass_" + application name), the active-object scheduler, and the
// single-instance start (a second start hands its command line to the running instance
// and ends).
class Application : private liba::Nocopy {
public:
    // Fatal for a name longer than 25 characters and for a second application object.
    Application(HINSTANCE__* instance, const std::u16string& name);
    virtual ~Application();

    static Application* instance();
    CActiveScheduler* get_scheduler() const { return scheduler_; }
    HINSTANCE__* get_instance_handle() const { return instance_; }
    const std::u16string& get_window_class_name() const { return window_class_name_; }

    // Waits until no other start of the program is between this call and
    // finish_startup, then hands the command line to a running instance's form window by
    // WM_COPYDATA. True when one was found (the caller then ends). Shows the wait cursor
    // until finish_startup.
    bool find_previous_instance(const std::u16string& command_line);
    // Restores the normal cursor and lets the next start go on.
    void finish_startup();

private:
    friend struct InstanceSearch;

    ComInitializer* com_;
    HINSTANCE__* instance_;
    void* startup_mutex_ = nullptr;
    std::u16string window_class_name_;
    CActiveScheduler* scheduler_ = nullptr;
    bool previous_instance_found_ = false;
    std::u16string command_line_;
};

}  // namespace os
