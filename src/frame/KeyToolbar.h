#pragma once

#include <QHash>
#include <QStringList>
#include <QToolBar>

// A toolbar whose buttons are addressed by key text ("New", "Save", ...).
class KeyToolbar : public QToolBar {
    Q_OBJECT
public:
    explicit KeyToolbar(QWidget* parent = nullptr);

    QAction* addButton(const QString& key, const QString& caption, const QString& toolTip);
    // "New", "Edit", "Delete", "Find", "Save" and "Cancel" with their usual captions and tips.
    QAction* addStandardButton(const QString& key);
    // Null when the toolbar has no such key.
    QAction* button(const QString& key) const;
    QStringList keys() const { return m_buttons.keys(); }
    bool isAvailable(const QString& key) const; // exists, visible and enabled
    void setVisible(const QString& key, bool visible);
    void setEnabled(const QString& key, bool enabled);

signals:
    void buttonClick(const QString& key);

private:
    QHash<QString, QAction*> m_buttons;
};
