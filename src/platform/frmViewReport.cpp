#include "platform/frmViewReport.h"

#include "library/KeyToolbar.h"
#include "library/Library.h"
#include "platform/Report.h"

#include <QGraphicsView>
#include <QMdiSubWindow>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

frmViewReport::frmViewReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent)
    : QWidget(parent), WindowFrame(this), m_report(std::move(report)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    setWindowTitle(title);
    m_printer->setOutputFormat(QPrinter::PdfFormat);
    m_report->setupPrinter(*m_printer);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    KeyToolbar* Toolbar1 = toolbar();
    Toolbar1->addButton(QStringLiteral("ZoomIn"), QStringLiteral("ขยาย"),
                        QStringLiteral("ขยายหน้ารายงาน"));
    Toolbar1->addButton(QStringLiteral("ZoomOut"), QStringLiteral("ย่อ"),
                        QStringLiteral("ย่อหน้ารายงาน"));
    Toolbar1->addButton(QStringLiteral("Zoom1"), QStringLiteral("ขนาดจริง"),
                        QStringLiteral("แสดงขนาดจริง"));
    Toolbar1->addButton(QStringLiteral("FitWidth"), QStringLiteral("เต็มความกว้าง"),
                        QStringLiteral("แสดงเต็มความกว้างของหน้าต่าง"));
    Toolbar1->addButton(QStringLiteral("Print"), QStringLiteral("พิมพ์"),
                        QStringLiteral("พิมพ์รายงานทุกหน้า"));
    Toolbar1->addButton(QStringLiteral("CLOSE"), QStringLiteral("ปิด"),
                        QStringLiteral("[ESC] - ปิดหน้าต่าง"));
    declareKeys({{Qt::Key_Escape, QStringLiteral("CLOSE")}});
    layout->addWidget(Toolbar1);

    CRViewer1 = new QPrintPreviewWidget(m_printer.get(), this);
    CRViewer1->setViewMode(QPrintPreviewWidget::SinglePageView);
    connect(CRViewer1, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { m_report->print(*printer); });
    layout->addWidget(CRViewer1, 1);
    setFocusProxy(CRViewer1);

    CRViewer1->updatePreview();
    CRViewer1->setZoomFactor(1.0);
}

void frmViewReport::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The view keeps the page centred while the frame takes its size; once it
    // has, start at the top of page 1.
    QTimer::singleShot(0, this, [this] {
        if (auto* view = CRViewer1->findChild<QGraphicsView*>())
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum());
    });
}

frmViewReport::~frmViewReport() {
    // The preview paints into the printer until it goes; let it go first.
    delete CRViewer1;
}

bool frmViewReport::eventFilter(QObject* watched, QEvent* event) {
    return frameEvent(watched, event) || QWidget::eventFilter(watched, event);
}

void frmViewReport::toolbarButtonClick(const QString& key) {
    if (key == QLatin1String("ZoomIn")) {
        CRViewer1->zoomIn();
    } else if (key == QLatin1String("ZoomOut")) {
        CRViewer1->zoomOut();
    } else if (key == QLatin1String("Zoom1")) {
        CRViewer1->setZoomFactor(1.0);
    } else if (key == QLatin1String("FitWidth")) {
        CRViewer1->fitToWidth();
    } else if (key == QLatin1String("Print")) {
        try {
            m_report->printAllPages();
        } catch (const ReportError& error) {
            Library::MsgError(error.message());
        }
    } else if (key == QLatin1String("CLOSE")) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame->close();
        else
            close();
    }
}
