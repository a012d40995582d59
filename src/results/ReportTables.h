#pragma once

#include <QList>
#include <QString>

// The reports that need no window of their own: the daily reports, which the daily
// reports window offers one option each, and the summary reports, which the main menu
// runs at once.

// A daily report: its option's caption, its file, its statement up to the date
// condition and its titles for one day and for a range of days.
struct DailyReport {
    QString caption;
    QString file;
    QString select;
    QString dayTitle;
    QString rangeTitle;
};

// In the order the window lists them.
const QList<DailyReport>& dailyReports();

enum class SummaryReport {
    StudentsByCode,
    StudentsByName,
    StudentsByLevel,
    StudentsPerClass,
    UnpaidStudents,
    IncomePerCourse,
    IncomePerLevel,
    IncomePerSubject,
    UnpaidPerLevel,
};

// Shows the report in a viewer, its title dated by the clock at the call; a missing
// file or a failing statement is an error box.
void showSummaryReport(SummaryReport report);
