#include "shell/StartUp.h"

#include "core/Database.h"
#include "core/Seams.h"
#include "frame/Library.h"

#include <QDir>
#include <QFileInfo>

namespace StartUp {
namespace {

bool isDefaultDatabase(const QString& path) {
    return QFileInfo(path).absoluteFilePath() ==
           QFileInfo(Seams::defaultDatabasePath()).absoluteFilePath();
}

// A mistyped name or an empty file must not silently become an empty school.
bool openOrMakeSchool(Connection& db) {
    const QString path = Seams::databasePath();
    if (isDefaultDatabase(path)) {
        db.open(NewSchool::Make);
        return true;
    }
    try {
        db.open(NewSchool::Refuse);
        return true;
    } catch (const NoSchoolError&) {
        const QString question = QStringLiteral("ไม่พบฐานข้อมูลในแฟ้ม\n") +
                                 QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()) +
                                 QStringLiteral("\nสร้างฐานข้อมูลใหม่ที่ว่างเปล่าในแฟ้มนี้หรือไม่");
        if (Library::MsgAsk(question, false) != Library::vbYes)
            return false;
    }
    db.open(NewSchool::Make);
    return true;
}

} // namespace

bool openDatabase() {
    Connection& db = Connection::shared();
    if (!openOrMakeSchool(db))
        return false;
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
    return true;
}

} // namespace StartUp
