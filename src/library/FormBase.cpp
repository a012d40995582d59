#include "library/FormBase.h"

#include "library/KeyToolbar.h"

#include <QFrame>
#include <QLabel>
#include <QMdiSubWindow>
#include <QVBoxLayout>

namespace {

QFrame* rule(QWidget* parent, const QString& name, QFrame::Shadow shadow) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(shadow);
    return line;
}

} // namespace

FormBase::FormBase(QWidget* parent) : QWidget(parent), WindowFrame(this) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 2);
    m_body = addBodyAndToolbar(outer);

    m_line1 = rule(this, QStringLiteral("Line1"), QFrame::Sunken);
    m_line2 = rule(this, QStringLiteral("Line2"), QFrame::Plain);
    outer->addWidget(m_line1);
    outer->addWidget(m_line2);
    m_menuHelp = new QLabel(this);
    m_menuHelp->setObjectName(QStringLiteral("lblMenuHelp"));
    outer->addWidget(m_menuHelp);
    setWindowTitle(QString());
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

bool FormBase::eventFilter(QObject* watched, QEvent* event) {
    return frameEvent(watched, event) || QWidget::eventFilter(watched, event);
}
