// The platform side of one skinned button, chosen by the button's action: what a click does
// beyond raising on_click, and whether the skinned looks are painted and take the focus.
#pragma once

#include <memory>
#include <string>

#include "skin/geometry.h"

namespace skinner {

class ControlButtonBase;

// A click: the stylus flags and the point (the button's centre for a key or a soft press).
struct ButtonEvent {
    unsigned flags = 0;
    Point point;
};

// The base does nothing on any notification.
class ControlButtonImpl {
public:
    explicit ControlButtonImpl(ControlButtonBase* button, bool painted = true, bool focusable = true)
        : button_(button), painted_(painted), focusable_(focusable) {}
    virtual ~ControlButtonImpl() = default;
    ControlButtonImpl(const ControlButtonImpl&) = delete;
    ControlButtonImpl& operator=(const ControlButtonImpl&) = delete;

    virtual void set_text(const std::u16string& /*text*/) {}
    virtual void on_shown_changed(bool /*shown*/) {}
    virtual void on_active_changed(bool /*active*/) {}
    virtual void on_reserved() {}
    virtual void on_click(const ButtonEvent& /*event*/) {}
    virtual void on_stylus_down(Point, unsigned /*flags*/) {}
    virtual void on_stylus_move(Point, unsigned /*flags*/) {}
    virtual void on_stylus_up(Point, unsigned /*flags*/) {}

    ControlButtonBase* get_button() const { return button_; }
    // The skinned looks are drawn and hit-tested only when set.
    bool is_painted() const { return painted_; }
    // Anded into the button's can_focus.
    bool is_focusable() const { return focusable_; }

protected:
    ControlButtonBase* button_;
    bool painted_;
    bool focusable_;
};

// The implementation for the button's action; may be null, which the button takes as one
// that is neither painted nor focusable.
std::unique_ptr<ControlButtonImpl> create_button_impl(ControlButtonBase* button);

}  // namespace skinner
