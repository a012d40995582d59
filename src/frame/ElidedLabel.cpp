#include "frame/ElidedLabel.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

QSize ElidedLabel::minimumSizeHint() const {
    const QMargins margins = contentsMargins();
    const int frame = 2 * (frameWidth() + margin());
    return {fontMetrics().averageCharWidth() * 2 + frame + margins.left() + margins.right(),
            fontMetrics().height() + frame + margins.top() + margins.bottom()};
}

QSize ElidedLabel::sizeHint() const {
    return minimumSizeHint();
}

QRect ElidedLabel::textRect() const {
    return contentsRect().adjusted(margin(), margin(), -margin(), -margin());
}

QStringList ElidedLabel::shownLines() const {
    const QStringList lines = text().split(QLatin1Char('\n'));
    const QRect room = textRect();
    const int fitting = std::max(1, room.height() / fontMetrics().lineSpacing());
    QStringList shown;
    for (int i = 0; i < lines.size() && i < fitting; ++i) {
        QString line = lines.at(i);
        // The last line that fits shows that more follows.
        if (i == fitting - 1 && i < lines.size() - 1)
            line += QChar(0x2026);
        shown << fontMetrics().elidedText(line, Qt::ElideRight, room.width());
    }
    return shown;
}

bool ElidedLabel::isElided() const {
    return shownLines().join(QLatin1Char('\n')) != text();
}

bool ElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (isElided())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QStringList lines = shownLines();
    const QRect room = textRect();
    const int lineHeight = fontMetrics().lineSpacing();
    const int blockHeight = static_cast<int>(lines.size()) * lineHeight;
    int top = room.top();
    if (alignment() & Qt::AlignVCenter)
        top += (room.height() - blockHeight) / 2;
    else if (alignment() & Qt::AlignBottom)
        top += room.height() - blockHeight;
    const Qt::Alignment across = (alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
    for (const QString& line : lines) {
        style()->drawItemText(&painter, QRect(room.left(), top, room.width(), lineHeight), across,
                              palette(), isEnabled(), line, foregroundRole());
        top += lineHeight;
    }
}
