#pragma once

#include <QDateEdit>

// The date picker of every window: dd/mm/yyyy with the Buddhist-era year and a
// calendar popup. A date typed straight through, with or without the slashes
// (dd/mm/yyyy, d/m/yyyy or ddmmyyyy), is read as a whole: a year above 2400 as
// Buddhist era, any other as Gregorian. The arrows step the section at the cursor.
class DateBox : public QDateEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

protected:
    QString textFromDateTime(const QDateTime& dateTime) const override;
    QDateTime dateTimeFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void type(QChar character);
    void showTyped();
    // Leaves typing: the box shows its date again.
    void endTyping();

    // What the user typed since the box last held a whole date; null when not typing.
    QString m_typed;
};
