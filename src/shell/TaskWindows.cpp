#include "shell/WindowRegistry.h"

#include "billing/frmBiLLCancel.h"
#include "billing/frmCourseTable.h"
#include "billing/frmExp.h"
#include "billing/frmPay.h"
#include "billing/frmRegister.h"
#include "results/frmGrade.h"
#include "results/frmPoint.h"
#include "results/frmQuery.h"
#include "results/frmReport.h"
#include "results/frmTimeStamp.h"

// Each task window exists once: opening it again brings the open one forward.
void registerTaskWindows() {
    registerWindow(
        QStringLiteral("mnuRegister"), [] { return new frmRegister; }, true);
    registerWindow(
        QStringLiteral("mnuPay"), [] { return new frmPay; }, true);
    registerWindow(
        QStringLiteral("mnuExp"), [] { return new frmExp; }, true);
    registerWindow(
        QStringLiteral("mnuBiLLCancel"), [] { return new frmBiLLCancel; }, true);
    registerWindow(
        QStringLiteral("mnuCourseTable"), [] { return new frmCourseTable; }, true);
    registerWindow(
        QStringLiteral("mnuTimeStamp"), [] { return new frmTimeStamp; }, true);
    registerWindow(
        QStringLiteral("mnuPoint"), [] { return new frmPoint; }, true);
    registerWindow(
        QStringLiteral("mnuGrade"), [] { return new frmGrade; }, true);
    registerWindow(
        QStringLiteral("mnuQuery"), [] { return new frmQuery; }, true);
    registerWindow(
        QStringLiteral("mnuDailyRep"), [] { return new frmReport; }, true);
}
