#include "screens/complete_form.h"

#include "audio/active_buffer.h"

namespace screens {

namespace {

constexpr double tick_seconds = 0.1;

class DrainProgressForm : public DrainProgress {
public:
    DrainProgressForm(skinner::Form& owner, skinner::Properties* properties, audio::ActiveBuffer& buffer)
        : form_(&owner, properties, buffer) {}
    void run_modal() override { form_.do_modal(); }

private:
    CompleteForm form_;
};

}  // namespace

CompleteForm::CompleteForm(skinner::Form* owner, skinner::Properties* properties, audio::ActiveBuffer& buffer)
    : skinner::Form(owner, properties, u"SaveActiveBuffer", owner),
      progress_(this, u"pbProgress"),
      buffer_(buffer),
      initial_blocks_(buffer.get_block_count()) {
    timer_ = set_timer(tick_seconds);
}

CompleteForm::~CompleteForm() {
    if (timer_ != 0) kill_timer(timer_);
}

void CompleteForm::on_timer_broadcast(UINT_PTR id) {
    if (id != timer_) {
        skinner::Form::on_timer_broadcast(id);
        return;
    }
    std::uint32_t const remaining = buffer_.get_block_count();
    double const done = remaining > initial_blocks_ ? 0.0 : static_cast<double>(initial_blocks_ - remaining);
    progress_.set_progress_in_range(0.0, static_cast<double>(initial_blocks_), done);
    if (remaining == 0) close();
}

DrainProgressFactory make_drain_progress(skinner::Properties* properties) {
    return [properties](skinner::Form& owner, audio::ActiveBuffer& buffer) -> std::unique_ptr<DrainProgress> {
        return std::make_unique<DrainProgressForm>(owner, properties, buffer);
    };
}

}  // namespace screens
