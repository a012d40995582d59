#include "shell/WindowRegistry.h"

#include <QHash>

namespace {

struct Entry {
    std::function<QWidget*()> create;
    bool singleInstance = false;
};

QHash<QString, Entry>& registry() {
    static QHash<QString, Entry> entries;
    return entries;
}

} // namespace

void registerWindow(const QString& menuName, std::function<QWidget*()> create,
                    bool singleInstance) {
    registry().insert(menuName, Entry{std::move(create), singleInstance});
}

bool isWindowRegistered(const QString& menuName) {
    return registry().contains(menuName);
}

QStringList registeredWindows() {
    QStringList names = registry().keys();
    names.sort();
    return names;
}

bool isSingleInstanceWindow(const QString& menuName) {
    return registry().value(menuName).singleInstance;
}

QWidget* createRegisteredWindow(const QString& menuName) {
    const auto it = registry().constFind(menuName);
    return it == registry().cend() ? nullptr : it->create();
}
