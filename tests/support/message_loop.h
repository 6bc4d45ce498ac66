// A message loop for tests, until the product's own modal loop exists.
#pragma once

#include <functional>

#include "platform/messages.h"

namespace testing_support {

// Dispatches the calling thread's messages until done() holds; false when it still does
// not hold after limit_ms (a guard against a hanging test, not a timing check).
bool pump_messages_until(const std::function<bool()>& done, unsigned limit_ms = 10000);

// Takes the calling thread's next message without dispatching it, waiting up to ten
// seconds (a guard, not a timing check); false when none came.
bool next_message(MSG& message);

}  // namespace testing_support
