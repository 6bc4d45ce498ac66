#include "skin/edit_impl.h"

namespace skinner {

// No platform of this build edits in a window of its own: the skinned field does it all.
std::unique_ptr<ControlEditImpl> make_edit_impl(ControlEdit& /*edit*/) { return std::make_unique<ControlEditImpl>(); }

}  // namespace skinner
