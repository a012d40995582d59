#include "report/viewer/frmViewReport.h"

#include "core/Database.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "report/Report.h"
#include "report/viewer/ReportPageView.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QVBoxLayout>

frmViewReport::frmViewReport(std::unique_ptr<Report> report, const QString& title, QWidget* parent)
    : QWidget(parent), WindowFrame(this), m_report(std::move(report)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    KeyToolbar* Toolbar1 = toolbar();
    const struct {
        const char* key;
        const char16_t* caption;
        const char16_t* tip;
        int shortcut;
    } buttons[] = {
        {"First", u"หน้าแรก", u"[Home] - หน้าแรก", Qt::Key_Home},
        {"Previous", u"ก่อนหน้า", u"[PgUp] - หน้าก่อนหน้า", Qt::Key_PageUp},
        {"Next", u"ถัดไป", u"[PgDn] - หน้าถัดไป", Qt::Key_PageDown},
        {"Last", u"หน้าสุดท้าย", u"[End] - หน้าสุดท้าย", Qt::Key_End},
        {"ZoomIn", u"ขยาย", u"[+] - ขยายหน้ารายงาน", Qt::Key_Plus},
        {"ZoomOut", u"ย่อ", u"[-] - ย่อหน้ารายงาน", Qt::Key_Minus},
        {"Zoom1", u"ขนาดจริง", u"[F5] - แสดงขนาดจริง", Qt::Key_F5},
        {"FitWidth", u"เต็มความกว้าง", u"[F6] - แสดงเต็มความกว้างของหน้าต่าง", Qt::Key_F6},
        {"Print", u"พิมพ์", u"[F2] - พิมพ์รายงานทุกหน้า", Qt::Key_F2},
        {"CLOSE", u"ปิด", u"[ESC] - ปิดหน้าต่าง", Qt::Key_Escape},
    };
    for (const auto& b : buttons) {
        const QString key = QString::fromLatin1(b.key);
        Toolbar1->addButton(key, QString::fromUtf16(b.caption), QString::fromUtf16(b.tip));
        if (b.shortcut)
            declareKeys({{b.shortcut, key}});
    }
    declareButtons({{QStringLiteral("First"), [this] { turnTo(1); }},
                    {QStringLiteral("Previous"), [this] { turnTo(CRViewer1->page() - 1); }},
                    {QStringLiteral("Next"), [this] { turnTo(CRViewer1->page() + 1); }},
                    {QStringLiteral("Last"), [this] { turnTo(CRViewer1->pageCount()); }},
                    {QStringLiteral("ZoomIn"), [this] { CRViewer1->zoomIn(); }},
                    {QStringLiteral("ZoomOut"), [this] { CRViewer1->zoomOut(); }},
                    {QStringLiteral("Zoom1"), [this] { CRViewer1->setZoomFactor(1.0); }},
                    {QStringLiteral("FitWidth"), [this] { CRViewer1->fitToWidth(); }},
                    {QStringLiteral("Print"), [this] { printAll(); }},
                    {QStringLiteral("CLOSE"), [this] { closeViewer(); }}});
    lblPage = new QLabel(Toolbar1);
    lblPage->setContentsMargins(12, 0, 12, 0);
    Toolbar1->insertWidget(Toolbar1->button(QStringLiteral("ZoomIn")), lblPage);
    layout->addWidget(Toolbar1);

    CRViewer1 = new ReportPageView(*m_report, this);
    layout->addWidget(CRViewer1, 1);
    setFocusProxy(CRViewer1);
    connect(CRViewer1, &ReportPageView::pageChanged, this, [this](int page, int count) {
        lblPage->setText(QStringLiteral("หน้า %1 / %2").arg(page).arg(count));
        toolbar()->setEnabled(QStringLiteral("First"), page > 1);
        toolbar()->setEnabled(QStringLiteral("Previous"), page > 1);
        toolbar()->setEnabled(QStringLiteral("Next"), page < count);
        toolbar()->setEnabled(QStringLiteral("Last"), page < count);
    });
    CRViewer1->setPage(1);
}

void frmViewReport::printAll() {
    try {
        m_report->printAllPages();
    } catch (const std::runtime_error& error) {
        Library::MsgError(QString::fromStdString(error.what()));
    }
}

void frmViewReport::closeViewer() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

frmViewReport::~frmViewReport() = default;

void frmViewReport::turnTo(int page) {
    try {
        CRViewer1->setPage(page);
    } catch (const ReportError& error) {
        Library::MsgError(error.message());
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("อ่านข้อมูลของรายงาน %1 ไม่ได้\n").arg(m_report->fileName()) +
                          error.message());
    }
}

bool frmViewReport::eventFilter(QObject* watched, QEvent* event) {
    return frameEvent(watched, event) || QWidget::eventFilter(watched, event);
}
