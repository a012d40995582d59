// Opening a school file: the connection opens the file, the schema tells whether it is
// a school of this program and brings it up to date. This sits above both, so that the
// connection knows nothing of schema steps.

#include "core/Database.h"
#include "core/Schema.h"

namespace {

void prepareSchool(Connection& connection, NewSchool newSchool) {
    const QString path = connection.path();
    const Schema::FileState state = Schema::inspect(connection, path);
    Schema::refuseUnlessUsable(state, path);
    if (state.kind == Schema::FileState::Kind::Empty && newSchool == NewSchool::Refuse)
        throw NoSchoolError(QStringLiteral("แฟ้มฐานข้อมูลยังว่างอยู่:\n") + path);
    connection.tune();
    if (state.version < Schema::currentVersion) // also a new school: version 0
        Schema::bringUpToDate(connection, path);
    connection.setJournalMode();
    Schema::ensureSettingsRow(connection);
}

} // namespace

Connection& Connection::shared() {
    static Connection connection(prepareSchool);
    return connection;
}
