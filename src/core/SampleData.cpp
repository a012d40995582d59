#include "core/SampleData.h"

#include "core/Database.h"
#include "core/Numbering.h"

#include <QFile>
#include <QRegularExpression>

namespace SampleData {

void load(const QString& scriptPath) {
    QFile file(scriptPath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw DbError(QStringLiteral("อ่านไฟล์ไม่ได้: ") + scriptPath);
    const QString script = QString::fromUtf8(file.readAll());
    static const QRegularExpression statementEnd(QStringLiteral(";\\s*\\n"));
    Transaction transaction;
    for (const QString& piece : script.split(statementEnd)) {
        QStringList lines;
        for (const QString& line : piece.split(QLatin1Char('\n'))) {
            if (!line.trimmed().startsWith(QStringLiteral("--")))
                lines << line;
        }
        const QString statement = lines.join(QLatin1Char('\n')).trimmed();
        if (!statement.isEmpty() && statement != QStringLiteral(";"))
            Connection::shared().exec(statement);
    }
    // The script's codes were not handed out by the numbering: the series go on above them.
    Numbering::recordStoredCodes(Connection::shared());
    transaction.commit();
}

} // namespace SampleData
