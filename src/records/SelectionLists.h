#pragma once

#include "device/connection/ControllerContext.h"
#include "records/SelectionList.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace zr::common {
class FileAccess;
class HandlerRegistry;
} // namespace zr::common

namespace zr::records {

// The item at the end of every list that asks for a new item.
inline const QString& addItemText() {
    static const QString text = QStringLiteral("Добавить...");
    return text;
}

// The four selection lists of the table page (ComboBox1 number, ComboBox2 grade, ComboBox3 tank,
// ComboBox4 supplier) and their files "s1.okt" … "s4.okt" in the data directory.
class SelectionLists {
public:
    static constexpr int kLists = 4;

    // How a new item is asked for: the number dialog and the text dialog. Nothing when the
    // user closed the dialog without Ok.
    struct Input {
        std::function<std::optional<int>()> askNumber;
        std::function<std::optional<QString>()> askText;
    };

    SelectionLists(connection::ControllerContext context, QString dataDir,
                   common::FileAccess& files, Input input);
    // With the files on disk.
    SelectionLists(connection::ControllerContext context, QString dataDir, Input input);
    ~SelectionLists();

    // The lists with their built-in items, before loadSelectionLists.
    static QStringList builtInItems(int list);
    static QString fileName(int list);
    QString filePath(int list) const;

    // list = 1..4.
    SelectionList& list(int list);
    const SelectionList& list(int list) const;

    void registerHandlers(common::HandlerRegistry& handlers);

    void loadSelectionLists();
    void saveSelectionLists();

    // Run when the user has picked an item; only the add item does anything.
    void numberChosen();
    void gradeChosen();
    void tankChosen();
    void supplierChosen();

private:
    SelectionLists(connection::ControllerContext context, QString dataDir,
                   std::unique_ptr<common::FileAccess> files, Input input);
    void addItem(int list);
    void loadList(int list);
    // A list whose file exists but was not read keeps its built-in items and its file.
    void reportUnreadable(int list, const QString& reason);
    void saveList(int list);
    bool warnOfUnencodableItem(const QStringList& items);

    connection::ControllerContext context_;
    QString dataDir_;
    std::unique_ptr<common::FileAccess> ownFiles_;
    common::FileAccess& files_;
    Input input_;
    std::array<SelectionList, kLists> lists_;
    // A file that exists but could not be read keeps the user's items: it is not written over.
    std::array<bool, kLists> keepFile_{};
    // The items the user was told the list files change; told once each.
    QSet<QString> toldUnencodable_;
};

} // namespace zr::records
