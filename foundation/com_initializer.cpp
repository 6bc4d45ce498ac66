#include "foundation/com_initializer.h"

#include "platform/com.h"

namespace os {

ComInitializer::ComInitializer() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }

ComInitializer::~ComInitializer() { CoUninitialize(); }

}  // namespace os
