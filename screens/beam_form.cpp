#include "screens/beam_form.h"

#include "foundation/paths.h"
#include "screens/message_forms.h"
#include "skin/properties.h"

namespace screens {

namespace {

constexpr double tick_seconds = 0.1;

}  // namespace

BeamForm::BeamForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& path,
                   std::unique_ptr<BeamConnector> connector)
    : skinner::Form(owner, properties, u"Beam", owner),
      file_name_(this, u"frmFileName"),
      devices_(this, u"lstDevices"),
      beam_(this, u"btnBeam"),
      progress_(this, u"pbProgress"),
      refresh_(this, u"btnRefresh"),
      path_(path),
      connector_(std::move(connector)) {
    file_name_.set_text(os::get_file_name(path));
    timer_ = set_timer(tick_seconds);
    start_search();
}

BeamForm::~BeamForm() {
    kill_timer(timer_);
    stop_worker();
}

void BeamForm::execute() {
    if (start()) set_priority(-1);
    do_modal();
    stop_worker();
}

void BeamForm::stop_worker() {
    request_stop();
    connector_->cancel();
    {
        std::lock_guard lock(mutex_);
        woken_.notify_all();
    }
    join();
}

bool BeamForm::can_close() {
    stop_worker();
    return true;
}

void BeamForm::wake_worker(State state) {
    std::lock_guard lock(mutex_);
    state_ = state;
    woken_.notify_all();
}

bool BeamForm::wait_for_user() {
    std::unique_lock lock(mutex_);
    woken_.wait(lock, [&] {
        State const state = state_;
        return is_stop_requested() || state == State::searching || state == State::connecting;
    });
    return !is_stop_requested();
}

void BeamForm::run() {
    for (;;) {
        if (is_stop_requested()) return;
        if (state_ == State::searching) {
            connector_->discover_devices();
            std::lock_guard lock(mutex_);
            // Only a search still wanted ends in the list; the user may not have asked
            // for another meanwhile, as the buttons are off while searching.
            if (state_ == State::searching) state_ = State::devices_found;
        }
        if (!wait_for_user()) return;
        if (state_ == State::connecting) break;
    }
    if (connector_->connect(chosen_)) {
        state_ = State::sending;
        connector_->send_file(path_);
    }
    state_ = State::finished;
}

void BeamForm::start_search() {
    devices_.set_rows({get_properties().translate(u"BEAM_SEARCHING")});
    refresh_.set_enabled(false);
    beam_.set_enabled(false);
    wake_worker(State::searching);
}

void BeamForm::on_click(skinner::Control* sender) {
    if (sender == &beam_) {
        // Only a device chosen from a finished search can be sent to.
        int const row = devices_.get_current_row();
        if (state_ != State::choosing || row < 0 || row >= devices_.get_row_count()) return;
        beam_.set_enabled(false);
        refresh_.set_enabled(false);
        wake_worker(State::connecting);
    } else if (sender == &refresh_) {
        start_search();
    } else if (sender != nullptr && sender->get_name() == u"btnOk") {
        close();
    }
}

void BeamForm::on_selection_changed(skinner::Control* sender) {
    if (sender != &devices_) return;
    int const row = devices_.get_current_row();
    chosen_ = row;
    beam_.set_enabled(state_ == State::choosing && row >= 0 && row < devices_.get_row_count());
}

void BeamForm::show_devices() {
    progress_.set_progress(1.0);
    refresh_.set_enabled(true);
    std::vector<std::u16string> names;
    for (BeamDevice const& device : connector_->get_devices()) names.push_back(device.name);
    if (names.empty()) {
        devices_.set_rows({get_properties().translate(u"BEAM_NO_DEVICES")});
        return;
    }
    devices_.set_rows(names);
    state_ = State::choosing;
    devices_.set_current_row(-1);
    devices_.set_current_row(0);
}

void BeamForm::on_timer_broadcast(UINT_PTR id) {
    if (id != timer_) {
        skinner::Form::on_timer_broadcast(id);
        return;
    }
    // A tick that comes while the error form below runs is not a step of its own.
    if (in_step_) return;
    in_step_ = true;
    switch (state_.load()) {
    case State::searching: progress_.set_progress(connector_->get_progress()); break;
    case State::devices_found: show_devices(); break;
    case State::choosing:
    case State::connecting: break;
    case State::sending: progress_.set_progress(connector_->get_progress()); break;
    case State::finished:
        if (finished_) break;
        finished_ = true;
        sent_ = connector_->succeeded();
        if (!sent_) show_error(this, &get_properties(), u"on_failed_to_beam_caption", u"on_failed_to_beam");
        close();
        break;
    }
    in_step_ = false;
}

}  // namespace screens
