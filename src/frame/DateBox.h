#pragma once

#include <QDate>
#include <QDateEdit>

// The date picker of every window: dd/mm/yyyy with the Buddhist-era year and a
// calendar popup that shows that year too. A date typed straight through, with
// or without the slashes, is read as a whole: dd/mm/yyyy (a year above 2400 as
// Buddhist era, any other as Gregorian) or dd/mm/yy (a Buddhist-era year, as the
// lists show it). The box keeps its date while a text is being typed, and takes
// the text only when it is left (Tab, Enter, a click elsewhere) or an action is
// taken: a text that names no day is then refused with a message, the box
// keeping the focus and its date. The arrows step the section at the cursor. Its
// calendar may be paged freely: the box takes a day only when one is chosen.
class DateBox : public QDateEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    // Takes the text being typed, as leaving the box would: its day, or a message
    // and the date the box had before. Returns whether the text named a day (true
    // when nothing was being typed).
    bool commit();

protected:
    QString textFromDateTime(const QDateTime& dateTime) const override;
    QDateTime dateTimeFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void type(QChar character);
    // The day the typed text names, null when it names none.
    QDate typedDate() const;
    // Shows the typed text; the box keeps its date until the text is taken.
    void showTyped();
    // Leaves typing: the box shows its date again.
    void endTyping();

    // What the user typed since the box last held a whole date; null when not typing.
    QString m_typed;
};
