// The progress a stop shows while the recorded sound still held in the active buffer goes
// to the file: a bar that fills as the buffer empties; the form closes itself at empty.
#pragma once

#include <cstdint>
#include <memory>

#include "app/drain_progress.h"
#include "skin/form.h"
#include "skin/progress.h"

namespace audio {
class ActiveBuffer;
}

namespace screens {

// Skin form "SaveActiveBuffer".
class CompleteForm : public skinner::Form {
public:
    CompleteForm(skinner::Form* owner, skinner::Properties* properties, audio::ActiveBuffer& buffer);
    ~CompleteForm() override;

    void on_timer_broadcast(UINT_PTR id) override;

private:
    skinner::ControlProgress progress_;
    audio::ActiveBuffer& buffer_;
    std::uint32_t initial_blocks_;
    UINT_PTR timer_ = 0;
};

// What Document::set_drain_progress takes: the form above over the stopping form, built
// from the given dialog skin (which must outlive the document's use of it).
DrainProgressFactory make_drain_progress(skinner::Properties* properties);

}  // namespace screens
