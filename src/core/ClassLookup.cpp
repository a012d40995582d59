#include "core/ClassLookup.h"

#include "core/Database.h"

namespace ClassLookup {

bool isStored(const QString& courseNo) {
    return Connection::shared()
        .scalar(QStringLiteral("Select 1 From CourseTable Where CourseNo = ?"), {courseNo})
        .isValid();
}

} // namespace ClassLookup
