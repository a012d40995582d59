#include "shell/StartUp.h"

#include "library/Database.h"
#include "library/Library.h"
#include "library/Seams.h"

#include <QDir>

namespace StartUp {

void openDatabase() {
    Connection& db = Connection::shared();
    db.open();
    Query settings =
        db.exec(QStringLiteral("SELECT ShopName, ShopImagePath FROM CtrlSetup LIMIT 1"));
    QString imagePath;
    if (settings.next()) {
        Library::gShopName = settings.value(0).toString();
        imagePath = settings.value(1).toString().trimmed();
    }
    if (imagePath.isEmpty())
        imagePath = QDir(Seams::programFolder()).filePath(QStringLiteral("images"));
    Library::gImagePath = imagePath;
    QDir().mkpath(imagePath);
}

} // namespace StartUp
