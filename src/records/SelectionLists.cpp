#include "records/SelectionLists.h"

#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/FileLimits.h"
#include "common/HandlerRegistry.h"
#include "common/SystemError.h"
#include "records/ListText.h"

#include <QDir>
#include <new>

namespace zr::records {

namespace {
std::size_t slot(int list) {
    return static_cast<std::size_t>(list - 1);
}
} // namespace

SelectionLists::SelectionLists(connection::ControllerContext context, QString dataDir,
                               common::FileAccess& files, Input input)
    : context_(context), dataDir_(std::move(dataDir)), files_(files), input_(std::move(input)) {
    for (int i = 1; i <= kLists; ++i) {
        list(i).setItems(builtInItems(i));
    }
}

SelectionLists::SelectionLists(connection::ControllerContext context, QString dataDir, Input input)
    : SelectionLists(context, std::move(dataDir), std::make_unique<common::DiskFileAccess>(),
                     std::move(input)) {}

SelectionLists::SelectionLists(connection::ControllerContext context, QString dataDir,
                               std::unique_ptr<common::FileAccess> files, Input input)
    : context_(context), dataDir_(std::move(dataDir)), ownFiles_(std::move(files)),
      files_(*ownFiles_), input_(std::move(input)) {
    for (int i = 1; i <= kLists; ++i) {
        list(i).setItems(builtInItems(i));
    }
}

SelectionLists::~SelectionLists() = default;

QStringList SelectionLists::builtInItems(int list) {
    // "A-76", "A-80", "P 1" … "P 4" and the first letter of "PОСНЕФТЬ" are Latin letters.
    switch (list) {
    case 1:
        return {QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("100"),
                QStringLiteral("1000")};
    case 2:
        return {QStringLiteral("A-76"),  QStringLiteral("A-80"),  QStringLiteral("АИ-92"),
                QStringLiteral("АИ-93"), QStringLiteral("АИ-95"), QStringLiteral("АИ-96"),
                QStringLiteral("АИ-98")};
    case 3:
        return {QStringLiteral("P 1"), QStringLiteral("P 2"), QStringLiteral("P 3"),
                QStringLiteral("P 4")};
    case 4:
        return {QStringLiteral("ЛУКОЙЛ"),
                QStringLiteral("PОСНЕФТЬ"),
                QStringLiteral("ЮКОС"),
                QStringLiteral("БАШНЕФТЬ"),
                QStringLiteral("СИБНЕФТЬ"),
                QStringLiteral("АСТРАХАНЬГАЗПРОМ"),
                QStringLiteral("ТУАПСЕНЕФТЕПРОДУКТ")};
    default:
        return {};
    }
}

QString SelectionLists::fileName(int list) {
    return QStringLiteral("s%1.okt").arg(list);
}

QString SelectionLists::filePath(int list) const {
    return QDir(dataDir_).absoluteFilePath(fileName(list));
}

SelectionList& SelectionLists::list(int list) {
    return lists_[slot(list)];
}

const SelectionList& SelectionLists::list(int list) const {
    return lists_[slot(list)];
}

void SelectionLists::registerHandlers(common::HandlerRegistry& handlers) {
    handlers.add("selectionListChosen1", [this](int) { numberChosen(); });
    handlers.add("selectionListChosen2", [this](int) { gradeChosen(); });
    handlers.add("selectionListChosen3", [this](int) { tankChosen(); });
    handlers.add("selectionListChosen4", [this](int) { supplierChosen(); });
}

void SelectionLists::loadSelectionLists() {
    for (int i = 1; i <= kLists; ++i) {
        loadList(i);
    }
    for (int i = 1; i <= kLists; ++i) {
        list(i).appendItem(addItemText());
    }
    for (int i = 1; i <= kLists; ++i) {
        list(i).select(0);
    }
}

// Any failure while loading, running out of memory included, leaves that file unread; the
// other lists load as usual.
void SelectionLists::loadList(int index) {
    try {
        const common::FileRead file = files_.read(filePath(index), common::kMaxListFileBytes);
        switch (file.outcome) {
        case common::FileRead::Outcome::Absent:
            return;
        case common::FileRead::Outcome::Failed:
            reportUnreadable(index, file.error);
            return;
        case common::FileRead::Outcome::Read: {
            QStringList items = splitListText(file.bytes);
            // The last line is the add item written at the last close.
            if (!items.isEmpty()) {
                items.removeLast();
            }
            list(index).setItems(items);
            return;
        }
        }
    } catch (const std::bad_alloc&) {
        list(index).setItems(builtInItems(index));
        reportUnreadable(index, common::outOfMemoryText());
    }
}

void SelectionLists::reportUnreadable(int index, const QString& reason) {
    keepFile_[slot(index)] = true;
    context_.messages.showError(
        QStringLiteral("Не удалось прочитать файл списка \"%1\": %2.\n"
                       "В списке оставлены значения по умолчанию; файл не будет "
                       "перезаписан при выходе из программы.")
            .arg(QDir::toNativeSeparators(filePath(index)), reason));
}

void SelectionLists::saveSelectionLists() {
    // One message for the whole save.
    for (int i = 1; i <= kLists; ++i) {
        if (!keepFile_[slot(i)] && warnOfUnencodableItem(list(i).items())) {
            break;
        }
    }
    for (int i = 1; i <= kLists; ++i) {
        saveList(i);
    }
}

void SelectionLists::saveList(int index) {
    if (keepFile_[slot(index)]) {
        return;
    }
    const QString error = files_.replace(filePath(index), joinListText(list(index).items()));
    if (!error.isEmpty()) {
        context_.messages.showError(QStringLiteral("Не удалось сохранить файл списка \"%1\": %2.\n"
                                                   "Изменения этого списка не сохранены.")
                                        .arg(QDir::toNativeSeparators(filePath(index)), error));
    }
}

// Names the first of `items` that the file changes and the user was not told of yet; true when
// it told.
bool SelectionLists::warnOfUnencodableItem(const QStringList& items) {
    for (const QString& item : items) {
        if (!common::fitsCp1251(item) && !toldUnencodable_.contains(item)) {
            toldUnencodable_.insert(item);
            context_.messages.inform(
                QStringLiteral("Значение \"%1\" содержит знаки, которых нет в кодировке "
                               "windows-1251; в файле списка они будут заменены на \"?\".")
                    .arg(item));
            return true;
        }
    }
    return false;
}

void SelectionLists::numberChosen() {
    addItem(1);
}
void SelectionLists::gradeChosen() {
    addItem(2);
}
void SelectionLists::tankChosen() {
    addItem(3);
}
void SelectionLists::supplierChosen() {
    addItem(4);
}

void SelectionLists::addItem(int index) {
    SelectionList& target = list(index);
    if (target.selectedText() != addItemText()) {
        return;
    }
    if (index == 1) {
        if (const std::optional<int> number =
                input_.askNumber ? input_.askNumber() : std::nullopt) {
            target.insertItem(0, QString::number(*number));
        }
    } else if (const std::optional<QString> text =
                   input_.askText ? input_.askText() : std::nullopt) {
        target.insertItem(0, *text);
        // Saved at once, so that a run that crashes keeps it (the number list is in the
        // table's journal).
        if (!keepFile_[slot(index)]) {
            warnOfUnencodableItem({*text});
        }
        saveList(index);
    }
    target.select(0);
}

} // namespace zr::records
