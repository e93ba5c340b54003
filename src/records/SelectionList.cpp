#include "records/SelectionList.h"

namespace zr::records {

SelectionList::SelectionList(QObject* parent) : QObject(parent) {}

QString SelectionList::item(int index) const {
    if (index < 0 || index >= count()) {
        return {};
    }
    return model_.data(model_.index(index), Qt::DisplayRole).toString();
}

void SelectionList::setItems(const QStringList& items) {
    model_.setStringList(items);
    select(-1);
}

void SelectionList::setItem(int index, const QString& text) {
    if (index >= 0 && index < count()) {
        model_.setData(model_.index(index), text, Qt::EditRole);
    }
}

void SelectionList::insertItem(int index, const QString& text) {
    if (index < 0 || index > count()) {
        return;
    }
    model_.insertRows(index, 1);
    model_.setData(model_.index(index), text, Qt::EditRole);
    if (selected_ >= index) {
        select(selected_ + 1);
    }
}

void SelectionList::appendItem(const QString& text) {
    insertItem(count(), text);
}

void SelectionList::removeLast() {
    if (count() == 0) {
        return;
    }
    model_.removeRows(count() - 1, 1);
    if (selected_ >= count()) {
        select(-1);
    }
}

void SelectionList::select(int index) {
    selected_ = index >= 0 && index < count() ? index : -1;
    emit selectionChanged(selected_);
}

} // namespace zr::records
