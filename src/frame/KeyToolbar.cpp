#include "frame/KeyToolbar.h"

#include <QAction>

KeyToolbar::KeyToolbar(QWidget* parent) : QToolBar(parent) {
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    setMovable(false);
    setFocusPolicy(Qt::NoFocus);
}

QAction* KeyToolbar::addButton(const QString& key, const QString& caption, const QString& toolTip) {
    QAction* action = addAction(caption);
    action->setObjectName(key);
    action->setToolTip(toolTip);
    connect(action, &QAction::triggered, this, [this, key] { emit buttonClick(key); });
    m_buttons.insert(key, action);
    return action;
}

QAction* KeyToolbar::addStandardButton(const QString& key) {
    struct Standard {
        const char16_t* key;
        const char16_t* caption;
        const char16_t* tip;
    };
    static const Standard standards[] = {
        {u"New", u"เพิ่ม", u"[F2] - เพิ่มข้อมูล"},    {u"Edit", u"แก้ไข", u"[F3] - แก้ไขข้อมูล"},
        {u"Delete", u"ลบ", u"[F4] - ลบข้อมูล"},   {u"Find", u"ค้นหา", u"[F9] - ค้นหาข้อมูล"},
        {u"Save", u"บันทึก", u"[F2] - บันทึกข้อมูล"}, {u"Cancel", u"  ยกเลิก  ", u"[ESC] - ยกเลิก"},
    };
    for (const Standard& standard : standards) {
        if (key == QStringView(standard.key))
            return addButton(key, QString::fromUtf16(standard.caption),
                             QString::fromUtf16(standard.tip));
    }
    return addButton(key, key, key);
}

QAction* KeyToolbar::button(const QString& key) const {
    return m_buttons.value(key);
}

bool KeyToolbar::isAvailable(const QString& key) const {
    const QAction* action = button(key);
    return action && action->isVisible() && action->isEnabled();
}

void KeyToolbar::setVisible(const QString& key, bool visible) {
    if (QAction* action = button(key))
        action->setVisible(visible);
}

void KeyToolbar::setEnabled(const QString& key, bool enabled) {
    if (QAction* action = button(key))
        action->setEnabled(enabled);
}
