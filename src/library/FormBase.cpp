#include "library/FormBase.h"

#include "library/KeyToolbar.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QVBoxLayout>

FormBase::FormBase(QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 2);
    m_body = new QVBoxLayout;
    outer->addLayout(m_body, 1);

    auto* bar = new QHBoxLayout;
    m_toolbar = new KeyToolbar(this);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar->addWidget(m_toolbar);
    bar->addStretch(1);
    bar->addWidget(m_title);
    outer->addLayout(bar);

    m_line1 = new QFrame(this);
    m_line1->setObjectName(QStringLiteral("Line1"));
    m_line1->setFrameShape(QFrame::HLine);
    m_line1->setFrameShadow(QFrame::Sunken);
    m_line2 = new QFrame(this);
    m_line2->setObjectName(QStringLiteral("Line2"));
    m_line2->setFrameShape(QFrame::HLine);
    m_line2->setFrameShadow(QFrame::Plain);
    outer->addWidget(m_line1);
    outer->addWidget(m_line2);
    m_menuHelp = new QLabel(this);
    m_menuHelp->setObjectName(QStringLiteral("lblMenuHelp"));
    outer->addWidget(m_menuHelp);

    connect(m_toolbar, &KeyToolbar::buttonClick, this,
            [this](const QString& key) { toolbarButtonClick(key); });
    setWindowTitle(QString());
}

void FormBase::setTitle(const QString& title) {
    m_title->setText(title);
}

void FormBase::setMenuHelp(const QString& help) {
    m_menuHelp->setText(help);
}

void FormBase::unload() {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

void FormBase::installKeyPreview() {
    installEventFilter(this);
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);
}

bool FormBase::formKeyDown(QObject*, QKeyEvent*) {
    return false;
}

void FormBase::toolbarButtonClick(const QString&) {}

bool FormBase::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // A key a control ignores travels on to its parents: see it once only.
        QWidget* focus = QApplication::focusWidget();
        const bool first = watched == focus || (watched == this && !isAncestorOf(focus));
        return first && formKeyDown(watched, static_cast<QKeyEvent*>(event));
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Function keys and Esc belong to the window, not to a control's shortcut.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || (key >= Qt::Key_F1 && key <= Qt::Key_F12)) {
            event->accept();
            return false;
        }
    }
    return QWidget::eventFilter(watched, event);
}
