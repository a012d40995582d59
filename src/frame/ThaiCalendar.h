#pragma once

#include <QCalendarWidget>

class QComboBox;
class QSpinBox;

// A month calendar whose header shows and takes the Buddhist-era year, as every
// other date of the program does: its own bar (previous month, the month, the
// year, next month) stands in place of the calendar's Christian-era one.
class ThaiCalendar : public QCalendarWidget {
    Q_OBJECT
public:
    explicit ThaiCalendar(QWidget* parent = nullptr);

    QComboBox* monthBox() const { return m_month; }
    QSpinBox* yearBox() const { return m_year; }

    // The days and, above them, the bar in place of the hidden one.
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override { return minimumSizeHint(); }

private:
    void showPage(int year, int month);
    void pageChosen();

    QWidget* m_bar;
    QComboBox* m_month;
    QSpinBox* m_year;
};
