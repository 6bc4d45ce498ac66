// What Document::stop shows while much recorded sound is still on its way to the file: a
// progress form over the owner form, run modally until the active buffer is empty. The
// screens plug their form in through Document::set_drain_progress.
#pragma once

#include <functional>
#include <memory>

namespace audio {
class ActiveBuffer;
}
namespace skinner {
class Form;
}

class DrainProgress {
public:
    virtual ~DrainProgress() = default;
    // Returns once the buffer holds no block.
    virtual void run_modal() = 0;
};

using DrainProgressFactory =
    std::function<std::unique_ptr<DrainProgress>(skinner::Form& owner, audio::ActiveBuffer& buffer)>;
