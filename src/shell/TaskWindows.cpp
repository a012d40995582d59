#include "shell/WindowRegistry.h"

#include "billing/frmCourseTable.h"
#include "billing/frmPay.h"
#include "billing/frmRegister.h"
#include "results/frmQuery.h"

// Each task window exists once: opening it again brings the open one forward.
void registerTaskWindows() {
    registerWindow(
        QStringLiteral("mnuRegister"), [] { return new frmRegister; }, true);
    registerWindow(
        QStringLiteral("mnuPay"), [] { return new frmPay; }, true);
    registerWindow(
        QStringLiteral("mnuCourseTable"), [] { return new frmCourseTable; }, true);
    registerWindow(
        QStringLiteral("mnuQuery"), [] { return new frmQuery; }, true);
}
