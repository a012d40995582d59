#include "library/Database.h"
#include "library/Library.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Vadel"));
    QApplication::setApplicationName(QStringLiteral("Vadel"));
    try {
        Connection::shared().open();
    } catch (const DbError& error) {
        Library::MsgError(error.message());
        return 1;
    }
    return 0;
}
