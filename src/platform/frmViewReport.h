#pragma once

#include <QWidget>
#include <memory>

class KeyToolbar;
class QPrintPreviewWidget;
class QPrinter;
class Report;

// The report viewer: the report's pages at zoom 1, with zoom and print keys.
// One window per report shown; "CLOSE" and Esc close it.
class frmViewReport : public QWidget {
    Q_OBJECT
public:
    frmViewReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent = nullptr);
    ~frmViewReport() override;

    KeyToolbar* toolbar() const { return Toolbar1; }
    QPrintPreviewWidget* viewer() const { return CRViewer1; }
    const Report& report() const { return *m_report; }
    void pressButton(const QString& key) { toolbarButtonClick(key); }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void toolbarButtonClick(const QString& key);

    std::unique_ptr<Report> m_report;
    std::unique_ptr<QPrinter> m_printer;
    KeyToolbar* Toolbar1;
    QPrintPreviewWidget* CRViewer1;
};
