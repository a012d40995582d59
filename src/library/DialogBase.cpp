#include "library/DialogBase.h"

#include "library/DialogSeams.h"
#include "library/KeyToolbar.h"
#include "library/Library.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

DialogBase::DialogBase(const QString& caption, QWidget* parent)
    : QDialog(parent), WindowFrame(this) {
    setWindowTitle(caption);
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    auto* outer = new QVBoxLayout(this);
    m_body = new QVBoxLayout;
    outer->addLayout(m_body, 1);
    auto* bottom = new QHBoxLayout;
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    m_title->setFont(titleFont);
    m_title->hide();
    bottom->addWidget(toolbar());
    bottom->addStretch(1);
    bottom->addWidget(m_title);
    outer->addLayout(bottom);
}

int DialogBase::showModal() {
    return Seams::showModal(*this);
}

void DialogBase::setTitle(const QString& title) {
    m_title->setText(title);
    m_title->setVisible(!title.isEmpty());
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
