#pragma once

#include "device/protocol/Replies.h"

#include <QList>
#include <optional>

namespace zr::session {

// The pages of one stored-values fetch, gathered into the records the meter holds: the pages the
// count asked for were read, and each holds only as many records as the count says.
class StoredValuesFetch {
public:
    // A fetch for the count of the live status; false when that count holds no values, so that
    // no page will be taken (the reply route drops them).
    bool begin(int count);
    // The records in number order, once every page the count needs came.
    std::optional<QList<protocol::StoredValueRecord>>
    receive(const protocol::StoredValuesPage& page);

private:
    int count_ = 0;
    std::optional<protocol::StoredValuesPage> first_;
    std::optional<protocol::StoredValuesPage> second_;
};

} // namespace zr::session
