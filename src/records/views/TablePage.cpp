#include "records/views/TablePage.h"

#include "records/SelectionLists.h"
#include "ui/ElidingHeader.h"
#include "ui/FocusWheelComboBox.h"
#include "ui/Fonts.h"
#include "ui/Icons.h"
#include "ui/StringGrid.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QListView>
#include <QStandardItemModel>

namespace zr::records {

namespace {

struct ComboPlace {
    int left;
    int width;
};
constexpr ComboPlace kCombos[4] = {{2, 43}, {44, 69}, {114, 68}, {180, 117}};

struct Section {
    const char* caption;
    int width;
    bool centred;
    ui::IconKind icon;
};
const Section kSections[4] = {
    {"Записать значение", 160, true, ui::IconKind::WriteValue},
    {"Удалить значение", 150, true, ui::IconKind::DeleteValue},
    {"Сохранить таблицу", 160, true, ui::IconKind::Save},
    {"Печать", 100, false, ui::IconKind::Print},
};

} // namespace

TablePage::TablePage(common::GridModel& rows, QWidget* parent) : QWidget(parent) {
    auto* listsPanel = new QFrame(this);
    listsPanel->setObjectName(QStringLiteral("Panel4"));
    listsPanel->setGeometry(0, 0, 657, 24);
    for (int i = 0; i < 4; ++i) {
        auto* combo = new ui::FocusWheelComboBox(listsPanel);
        combo->setObjectName(QStringLiteral("ComboBox%1").arg(i + 1));
        combo->setEditable(false);
        combo->setGeometry(kCombos[i].left, 1, kCombos[i].width, 22);
        // Lists may grow long: never measure every item.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        if (auto* view = qobject_cast<QListView*>(combo->view())) {
            view->setUniformItemSizes(true);
        }
        combos_[i] = combo;
    }

    headerModel_ = new QStandardItemModel(0, 4, this);
    for (int i = 0; i < 4; ++i) {
        auto* item =
            new QStandardItem(ui::icon(kSections[i].icon), QString::fromUtf8(kSections[i].caption));
        item->setTextAlignment(kSections[i].centred ? Qt::AlignCenter
                                                    : Qt::AlignLeft | Qt::AlignVCenter);
        headerModel_->setHorizontalHeaderItem(i, item);
    }
    header_ = new ui::ElidingHeader(Qt::Horizontal, this);
    header_->setObjectName(QStringLiteral("HeaderControl1"));
    header_->setModel(headerModel_);
    header_->setSectionsClickable(true);
    header_->setHighlightSections(false);
    header_->setSectionResizeMode(QHeaderView::Fixed);
    header_->setStretchLastSection(false);
    for (int i = 0; i < 4; ++i) {
        header_->resizeSection(i, kSections[i].width);
    }
    // Bold, in whatever font the window gives the page.
    QFont bold;
    bold.setBold(true);
    header_->setFont(bold);
    header_->setGeometry(1, 25, 655, 22);
    connect(header_, &QHeaderView::sectionClicked, this, &TablePage::sectionClicked);

    auto* gridPanel = new QFrame(this);
    gridPanel->setObjectName(QStringLiteral("Panel3"));
    gridPanel->setGeometry(0, 0, 657, 389);
    gridPanel->lower();
    grid_ = new ui::StringGrid(rows, gridPanel);
    grid_->setObjectName(QStringLiteral("StringGrid3"));
    grid_->setGeometry(1, 47, 655, 338);
    grid_->setColumnWidths({42, 67, 68, 114, 114, 43, 107});
    grid_->setRowHeight(20);
    grid_->setEditable(false);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid_->setFont(ui::uiFont(11));
}

void TablePage::bindLists(SelectionLists& lists) {
    for (int i = 1; i <= SelectionLists::kLists; ++i) {
        QComboBox* combo = combos_[i - 1];
        SelectionList& list = lists.list(i);
        combo->setModel(&list.model());
        combo->setCurrentIndex(list.selectedIndex());
        connect(&list, &SelectionList::selectionChanged, combo, &QComboBox::setCurrentIndex);
        connect(combo, &QComboBox::activated, this, [this, &list, i](int index) {
            list.select(index);
            emit listItemPicked(i);
        });
    }
}

QComboBox* TablePage::comboBox(int index) const {
    return index >= 1 && index <= 4 ? combos_[index - 1] : nullptr;
}

} // namespace zr::records
