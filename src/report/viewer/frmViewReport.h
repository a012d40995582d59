#pragma once

#include "frame/WindowFrame.h"

#include <QWidget>
#include <memory>

class QLabel;
class Report;
class ReportPageView;

// The report viewer: the report's pages one at a time at zoom 1, each painted
// when first shown, with paging, zoom and print keys. One window per report
// shown; "CLOSE" and Esc close it. Building it paints the first page, which
// may throw ReportError or DbError.
class frmViewReport : public QWidget, public WindowFrame {
    Q_OBJECT
public:
    frmViewReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent = nullptr);
    ~frmViewReport() override;

    ReportPageView* viewer() const { return CRViewer1; }
    const Report& report() const { return *m_report; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows a page; a failure shows an error box.
    void turnTo(int page);
    // Prints every page to the default printer; a failure shows an error box.
    void printAll();
    void closeViewer();

    std::unique_ptr<Report> m_report;
    QLabel* lblPage;
    ReportPageView* CRViewer1;
};
