#include "frame/FormBase.h"

#include "frame/KeyToolbar.h"
#include "frame/Library.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QStackedWidget>
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
    m_outer = new QVBoxLayout(this);
    m_outer->setContentsMargins(4, 4, 4, 2);
    m_body = addBodyAndToolbar(m_outer);

    m_line1 = rule(this, QStringLiteral("Line1"), QFrame::Sunken);
    m_line2 = rule(this, QStringLiteral("Line2"), QFrame::Plain);
    m_outer->addWidget(m_line1);
    m_outer->addWidget(m_line2);
    m_menuHelp = new QLabel(this);
    m_menuHelp->setObjectName(QStringLiteral("lblMenuHelp"));
    m_outer->addWidget(m_menuHelp);
    setWindowTitle(QString());
}

void FormBase::rulesAboveToolbar() {
    // The outer layout holds the body, the toolbar's row, then the rules.
    m_outer->removeWidget(m_line1);
    m_outer->removeWidget(m_line2);
    m_outer->insertWidget(1, m_line1);
    m_outer->insertWidget(2, m_line2);
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

void FormBase::focusOpening() {
    QWidget* control = m_openingControl;
    if (!control && focusWidget() && isAncestorOf(focusWidget()))
        control = focusWidget();
    for (QWidget* next = nextInFocusChain(); !control && next != this;
         next = next->nextInFocusChain())
        if (isAncestorOf(next) && next->isEnabled() && next->isVisibleTo(this) &&
            (next->focusPolicy() & Qt::TabFocus))
            control = next;
    if (!control) {
        setFocus(Qt::OtherFocusReason);
        return;
    }
    control->setFocus(Qt::OtherFocusReason);
    Library::SelectAllText(control);
}

void FormBase::keepKeyboard() {
    if (!isVisible() || !window()->isActiveWindow())
        return;
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
        frame && frame->mdiArea() && frame->mdiArea()->activeSubWindow() != frame)
        return;
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->isAncestorOf(this))
        focusOpening();
}

void FormBase::addListAndPanel(QWidget* list, QWidget* panel) {
    m_listAndPanel = new QStackedWidget(this);
    m_listAndPanel->addWidget(list);
    m_listAndPanel->addWidget(panel);
    m_body->addWidget(m_listAndPanel, 1);
}

void FormBase::showPanel(bool shown) {
    m_listAndPanel->setCurrentIndex(shown ? 1 : 0);
}

void FormBase::declareListAndPanel(const ListAndPanel& window) {
    const Mode panel{{QStringLiteral("Save"), QStringLiteral("Cancel")},
                     QStringLiteral("F2=บันทึก  ESC=ยกเลิก"),
                     QStringLiteral("Save"),
                     window.hidden};
    declareModes({{window.listButtons, window.listHelp, QStringLiteral("New"), window.hidden},
                  panel,   // Edit
                  panel}); // Add
    declareKeys({{Qt::Key_F3, QStringLiteral("Edit")},
                 {Qt::Key_F4, QStringLiteral("Delete")},
                 {Qt::Key_Escape, QStringLiteral("Cancel")}});
    declareButtons(window.buttons);
    declareButtons({{QStringLiteral("Cancel"), [this, backToList = window.backToList] {
                         if (mode() == Browse)
                             unload();
                         else
                             backToList();
                     }}});
}

bool FormBase::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // Inside the main window the frame does not grow by itself when the window
    // needs more room (a larger panel shown): it is made to.
    if (event->type() == QEvent::LayoutRequest)
        if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
            frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
    return handled;
}

bool FormBase::eventFilter(QObject* watched, QEvent* event) {
    // The focus goes nowhere, or to the frame around the window, only once the
    // control has let it go: look when that is done.
    if (event->type() == QEvent::FocusOut && watched != this)
        QMetaObject::invokeMethod(this, &FormBase::keepKeyboard, Qt::QueuedConnection);
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        update();
        // A list with the focus gains or loses its mark with its first or last row.
        if (auto* list = qobject_cast<QAbstractItemView*>(watched);
            list && event->type() == QEvent::FocusIn && list->model()) {
            const auto remark = qOverload<>(&QWidget::update);
            connect(list->model(), &QAbstractItemModel::rowsInserted, this, remark,
                    Qt::UniqueConnection);
            connect(list->model(), &QAbstractItemModel::rowsRemoved, this, remark,
                    Qt::UniqueConnection);
            connect(list->model(), &QAbstractItemModel::modelReset, this, remark,
                    Qt::UniqueConnection);
        }
    }
    return frameEvent(watched, event) || QWidget::eventFilter(watched, event);
}

QRect FormBase::focusMarkRect() const {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == this)
        return rect();
    const auto* list = qobject_cast<const QAbstractItemView*>(focus);
    if (!list || !isAncestorOf(list) || !list->model() || list->model()->rowCount() > 0)
        return {};
    // Just outside the list, in the room the layout leaves around it.
    return QRect(list->mapTo(this, QPoint(0, 0)), list->size()).adjusted(-3, -3, 3, 3);
}

void FormBase::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    const QRect mark = focusMarkRect();
    if (mark.isNull())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(mark.adjusted(1, 1, -1, -1));
}
