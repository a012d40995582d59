#include "shell/SchoolDataStore.h"

#include "core/Database.h"

namespace SchoolDataStore {

Clearing ClearAllData() {
    static const char16_t* const tables[] = {
        u"Course",    u"CourseTable",      u"Teacher",          u"TeacherCourse",
        u"Student",   u"StudentCourse",    u"Statement",        u"StatementSub",
        u"TimeStamp", u"TimeStampTeacher", u"TimeStampStudent", u"Expense",
    };
    Connection& db = Connection::shared();
    {
        Transaction transaction;
        for (const char16_t* table : tables)
            db.exec(QStringLiteral("DELETE FROM [") + QString::fromUtf16(table) +
                    QStringLiteral("]"));
        // Bill numbers start again; record codes do not (CodeSeries stays): another desk may
        // still show a row of a record deleted here, and its code must name no new record.
        db.exec(QStringLiteral("UPDATE CtrlSetup SET ShopBiLLNo = '00000'"));
        transaction.commit();
    }
    try {
        db.exec(QStringLiteral("VACUUM"));
    } catch (const DbError& error) {
        return {false, error.message()};
    }
    return {};
}

int PurgeStatements(const QString& lastDay) {
    Connection& db = Connection::shared();
    Transaction transaction;
    db.exec(QStringLiteral("DELETE FROM StatementSub WHERE StmID IN "
                           "(SELECT StmID FROM Statement WHERE StmDate <= ?)"),
            {lastDay});
    const Query deleted =
        db.exec(QStringLiteral("DELETE FROM Statement WHERE StmDate <= ?"), {lastDay});
    const int count = deleted.numRowsAffected();
    transaction.commit();
    return count;
}

} // namespace SchoolDataStore
