#pragma once

#include <QWidget>
#include <memory>

class KeyToolbar;
class QLabel;
class Report;
class ReportPageView;

// The report viewer: the report's pages one at a time at zoom 1, each painted
// when first shown, with paging, zoom and print keys. One window per report
// shown; "CLOSE" and Esc close it. Building it paints the first page, which
// may throw ReportError or DbError.
class frmViewReport : public QWidget {
    Q_OBJECT
public:
    frmViewReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent = nullptr);
    ~frmViewReport() override;

    KeyToolbar* toolbar() const { return Toolbar1; }
    ReportPageView* viewer() const { return CRViewer1; }
    const Report& report() const { return *m_report; }
    void pressButton(const QString& key) { toolbarButtonClick(key); }

private:
    void toolbarButtonClick(const QString& key);
    // Shows a page (0: the current one, laid out anew); a failure shows an error box.
    void turnTo(int page);

    std::unique_ptr<Report> m_report;
    KeyToolbar* Toolbar1;
    QLabel* lblPage;
    ReportPageView* CRViewer1;
};
