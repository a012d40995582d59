#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <QImage>
#include <QList>

class Report;

// One page of a report at a time, painted when it is first shown (a few kept),
// with zoom. Painting a page may throw ReportError or DbError.
class ReportPageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit ReportPageView(const Report& report, QWidget* parent = nullptr);

    int pageCount() const { return m_count; }
    int page() const { return m_page; }
    void setPage(int page);
    double zoomFactor() const { return m_zoom; }
    void setZoomFactor(double zoom);
    void zoomIn() { setZoomFactor(m_zoom * 1.25); }
    void zoomOut() { setZoomFactor(m_zoom / 1.25); }
    void fitToWidth();

signals:
    void pageChanged(int page, int count);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const QImage& image(int page);
    QSize imageSize() const;
    void layoutScrollBars();

    const Report& m_report;
    int m_page = 1;
    int m_count = 1;
    double m_zoom = 1.0;
    QHash<int, QImage> m_images; // at the current zoom
    QList<int> m_recent;
};
