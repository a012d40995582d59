#include "library/Money.h"

#include "library/LibraryCore.h"

#include <cmath>

Money Money::fromBaht(double baht) {
    return Money(std::llround(baht * 100.0));
}

Money Money::fromText(const QString& text) {
    std::int64_t satang = 0;
    if (!Library::ParseDecimal(text, 2, satang))
        return Money();
    return Money(satang);
}

Money Money::fromVariant(const QVariant& value) {
    if (value.isNull())
        return Money();
    if (value.typeId() == QMetaType::QString)
        return fromText(value.toString());
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? fromBaht(d) : Money();
}

QString Money::toText(bool withComma) const {
    return Library::FormatScaled(m_satang, 2, withComma);
}
