// The platform side of an edit field. The plain one, used on this platform, ignores every
// call and leaves drawing and input to the skinned field; a platform that edits text in a
// window of its own would take them over and clear the draws-itself flag.
#pragma once

#include <memory>
#include <string>

#include "foundation/nocopy.h"
#include "skin/geometry.h"

namespace skinner {

class ControlEdit;

class ControlEditImpl : private liba::Nocopy {
public:
    explicit ControlEditImpl(bool draws_itself = true) : draws_itself_(draws_itself) {}
    virtual ~ControlEditImpl() = default;

    virtual void set_input_mode(const std::u16string& /*mode*/) {}
    virtual void set_text(const std::u16string& /*text*/) {}
    // True when the platform side took the focus itself.
    virtual bool take_focus() { return false; }
    virtual void set_selection(int /*start*/, int /*end*/) {}
    virtual void set_readonly(bool /*readonly*/) {}
    virtual void set_shown(bool /*shown*/) {}
    virtual void on_focus_gained() {}
    virtual void on_focus_lost() {}
    virtual void set_rect(Point /*position*/, Size /*size*/) {}

    // True when the skinned field paints, hit-tests and edits by itself.
    bool draws_itself() const { return draws_itself_; }

private:
    bool draws_itself_;
};

// The implementation for this platform.
std::unique_ptr<ControlEditImpl> make_edit_impl(ControlEdit& edit);

}  // namespace skinner
