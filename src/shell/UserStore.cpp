#include "shell/UserStore.h"

#include "core/Database.h"
#include "shell/MenuRightStore.h"

#include <sodium.h>

namespace UserStore {
namespace {

QString hashPassword(const QString& password) {
    if (sodium_init() < 0)
        throw DbError(QStringLiteral("เริ่มการเข้ารหัสผ่านไม่ได้"));
    const QByteArray bytes = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw DbError(QStringLiteral("หน่วยความจำไม่พอสำหรับเข้ารหัสผ่าน"));
    return QString::fromLatin1(hash);
}

} // namespace

bool any() {
    return Connection::shared().scalar(QStringLiteral("SELECT COUNT(*) FROM CtrlUser")).toInt() > 0;
}

void createWithAllRights(const QString& userId, const QString& name, const QString& password) {
    const QString hash = hashPassword(password);
    MenuRightStore::fillMenuTable();
    Transaction transaction;
    Connection::shared().exec(
        QStringLiteral("INSERT INTO CtrlUser (UserID, UserName, UserPassword) VALUES (?, ?, ?)"),
        {userId, name, hash});
    MenuRightStore::grantAll(userId);
    transaction.commit();
}

QString check(const QString& userId, const QString& password) {
    Query user = Connection::shared().exec(
        QStringLiteral("SELECT UserID, UserPassword FROM CtrlUser WHERE UserID = ? COLLATE NOCASE "
                       "ORDER BY UserID = ? DESC LIMIT 1"),
        {userId, userId});
    if (!user.next() || user.value(1).isNull() || sodium_init() < 0)
        return {};
    const QByteArray hash = user.value(1).toString().toLatin1();
    const QByteArray bytes = password.toUtf8();
    if (crypto_pwhash_str_verify(hash.constData(), bytes.constData(),
                                 static_cast<unsigned long long>(bytes.size())) != 0)
        return {};
    return user.value(0).toString();
}

QString name(const QString& userId) {
    return Connection::shared()
        .scalar(QStringLiteral("SELECT UserName FROM CtrlUser WHERE UserID = ?"), {userId})
        .toString();
}

} // namespace UserStore
