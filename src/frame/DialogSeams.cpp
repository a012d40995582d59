#include "frame/DialogSeams.h"

#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace Seams {
namespace {

// Room for the window's icon and its frame's buttons beside the title.
constexpr int titleRoom = 160;

// A box with a short text is at least as wide as its title and the buttons of the
// frame around it, so that the title shows whole.
void keepTitleWhole(QMessageBox& box) {
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + titleRoom;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
}

int defaultMessage(MessageKind kind, const QString& text, bool defaultYes) {
    QMessageBox box;
    box.setText(text);
    if (kind == MessageKind::Error) {
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("ข้อผิดพลาด"));
        box.addButton(QStringLiteral("ตกลง"), QMessageBox::AcceptRole);
        keepTitleWhole(box);
        box.exec();
        return 1;
    }
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("คำถาม"));
    QPushButton* yes = box.addButton(QStringLiteral("ใช่"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("ไม่ใช่"), QMessageBox::NoRole);
    box.setDefaultButton(defaultYes ? yes : no);
    box.setEscapeButton(no);
    keepTitleWhole(box);
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
