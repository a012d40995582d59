#include "core/ThaiOrder.h"

#include <QString>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <unicode/ucol.h>

namespace ThaiOrder {
namespace {

// ICU's Thai collator set as Qt's QCollator sets it for the Thai locale (normalised,
// tertiary strength, digits one by one, punctuation not ignored): the same order, without
// QCollator's copies of the texts. Each thread has its own, as ICU wants.
UCollator* collator() {
    struct Close {
        void operator()(UCollator* c) const { ucol_close(c); }
    };
    thread_local const std::unique_ptr<UCollator, Close> thai([] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = ucol_open("th", &status);
        ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(c, UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
        ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
        if (U_FAILURE(status)) {
            ucol_close(c);
            throw std::runtime_error(std::string("Thai collation: ") + u_errorName(status));
        }
        return c;
    }());
    return thai.get();
}

int sign(UCollationResult order) {
    return order == UCOL_LESS ? -1 : (order == UCOL_GREATER ? 1 : 0);
}

} // namespace

int compare(QStringView a, QStringView b) {
    if (a.isEmpty() || b.isEmpty())
        return a.isEmpty() ? (b.isEmpty() ? 0 : -1) : 1;
    const int order = sign(ucol_strcoll(
        collator(), reinterpret_cast<const UChar*>(a.utf16()), static_cast<int32_t>(a.size()),
        reinterpret_cast<const UChar*>(b.utf16()), static_cast<int32_t>(b.size())));
    return order != 0 ? order : a.compare(b);
}

int compareUtf8(const char* a, qsizetype lengthA, const char* b, qsizetype lengthB) {
    if (lengthA == lengthB && std::memcmp(a, b, static_cast<size_t>(lengthA)) == 0)
        return 0; // an index search mostly compares a key with itself
    if (lengthA == 0 || lengthB == 0)
        return lengthA == 0 ? -1 : 1;
    UErrorCode status = U_ZERO_ERROR;
    const int order = sign(ucol_strcollUTF8(collator(), a, static_cast<int32_t>(lengthA), b,
                                            static_cast<int32_t>(lengthB), &status));
    if (order != 0 && U_SUCCESS(status))
        return order;
    // Equal in dictionary order (seldom: texts differing in what the order ignores): the
    // code units of the texts decide, as for texts compared as strings.
    return compare(QString::fromUtf8(a, lengthA), QString::fromUtf8(b, lengthB));
}

} // namespace ThaiOrder
