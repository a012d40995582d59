#include "frame/DateBox.h"

#include "frame/Library.h"
#include "frame/ThaiCalendar.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

constexpr int buddhistOffset = 543;
// Years above this one are read as Buddhist era.
constexpr int lastGregorianYear = 2400;
// A two-digit year is one of the Buddhist era's 2500s, as the lists show it.
constexpr int buddhistCentury = 2500;
// The year is the last of the three parts of dd/MM/yyyy.
constexpr int yearStart = 6;

int gregorianYear(int year) {
    return year > lastGregorianYear ? year - buddhistOffset : year;
}

// The text with its four-digit year moved by shift; other texts as they are.
QString withYearShifted(const QString& text, int shift) {
    const QString year = text.mid(yearStart);
    bool isNumber = false;
    const int value = year.toInt(&isNumber);
    if (year.size() != 4 || !isNumber)
        return text;
    return text.left(yearStart) + QStringLiteral("%1").arg(value + shift, 4, 10, QLatin1Char('0'));
}

bool hasBuddhistYear(const QString& text) {
    const QString year = text.mid(yearStart);
    return year.size() == 4 && year.toInt() > lastGregorianYear;
}

QString toGregorian(const QString& text) {
    return hasBuddhistYear(text) ? withYearShifted(text, -buddhistOffset) : text;
}

} // namespace

DateBox::DateBox(QWidget* parent) : QDateEdit(parent) {
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    setCalendarPopup(true);
    setCalendarWidget(new ThaiCalendar(this));
    // Four-digit years in both eras.
    setDateRange(QDate(1900, 1, 1), QDate(9999 - buddhistOffset, 12, 31));
    // The popup would hand the box every day its calendar passes while paged: a range
    // of two boxes would then put itself in order at every step. The box takes the
    // day chosen (click or Enter) only.
    if (QWidget* popup = calendarWidget()->parentWidget(); popup && popup != this)
        disconnect(popup, SIGNAL(newDateSelected(QDate)), this, SLOT(setDate(QDate)));
}

QString DateBox::textFromDateTime(const QDateTime& dateTime) const {
    return withYearShifted(QDateEdit::textFromDateTime(dateTime), buddhistOffset);
}

QDateTime DateBox::dateTimeFromText(const QString& text) const {
    return QDateEdit::dateTimeFromText(toGregorian(text));
}

// The stepping and checking of the sections work on the Gregorian text.
QValidator::State DateBox::validate(QString& input, int& pos) const {
    if (!hasBuddhistYear(input))
        return QDateEdit::validate(input, pos);
    QString gregorian = toGregorian(input);
    const QValidator::State state = QDateEdit::validate(gregorian, pos);
    input = withYearShifted(gregorian, buddhistOffset);
    return state;
}

void DateBox::fixup(QString& input) const {
    const bool buddhist = hasBuddhistYear(input);
    QString gregorian = toGregorian(input);
    QDateEdit::fixup(gregorian);
    input = buddhist ? withYearShifted(gregorian, buddhistOffset) : gregorian;
}

void DateBox::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const QChar character = text.size() == 1 ? text.at(0) : QChar();
    if ((character >= QLatin1Char('0') && character <= QLatin1Char('9')) ||
        character == QLatin1Char('/')) {
        type(character);
        event->accept();
        return;
    }
    if (!m_typed.isNull() && event->key() == Qt::Key_Backspace) {
        m_typed.chop(m_typed.endsWith(QLatin1Char('/')) ? 2 : 1);
        showTyped();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (commit())
            focusNextPrevChild(true);
        return;
    }
    // Esc drops the text typed; another key (an arrow stepping a section) works on the
    // day typed, if it names one.
    if (!m_typed.isNull()) {
        if (const QDate day = typedDate(); day.isValid() && event->key() != Qt::Key_Escape)
            setDate(day);
        endTyping();
    }
    QDateEdit::keyPressEvent(event);
}

void DateBox::focusOutEvent(QFocusEvent* event) {
    // Another window taking the focus (the message below, the calendar) is not leaving.
    const bool leaving =
        event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
    if (leaving && !commit())
        QMetaObject::invokeMethod(
            this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
    QDateEdit::focusOutEvent(event);
}

// Tab goes on to the next control, not to the next part of the date.
bool DateBox::focusNextPrevChild(bool next) {
    if (!commit())
        return true;
    return QWidget::focusNextPrevChild(next);
}

void DateBox::type(QChar character) {
    if (m_typed.isNull())
        m_typed = QLatin1String("");
    const QStringList parts = m_typed.split(QLatin1Char('/'));
    if (character == QLatin1Char('/')) {
        // A slash ends a one-digit day or month; after two digits it is already there.
        if (parts.size() < 3 && !parts.last().isEmpty())
            m_typed += QLatin1Char('/');
    } else if (parts.size() < 3 || parts.last().size() < 4) {
        m_typed += character;
        if (parts.size() < 3 && parts.last().size() == 1)
            m_typed += QLatin1Char('/');
    }
    showTyped();
}

QDate DateBox::typedDate() const {
    const QStringList typed = m_typed.split(QLatin1Char('/'));
    if (typed.size() != 3 || (typed.last().size() != 2 && typed.last().size() != 4))
        return {};
    int year = typed.last().toInt();
    if (typed.last().size() == 2)
        year += buddhistCentury;
    const QDate day(gregorianYear(year), typed.at(1).toInt(), typed.at(0).toInt());
    return day.isValid() && day >= minimumDate() && day <= maximumDate() ? day : QDate();
}

bool DateBox::commit() {
    if (m_typed.isNull())
        return true;
    const QDate day = typedDate();
    if (day.isValid())
        setDate(day);
    endTyping();
    if (!day.isValid())
        Library::MsgError(QStringLiteral("วันที่ ไม่ถูกต้อง"));
    return day.isValid();
}

void DateBox::showTyped() {
    const QSignalBlocker blocker(lineEdit());
    lineEdit()->setText(m_typed);
}

void DateBox::endTyping() {
    m_typed = QString();
    {
        const QSignalBlocker blocker(lineEdit());
        lineEdit()->setText(textFromDateTime(dateTime()));
    }
    // The cursor stands after the year typed last: the arrows step the year.
    setCurrentSection(QDateTimeEdit::YearSection);
}
