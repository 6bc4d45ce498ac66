// Switches the display off after a set time without taps or key presses while the form is
// in front, and on again at the next tap or key.
#pragma once

#include <memory>

#include "foundation/nocopy.h"
#include "foundation/stopwatch.h"
#include "platform/windows.h"
#include "skin/control_subclass.h"

namespace skinner {

class Form;

// Does nothing: the display is always on (the Smartphone's).
class PowerManagerImpl : private liba::Nocopy {
public:
    explicit PowerManagerImpl(Form* form, UINT_PTR timer_id = 0) : form_(form), timer_id_(timer_id) {}
    virtual ~PowerManagerImpl() = default;
    virtual void set_display_on(bool) {}
    virtual bool is_display_on() { return true; }

    void set_turn_off_interval(double seconds) { interval_ = seconds; }
    void restart_idle_time() { idle_time_.restart(); }
    UINT_PTR get_timer_id() const { return timer_id_; }

protected:
    Form* form_;
    UINT_PTR timer_id_;
    double interval_ = 0.0;  // 0.0 = never
    os::Stopwatch idle_time_;
};

// Through the display driver's power-management escapes, checked once a second.
class PowerManagerImplPocket : public PowerManagerImpl, private ControlSubclass {
public:
    explicit PowerManagerImplPocket(Form* form);
    ~PowerManagerImplPocket() override;
    void set_display_on(bool on) override;
    bool is_display_on() override;

private:
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& pass_on) override;
    void check_idle();
};

class PowerManager : private liba::Nocopy {
public:
    explicit PowerManager(Form* form);
    ~PowerManager();

    bool is_display_on() { return impl_->is_display_on(); }
    void set_turn_off_interval(double seconds) { impl_->set_turn_off_interval(seconds); }
    void restart_idle_time() { impl_->restart_idle_time(); }
    PowerManagerImpl* get_impl() const { return impl_.get(); }

private:
    std::unique_ptr<PowerManagerImpl> impl_;
};

}  // namespace skinner
