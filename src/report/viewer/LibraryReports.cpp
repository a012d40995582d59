#include "report/viewer/LibraryReports.h"

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"
#include "report/Report.h"
#include "report/viewer/frmViewReport.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <malloc.h>

namespace {

// The main window's MDI area, when the program has one.
QMdiArea* mainMdiArea() {
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* widget : windows)
        if (auto* main = qobject_cast<QMainWindow*>(widget))
            if (auto* area = qobject_cast<QMdiArea*>(main->centralWidget()))
                return area;
    return nullptr;
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

namespace Library {

QString reportPath(const QString& fileName) {
    return QDir(Seams::programFolder()).filePath(QStringLiteral("Report/") + fileName);
}

std::unique_ptr<Report> OpenReport(const QString& fileName) {
    try {
        return Report::open(reportPath(fileName));
    } catch (const ReportError& error) {
        MsgError(error.message());
        return nullptr;
    }
}

bool ShowReport(Report& report, const QString& title, const QString& sql,
                const QVariantList& params) {
    std::unique_ptr<frmViewReport> created;
    {
        WaitCursor wait;
        try {
            if (!sql.trimmed().isEmpty())
                report.setDataSource(sql, params);
            // Laid out and the first page painted before any window shows.
            created = std::make_unique<frmViewReport>(report.clone(), title);
        } catch (const DbError& error) {
            MsgError(QStringLiteral("อ่านข้อมูลของรายงาน %1 ไม่ได้\n").arg(report.fileName()) +
                     error.message());
            return false;
        } catch (const ReportError& error) {
            MsgError(error.message());
            return false;
        }
    }
    frmViewReport* viewer = created.release();
    // The memory of a closed viewer goes back to the system: what the database holds for
    // the reads, and the free blocks of the heap, which the allocator keeps unless asked.
    QObject::connect(viewer, &QObject::destroyed, [] {
        Connection::shared().releaseMemory();
        malloc_trim(0);
    });
    if (QMdiArea* area = mainMdiArea()) {
        QMdiSubWindow* frame = area->addSubWindow(viewer);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        // The whole work area, whatever windows are open: placed beside another
        // window the viewer would reach past the area's edge.
        frame->setGeometry(area->viewport()->rect());
        frame->show();
        area->setActiveSubWindow(frame);
    } else {
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->resize(900, 700);
        viewer->show();
    }
    viewer->setFocus();
    return true;
}

bool showReportFile(const QString& fileName, const QString& title,
                    const QList<std::pair<QString, QString>>& formulas, const QString& sql,
                    const QVariantList& params) {
    std::unique_ptr<Report> report = OpenReport(fileName);
    if (!report)
        return false;
    try {
        for (const auto& [name, text] : formulas)
            report->setFormula(name, text);
    } catch (const ReportError& error) {
        MsgError(error.message());
        return false;
    }
    return ShowReport(*report, title, sql, params);
}

bool ShowTitledReport(const QString& fileName, const QString& title, const QString& sql,
                      const QVariantList& params) {
    return showReportFile(
        fileName, title,
        {{QStringLiteral("lblComp"), Quote(gShopName)}, {QStringLiteral("lblTitle"), Quote(title)}},
        sql, params);
}

} // namespace Library
