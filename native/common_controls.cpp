// InitCommonControlsEx: registers the date controls' classes.
#include "native/date_time_picker.h"
#include "native/month_calendar.h"
#include "platform/errors.h"

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
    if (!init || init->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (init->dwICC & ICC_DATE_CLASSES) {
        native::register_month_calendar_class();
        native::register_date_time_picker_class();
    }
    return TRUE;
}
