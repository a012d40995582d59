#include "shell/WindowRegistry.h"

// The windows of the daily work, reports and timetable menus are added here as
// they are built, e.g. registerWindow(QStringLiteral("mnuPay"), [] { return new frmPay; });
// the timetable and enquiry windows exist once (singleInstance true).
void registerTaskWindows() {}
