// The device's storage cards. Each card is a folder of the device's root; directory
// searches and GetFileAttributesW report it with FILE_ATTRIBUTE_DIRECTORY and
// FILE_ATTRIBUTE_TEMPORARY.
#pragma once

#include "platform/find.h"
#include "platform/types.h"

// Returns a search handle (ended with FindClose) and fills find_data with the first card
// present, in the order of the names ignoring case; INVALID_HANDLE_VALUE with
// ERROR_NO_MORE_FILES when the device has no card.
HANDLE FindFirstFlashCard(LPWIN32_FIND_DATAW find_data);
// The next card; FALSE with ERROR_NO_MORE_FILES after the last one.
BOOL FindNextFlashCard(HANDLE find, LPWIN32_FIND_DATAW find_data);
