#include "report/viewer/ReportPageView.h"

#include "report/Report.h"

#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int gap = 12;      // grey around the page, in pixels
constexpr int keptPages = 6; // painted pages kept for paging back and forth

} // namespace

ReportPageView::ReportPageView(const Report& report, QWidget* parent)
    : QAbstractScrollArea(parent), m_report(report) {
    viewport()->setBackgroundRole(QPalette::Dark);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    m_count = m_report.pageCount();
}

void ReportPageView::setPage(int page) {
    page = std::clamp(page, 1, m_count);
    image(page); // painted before it shows; a failure leaves the current page
    m_page = page;
    verticalScrollBar()->setValue(0);
    viewport()->update();
    emit pageChanged(m_page, m_count);
}

void ReportPageView::setZoomFactor(double zoom) {
    m_zoom = std::clamp(zoom, 0.25, 6.0);
    m_images.clear();
    m_recent.clear();
    layoutScrollBars();
    viewport()->update();
}

void ReportPageView::fitToWidth() {
    const double pageWidth =
        m_report.pageLayout().fullRect(QPageLayout::Inch).width() * logicalDpiX();
    setZoomFactor((viewport()->width() - 2 * gap) / pageWidth);
}

QSize ReportPageView::imageSize() const {
    const QSizeF inches = m_report.pageLayout().fullRect(QPageLayout::Inch).size();
    const double dpi = logicalDpiX() * m_zoom;
    return QSize(qRound(inches.width() * dpi), qRound(inches.height() * dpi));
}

const QImage& ReportPageView::image(int page) {
    auto it = m_images.constFind(page);
    if (it != m_images.constEnd()) {
        m_recent.removeOne(page);
        m_recent << page;
        return *it;
    }
    const qreal ratio = devicePixelRatioF();
    const double dpi = logicalDpiX() * m_zoom * ratio;
    QImage picture(imageSize() * ratio, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setDevicePixelRatio(ratio);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        // The painter works in image pixels; undo the ratio so that dpi holds.
        painter.scale(1 / ratio, 1 / ratio);
        m_report.paintPage(painter, page, dpi);
    }
    if (m_recent.size() >= keptPages)
        m_images.remove(m_recent.takeFirst());
    m_recent << page;
    return *m_images.insert(page, picture);
}

void ReportPageView::layoutScrollBars() {
    const QSize size = imageSize() + QSize(2 * gap, 2 * gap);
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, size.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    verticalScrollBar()->setRange(0, std::max(0, size.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setSingleStep(20);
}

void ReportPageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    layoutScrollBars();
}

void ReportPageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QImage* page = nullptr;
    try {
        page = &image(m_page);
    } catch (const std::runtime_error&) {
        return; // shown by whoever turned to this page
    }
    const QSize size = imageSize();
    const int x =
        std::max(gap, (viewport()->width() - size.width()) / 2) - horizontalScrollBar()->value();
    const int y = gap - verticalScrollBar()->value();
    painter.drawImage(QRect(QPoint(x, y), size), *page);
}
