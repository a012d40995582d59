#pragma once

#include <QLabel>

// A label for a value of any length: the text keeps to the label's width and
// height, a line too long for it ends in "…", and the whole text shows in the
// tooltip when anything is cut. Its size does not follow its text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Whether the text shown is shorter than the label's text.
    bool isElided() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The lines shown in the label's contents.
    QStringList shownLines() const;
    QRect textRect() const;
};
