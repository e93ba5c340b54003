#include "app/ServiceKeyCounter.h"

#include <climits>

namespace zr::app {

bool ServiceKeyCounter::feed(const QString& typed) {
    bool reachedThree = false;
    for (QChar ch : typed) {
        if (ch == QLatin1Char('7')) {
            // Only the value 3 matters; saturating keeps endless 7s well defined.
            count_ = count_ == INT_MAX ? INT_MAX : count_ + 1;
        } else if (ch == QLatin1Char('1') && count_ == 1) {
            count_ = 2;
        } else if (ch == QLatin1Char('1') && count_ == 2) {
            count_ = 3;
        } else {
            count_ = 0;
        }
        reachedThree = reachedThree || count_ == 3;
    }
    return reachedThree;
}

} // namespace zr::app
