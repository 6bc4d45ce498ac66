// Sends one file to another device over infrared: searches for devices on a worker thread,
// lists them, sends to the one chosen while a bar runs, and reports a failure. The worker
// waits for the user between the search and the sending; closing the form at any time
// cancels what the worker does and returns once it has ended.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "app/beam_connector.h"
#include "foundation/thread.h"
#include "skin/button.h"
#include "skin/form.h"
#include "skin/frame.h"
#include "skin/progress.h"
#include "skin/string_list.h"

namespace screens {

// Skin form "Beam".
class BeamForm : public skinner::Form, private liba::Thread {
public:
    enum class State { searching, devices_found, choosing, connecting, sending, finished };

    BeamForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& path,
             std::unique_ptr<BeamConnector> connector = std::make_unique<BeamConnector>());
    ~BeamForm() override;

    // Runs the worker while the form runs modally; returns when the form has closed.
    void execute();

    void on_click(skinner::Control* sender) override;
    void on_selection_changed(skinner::Control* sender) override;
    void on_timer_broadcast(UINT_PTR id) override;
    bool can_close() override;

    State get_state() const { return state_; }
    // True once a file went across.
    bool was_sent() const { return sent_; }

private:
    void run() override;
    // Blocks the worker until the user asks for another search or for sending; false when
    // it is to stop.
    bool wait_for_user();
    // Sets the state the worker waits for and wakes it.
    void wake_worker(State state);
    void start_search();
    void show_devices();
    void stop_worker();

    skinner::ControlFrame file_name_;
    skinner::ControlListString devices_;
    skinner::ControlButton beam_;
    skinner::ControlProgress progress_;
    skinner::ControlButton refresh_;
    std::u16string path_;
    UINT_PTR timer_ = 0;
    bool in_step_ = false;
    bool sent_ = false;
    bool finished_ = false;
    std::unique_ptr<BeamConnector> connector_;
    // Written by both threads; the worker's waits are guarded by the mutex.
    std::atomic<State> state_{State::searching};
    // The device chosen; read by the worker only after it was woken to send.
    std::atomic<int> chosen_{0};
    std::mutex mutex_;
    std::condition_variable woken_;
};

}  // namespace screens
