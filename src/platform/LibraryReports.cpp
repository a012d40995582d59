// The report routines of the shared library, on top of the report engine.

#include "library/Database.h"
#include "library/Library.h"
#include "library/Seams.h"
#include "platform/Report.h"
#include "platform/frmViewReport.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

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

std::unique_ptr<Report> OpenReport(const QString& fileName, bool) {
    const QString path =
        QDir(Seams::programFolder()).filePath(QStringLiteral("Report/") + fileName);
    try {
        return Report::open(path);
    } catch (const ReportError& error) {
        MsgError(error.message());
        return nullptr;
    }
}

bool ShowReport(Report& report, const QString& title, const QString& sql, int modal,
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
    if (modal != 0)
        viewer->setWindowModality(Qt::ApplicationModal);
    if (QMdiArea* area = mainMdiArea()) {
        QMdiSubWindow* frame = area->addSubWindow(viewer);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->resize(area->size() * 9 / 10);
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

bool ShowTitledReport(const QString& fileName, const QString& title, const QString& sql,
                      const QVariantList& params) {
    std::unique_ptr<Report> report = OpenReport(fileName, false);
    if (!report)
        return false;
    try {
        report->setFormula(QStringLiteral("lblComp"), Quote(gShopName));
        report->setFormula(QStringLiteral("lblTitle"), Quote(title));
    } catch (const ReportError& error) {
        MsgError(error.message());
        return false;
    }
    return ShowReport(*report, title, sql, 0, params);
}

} // namespace Library
