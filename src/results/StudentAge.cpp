#include "results/StudentAge.h"

#include <utility>

namespace StudentAge {

QDate dateOf(const QString& key) {
    if (key.size() != 8)
        return {};
    for (const QChar c : key) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    }
    return QDate(key.left(4).toInt(), key.mid(4, 2).toInt(), key.mid(6, 2).toInt());
}

std::optional<int> years(const QString& birthKey, const QString& onKey) {
    const QDate birth = dateOf(birthKey);
    const QDate on = dateOf(onKey);
    if (!birth.isValid() || !on.isValid() || birth > on)
        return std::nullopt;
    const bool beforeBirthday =
        std::pair(on.month(), on.day()) < std::pair(birth.month(), birth.day());
    return on.year() - birth.year() - (beforeBirthday ? 1 : 0);
}

} // namespace StudentAge
