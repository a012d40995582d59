#include "frame/DialogBase.h"

#include "frame/DialogSeams.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"

#include <QVBoxLayout>

DialogBase::DialogBase(const QString& caption, QWidget* parent)
    : QDialog(parent), WindowFrame(this) {
    setWindowTitle(caption);
    m_body = addBodyAndToolbar(new QVBoxLayout(this));
}

int DialogBase::showModal() {
    return Seams::showModal(*this);
}

void DialogBase::addOkCancel(const QString& caption, const QString& tip, std::function<void()> ok) {
    toolbar()->addButton(QStringLiteral("OK"), caption, tip);
    toolbar()->addSeparator();
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    declareKeys({{Qt::Key_F2, QStringLiteral("OK")}, {Qt::Key_Escape, QStringLiteral("Cancel")}});
    declareButtons(
        {{QStringLiteral("OK"), std::move(ok)}, {QStringLiteral("Cancel"), [this] { reject(); }}});
}

void DialogBase::confirm() {
    IsOK = true;
    accept();
}

bool DialogBase::eventFilter(QObject* watched, QEvent* event) {
    return frameEvent(watched, event) || QDialog::eventFilter(watched, event);
}

void DialogBase::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        Library::CenterForm(this);
    }
}
