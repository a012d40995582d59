#include "frame/DialogSeams.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

namespace Seams {
namespace {

int defaultMessage(MessageKind kind, const QString& text, bool defaultYes) {
    QMessageBox box;
    box.setText(text);
    if (kind == MessageKind::Error) {
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("ข้อผิดพลาด"));
        box.addButton(QStringLiteral("ตกลง"), QMessageBox::AcceptRole);
        box.exec();
        return 1;
    }
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("คำถาม"));
    QPushButton* yes = box.addButton(QStringLiteral("ใช่"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("ไม่ใช่"), QMessageBox::NoRole);
    box.setDefaultButton(defaultYes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? 6 : 7;
}

MessageHandler& messageHandler() {
    static MessageHandler handler = defaultMessage;
    return handler;
}

ModalHandler& modalHandler() {
    static ModalHandler handler = [](QDialog& dialog) { return dialog.exec(); };
    return handler;
}

} // namespace

void setMessageHandler(MessageHandler handler) {
    messageHandler() = handler ? std::move(handler) : defaultMessage;
}

int showMessage(MessageKind kind, const QString& text, bool defaultYes) {
    return messageHandler()(kind, text, defaultYes);
}

void setModalHandler(ModalHandler handler) {
    if (handler)
        modalHandler() = std::move(handler);
    else
        modalHandler() = [](QDialog& dialog) { return dialog.exec(); };
}

int showModal(QDialog& dialog) {
    return modalHandler()(dialog);
}

} // namespace Seams
