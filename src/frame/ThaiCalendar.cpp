#include "frame/ThaiCalendar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int buddhistOffset = 543;
constexpr int firstYear = 1900;
constexpr int lastYear = 9999;
} // namespace

ThaiCalendar::ThaiCalendar(QWidget* parent) : QCalendarWidget(parent) {
    const QLocale thai(QLocale::Thai, QLocale::Thailand);
    setLocale(thai);
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setNavigationBarVisible(false);

    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("ThaiCalendarBar"));
    auto* row = new QHBoxLayout(m_bar);
    row->setContentsMargins(2, 2, 2, 2);
    auto* previous = new QToolButton(m_bar);
    previous->setObjectName(QStringLiteral("btnPrevMonth"));
    previous->setArrowType(Qt::LeftArrow);
    previous->setToolTip(QStringLiteral("เดือนก่อน"));
    auto* next = new QToolButton(m_bar);
    next->setObjectName(QStringLiteral("btnNextMonth"));
    next->setArrowType(Qt::RightArrow);
    next->setToolTip(QStringLiteral("เดือนถัดไป"));
    m_month = new QComboBox(m_bar);
    m_month->setObjectName(QStringLiteral("cboMonth"));
    for (int month = 1; month <= 12; ++month)
        m_month->addItem(thai.standaloneMonthName(month));
    m_year = new QSpinBox(m_bar);
    m_year->setObjectName(QStringLiteral("txtYear"));
    m_year->setAlignment(Qt::AlignCenter);
    // The calendar keeps a page inside its own range whatever year is typed.
    m_year->setRange(firstYear + buddhistOffset, lastYear);
    // The year is committed when it is whole, not at each digit typed.
    m_year->setKeyboardTracking(false);
    row->addWidget(previous);
    row->addStretch(1);
    row->addWidget(m_month);
    row->addWidget(m_year);
    row->addStretch(1);
    row->addWidget(next);
    if (auto* column = qobject_cast<QVBoxLayout*>(layout()))
        column->insertWidget(0, m_bar);

    connect(previous, &QToolButton::clicked, this, &QCalendarWidget::showPreviousMonth);
    connect(next, &QToolButton::clicked, this, &QCalendarWidget::showNextMonth);
    connect(m_month, &QComboBox::activated, this, &ThaiCalendar::pageChosen);
    connect(m_year, &QSpinBox::valueChanged, this, &ThaiCalendar::pageChosen);
    connect(this, &QCalendarWidget::currentPageChanged, this, &ThaiCalendar::showPage);
    showPage(yearShown(), monthShown());
}

QSize ThaiCalendar::minimumSizeHint() const {
    const QSize days = QCalendarWidget::minimumSizeHint();
    const QSize bar = m_bar->sizeHint();
    return {std::max(days.width(), bar.width()), days.height() + bar.height()};
}

void ThaiCalendar::showPage(int year, int month) {
    const QSignalBlocker quietMonth(m_month);
    const QSignalBlocker quietYear(m_year);
    m_month->setCurrentIndex(month - 1);
    m_year->setValue(year + buddhistOffset);
}

void ThaiCalendar::pageChosen() {
    setCurrentPage(m_year->value() - buddhistOffset, m_month->currentIndex() + 1);
}
