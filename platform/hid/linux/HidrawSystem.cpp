#include "platform/hid/linux/HidrawSystem.h"

namespace platform::hidraw {

bool sameDevice(const HidrawNode& a, const HidrawNode& b) {
    return a.path == b.path && a.productName == b.productName &&
           a.attributes.vendorId == b.attributes.vendorId &&
           a.attributes.productId == b.attributes.productId &&
           a.attributes.release == b.attributes.release &&
           a.featureReportLength == b.featureReportLength;
}

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Compares the digit runs starting at a[i] and b[j] as numbers and moves both indexes past
// them. Returns <0, 0 or >0.
int compareNumberRuns(const QString& a, qsizetype& i, const QString& b, qsizetype& j) {
    while (i < a.size() && a[i] == u'0' && i + 1 < a.size() && isDigit(a[i + 1])) {
        ++i;
    }
    while (j < b.size() && b[j] == u'0' && j + 1 < b.size() && isDigit(b[j + 1])) {
        ++j;
    }
    qsizetype endA = i;
    while (endA < a.size() && isDigit(a[endA])) {
        ++endA;
    }
    qsizetype endB = j;
    while (endB < b.size() && isDigit(b[endB])) {
        ++endB;
    }
    int result = 0;
    if (endA - i != endB - j) {
        result = endA - i < endB - j ? -1 : 1; // more significant digits: larger number
    } else {
        result = QStringView(a).sliced(i, endA - i).compare(QStringView(b).sliced(j, endB - j));
    }
    i = endA;
    j = endB;
    return result;
}

} // namespace

bool naturalPathLess(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const int order = compareNumberRuns(a, i, b, j);
            if (order != 0) {
                return order < 0;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j];
        }
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size()) {
        return j < b.size(); // a ran out first
    }
    return a < b; // equal as numbers ("hidraw02" and "hidraw2"): keep the order total
}

} // namespace platform::hidraw
