// The hook on the item window that answers the start screen's item messages.
#pragma once

#include "skin/control_subclass.h"

namespace todayplugin {

class MainForm;

class TodayPluginControl : public skinner::ControlSubclass {
public:
    // Hooks the form's window.
    explicit TodayPluginControl(MainForm* form);
    ~TodayPluginControl() override;

    // The window's end hands the form to the deferred deletion; the first height query is
    // answered with the form's height, later ones leave the height alone.
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override;

private:
    MainForm* form_;
    bool height_reported_ = false;
};

}  // namespace todayplugin
