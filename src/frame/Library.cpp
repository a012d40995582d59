#include "frame/Library.h"

#include "core/Database.h"
#include "frame/DialogSeams.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace Library {
Recordset OpenRecordset(const QString& sql, const QVariantList& params) {
    try {
        return Recordset::open(sql, params, true);
    } catch (const DbError& error) {
        MsgError(QStringLiteral("อ่านข้อมูลไม่ได้\n") + error.message());
        return {};
    }
}

bool KeyMoveFocus(QWidget* from, int qtKey) {
    bool forward = true;
    if (qtKey == Qt::Key_Up)
        forward = false;
    else if (qtKey != Qt::Key_Return && qtKey != Qt::Key_Enter && qtKey != Qt::Key_Down)
        return false;
    if (!from)
        return false;
    QWidget* window = from->window();
    QWidget* next = from;
    do {
        next = forward ? next->nextInFocusChain() : next->previousInFocusChain();
    } while (next != from &&
             !(next->window() == window && next->isEnabled() && next->isVisibleTo(window) &&
               (next->focusPolicy() & Qt::TabFocus) && !next->focusProxy()));
    if (next == from)
        return false;
    next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void SelectAllText(QWidget* control) {
    auto* edit = qobject_cast<QLineEdit*>(control);
    if (!edit || !edit->isEnabled() || !edit->isVisible())
        return;
    // Selected from its end back to its start, so that a long text shows its start.
    const int length = static_cast<int>(edit->text().size());
    edit->setSelection(length, -length);
}

int NumericKeyFilter(int keyAscii) {
    if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == 13 || keyAscii == 38 ||
        keyAscii == 40 || keyAscii == 46 || keyAscii == 8 || keyAscii == ',')
        return keyAscii;
    return 0;
}

namespace {

class NumericFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return QObject::eventFilter(watched, event);
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !text.at(0).isPrint())
            return false; // editing and moving keys pass
        const int ascii = text.at(0).unicode();
        // Up and Down share their codes with "&" and "(", which are no digits when typed.
        if (ascii == '&' || ascii == '(')
            return true;
        return NumericKeyFilter(ascii) == 0;
    }
};

} // namespace

void InstallNumericFilter(QWidget* lineEdit) {
    lineEdit->installEventFilter(new NumericFilter(lineEdit));
}

bool amountFits(QLineEdit* box, const QString& caption) {
    if (Money::isMalformed(box->text())) {
        box->setFocus();
        refuseNumber(caption, box);
        return false;
    }
    if (!Money::isOutOfRange(box->text()))
        return true;
    MsgError(Money::rangeMessage());
    box->setFocus();
    box->selectAll();
    return false;
}

std::optional<double> typedNumber(QLineEdit* box, const QString& caption) {
    const std::optional<double> value = TypedNumber(box->text());
    if (!value) {
        box->setFocus();
        refuseNumber(caption, box);
    }
    return value;
}

void refuseNumber(const QString& caption, QLineEdit* box) {
    MsgError(caption + QStringLiteral(" ไม่ถูกต้อง: ") + box->text() +
             QStringLiteral("\nบันทึกได้เป็นตัวเลขไม่เกิน 15 หลัก ใช้จุลภาคคั่นทุกสามหลัก"));
    SelectAllText(box);
}

void showWhole(QLineEdit* box, const QString& stored) {
    box->setMaxLength(std::max(box->maxLength(), static_cast<int>(stored.size())));
    box->setText(stored);
}

void MsgError(const QString& text) {
    Seams::showMessage(Seams::MessageKind::Error, text, false);
}

int MsgAsk(const QString& text, bool defaultYes) {
    return Seams::showMessage(Seams::MessageKind::Question, text, defaultYes);
}

void CenterForm(QWidget* form) {
    const QScreen* screen = form->screen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize size = form->frameGeometry().size();
    // Centred as if the window were 200 twips (about 13 pixels) larger, the one place
    // every window and dialog opens at: a few pixels up and to the left of the centre.
    const int margin = 200 / 15;
    form->move(area.x() + (area.width() - size.width() - margin) / 2,
               area.y() + (area.height() - size.height() - margin) / 2);
}

void AddKeyedItem(QComboBox* box, const QString& text, int blanks, const QString& code) {
    box->addItem(text, KeyedItem(text, blanks, code));
}

QString GetItemKey(const QComboBox* box) {
    return GetItemKey(box->currentData().toString());
}

} // namespace Library
