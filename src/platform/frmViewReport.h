#pragma once

#include "library/WindowFrame.h"

#include <QWidget>
#include <memory>

class QPrintPreviewWidget;
class QPrinter;
class Report;

// The report viewer: the report's pages at zoom 1, with zoom and print keys.
// One window per report shown; "CLOSE" and Esc close it.
class frmViewReport : public QWidget, public WindowFrame {
    Q_OBJECT
public:
    frmViewReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent = nullptr);
    ~frmViewReport() override;

    QPrintPreviewWidget* viewer() const { return CRViewer1; }
    const Report& report() const { return *m_report; }

protected:
    void showEvent(QShowEvent* event) override;
    void toolbarButtonClick(const QString& key) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Report> m_report;
    std::unique_ptr<QPrinter> m_printer;
    QPrintPreviewWidget* CRViewer1;
};
