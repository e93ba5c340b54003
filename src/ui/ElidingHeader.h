#pragma once

#include <QHeaderView>

namespace zr::ui {

// A header whose section texts that are wider than their section end in "…", so that a centred
// text keeps its beginning readable instead of losing both ends.
class ElidingHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit ElidingHeader(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

} // namespace zr::ui
