#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringListModel>

namespace zr::records {

// One selection list: its items in display order and the selected item. The combo box that
// shows it uses the model and follows selectionChanged.
class SelectionList : public QObject {
    Q_OBJECT
public:
    explicit SelectionList(QObject* parent = nullptr);

    QStringListModel& model() { return model_; }

    int count() const { return static_cast<int>(model_.rowCount()); }
    QStringList items() const { return model_.stringList(); }
    // Empty outside the list.
    QString item(int index) const;
    void setItems(const QStringList& items);
    void setItem(int index, const QString& text);
    void insertItem(int index, const QString& text);
    void appendItem(const QString& text);
    void removeLast();

    // -1 when nothing is selected.
    int selectedIndex() const { return selected_; }
    // Empty when nothing is selected.
    QString selectedText() const { return item(selected_); }
    // An index outside the list selects nothing.
    void select(int index);

signals:
    void selectionChanged(int index);

private:
    QStringListModel model_;
    int selected_ = -1;
};

} // namespace zr::records
