// A message loop for tests, until the product's own modal loop exists.
#pragma once

#include <functional>

namespace testing_support {

// Dispatches the calling thread's messages until done() holds; false when it still does
// not hold after limit_ms (a guard against a hanging test, not a timing check).
bool pump_messages_until(const std::function<bool()>& done, unsigned limit_ms = 10000);

}  // namespace testing_support
