#include "calibration/Library.h"

#include "calibration/Methods.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/SystemError.h"
#include "common/TextGrid.h"
#include "device/connection/MethodNames.h"

#include <QStringList>
#include <algorithm>
#include <new>

namespace zr::calibration {

namespace {

const QString kOpenError = QStringLiteral("Ошибка открытия файла БД.");

QString methodText(std::int32_t method) {
    return isCalibratedMethod(method) ? connection::methodName(method) : QStringLiteral("error");
}

} // namespace

Library::Library(connection::ControllerContext context, common::TextGrid& grid,
                 common::FileAccess& files, QString path, Dialogs dialogs)
    : context_(context), grid_(grid), files_(files), path_(std::move(path)),
      dialogs_(std::move(dialogs)) {}

void Library::reload() {
    entries_.clear();
    load();
}

void Library::showHeaders() {
    const QStringList headers = {QStringLiteral("№"),     QStringLiteral("Наименование в приборе"),
                                 QStringLiteral("Метод"), QStringLiteral("К1"),
                                 QStringLiteral("К2"),    QStringLiteral("Комментарий ")};
    for (int c = 0; c < headers.size(); ++c) {
        grid_.setCell(c, 0, headers.at(c));
    }
}

// Rows after the last entry keep what they showed. Any failure while loading, running out of
// memory included, leaves the file unread.
void Library::load() {
    try {
        const common::FileRead file = files_.read(path_, kMaxLibraryFileBytes);
        switch (file.outcome) {
        case common::FileRead::Outcome::Absent:
            fileUnread_ = false;
            context_.messages.inform(kOpenError);
            return;
        case common::FileRead::Outcome::Failed:
            reportUnread(file.error);
            return;
        case common::FileRead::Outcome::Read:
            entries_ = parseLibrary(file.bytes);
            fileUnread_ = false;
            showEntries();
            return;
        }
    } catch (const std::bad_alloc&) {
        reportUnread(common::outOfMemoryText());
    }
}

void Library::reportUnread(const QString& reason) {
    fileUnread_ = true;
    context_.messages.inform(kOpenError + QLatin1Char('\n') + reason + QLatin1Char('.'));
}

// A file whose content was never read is never written: the library in memory is not its content.
bool Library::refuseUnreadFile() {
    if (!fileUnread_) {
        return false;
    }
    context_.messages.inform(
        QStringLiteral("Файл библиотеки \"%1\" не прочитан, поэтому изменять библиотеку нельзя: "
                       "файл остаётся как есть. Исправьте файл и перезапустите программу.")
            .arg(QString::fromLatin1(kLibraryFileName)));
    return true;
}

void Library::showEntries() {
    const int shown = std::min<int>(static_cast<int>(entries_.size()), kGridRows - 1);
    for (int row = 1; row <= shown; ++row) {
        showRow(row, entries_[static_cast<std::size_t>(row - 1)]);
    }
}

QString Library::overflowText() const {
    const std::size_t rows = kGridRows - 1;
    if (entries_.size() <= rows) {
        return {};
    }
    return QStringLiteral("Записей в библиотеке: %1; в таблице показаны первые %2.")
        .arg(entries_.size())
        .arg(rows);
}

void Library::showRow(int row, const LibraryRecord& record) {
    grid_.setCell(0, row, QString::number(row));
    grid_.setCell(1, row, record.name());
    grid_.setCell(2, row, methodText(record.method()));
    grid_.setCell(3, row, QString::number(record.k1()));
    grid_.setCell(4, row, QString::number(record.k2()));
    grid_.setCell(5, row, record.comment());
}

std::optional<std::size_t> Library::selectedEntry() const {
    const int row = grid_.currentGridRow();
    if (row < 1 || row > static_cast<int>(entries_.size())) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row - 1);
}

void Library::createEntry() {
    const int activeTable = context_.state.status.activeTable;
    if (activeTable != 0) {
        context_.messages.inform(
            QStringLiteral("Перед созданием новой коррекции необходимо отключить калибровку №") +
            QString::number(activeTable));
        return;
    }
    if (refuseUnreadFile()) {
        return;
    }
    const std::optional<WizardResult> result = dialogs_.runWizard();
    if (!result) {
        return;
    }
    warnOfTextChanges(result->name, result->comment);
    LibraryRecord record;
    record.setIndex(static_cast<std::int32_t>(entries_.size()));
    record.setNameBytes(common::toCp1251(result->name));
    record.setMethod(result->method);
    record.setK1(result->k1);
    record.setK2(result->k2);
    record.setCommentBytes(common::toCp1251(result->comment));

    // The record goes after the file's last whole record; a partial one there is dropped. An
    // entry the file did not take is not kept: the library shows what the file holds.
    QByteArray file;
    const common::FileRead current = files_.read(path_, kMaxLibraryFileBytes);
    if (current.outcome == common::FileRead::Outcome::Failed) {
        context_.messages.inform(kOpenError + QLatin1Char('\n') + current.error + QLatin1Char('.'));
        return;
    }
    file = wholeRecords(current.bytes);
    file.append(reinterpret_cast<const char*>(record.bytes().data()),
                static_cast<qsizetype>(LibraryRecord::kSize));
    if (!files_.replace(path_, file).isEmpty()) {
        context_.messages.inform(kOpenError);
        return;
    }
    load();
}

void Library::deleteSelectedEntry() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry || refuseUnreadFile()) {
        return;
    }
    if (!context_.messages.confirm(QStringLiteral("Удалить запись ?"))) {
        return;
    }
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(*entry));
    for (int row = 1; row < kGridRows; ++row) {
        for (int c = 0; c < kGridColumns; ++c) {
            grid_.setCell(c, row, QString());
        }
    }
    saveAndShow();
}

void Library::editSelectedEntry() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry || refuseUnreadFile()) {
        return;
    }
    LibraryRecord& record = entries_[*entry];
    const LibraryEntryText shown = entryText(record);
    const std::optional<LibraryEntryText> edited = dialogs_.editEntry(shown);
    if (!edited) {
        return;
    }
    warnOfTextChanges(edited->name == shown.name ? QString() : edited->name,
                      edited->comment == shown.comment ? QString()
                                                       : commentFromMemo(edited->comment));
    applyEntryText(record, shown, *edited);
    saveAndShow();
}

// The grid shows the library even when the file cannot be written: the entries stay in memory.
void Library::saveAndShow() {
    showEntries();
    if (!files_.replace(path_, serializeLibrary(entries_)).isEmpty()) {
        context_.messages.inform(kOpenError);
        return;
    }
    fileUnread_ = false;
}

void Library::copySelectedEntryToMeter() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry) {
        return;
    }
    const LibraryRecord& record = entries_[*entry];
    if (record.method() != context_.state.status.method) {
        context_.messages.showError(
            QStringLiteral("Метод для записи не совпадает с текущим  методом !"));
        return;
    }
    int& lastSlot = context_.state.lastSlot;
    ++lastSlot;
    if (lastSlot > protocol::meter::kSlotsPerMethod) {
        context_.messages.showError(QStringLiteral("Нет свободного места для записи коррекции!"));
        return;
    }
    const QByteArray name = record.nameBytes();
    context_.commands.writeCalibrationEntry(
        {lastSlot, std::string(name.constData(), static_cast<std::size_t>(name.size())),
         record.method() & 0xFF, record.k1(), record.k2()});
}

void Library::save() {
    if (!files_.exists(path_) || fileUnread_) {
        return;
    }
    if (!files_.replace(path_, serializeLibrary(entries_)).isEmpty()) {
        context_.messages.inform(QStringLiteral("Ошибка открытия файла калибровок data.zr"));
    }
}

// One message for the save, naming the first text that the file cannot hold as typed.
void Library::warnOfTextChanges(const QString& name, const QString& comment) {
    QString change;
    if (!common::fitsCp1251(name)) {
        change = QStringLiteral("в наименовании \"%1\" знаки, которых нет в кодировке "
                                "windows-1251, будут заменены на \"?\"")
                     .arg(name);
    } else if (name.size() > static_cast<qsizetype>(LibraryRecord::kNameCapacity)) {
        change = QStringLiteral("наименование \"%1\" будет сокращено до %2 знаков")
                     .arg(name)
                     .arg(LibraryRecord::kNameCapacity);
    } else if (!common::fitsCp1251(comment)) {
        change = QStringLiteral("в комментарии знаки, которых нет в кодировке windows-1251, "
                                "будут заменены на \"?\"");
    } else if (comment.size() > static_cast<qsizetype>(LibraryRecord::kCommentCapacity)) {
        change = QStringLiteral("комментарий будет сокращён до %1 знаков")
                     .arg(LibraryRecord::kCommentCapacity);
    }
    if (!change.isEmpty()) {
        context_.messages.inform(QStringLiteral("При сохранении в библиотеку ") + change +
                                 QLatin1Char('.'));
    }
}

LibraryEntryText Library::entryText(const LibraryRecord& record) {
    return {record.name(), record.comment().replace(QStringLiteral("\r\n"), QStringLiteral("\n"))};
}

QString Library::commentFromMemo(const QString& memoText) {
    if (memoText.isEmpty()) {
        return {};
    }
    QString text = QString(memoText).replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    // A final line break ends the last line; it does not start an empty one.
    if (!text.endsWith(QStringLiteral("\r\n"))) {
        text += QStringLiteral("\r\n");
    }
    return text;
}

void Library::applyEntryText(LibraryRecord& record, const LibraryEntryText& shown,
                             const LibraryEntryText& edited) {
    if (edited.name != shown.name) {
        record.setNameBytes(common::toCp1251(edited.name.left(10)));
    }
    if (edited.comment != shown.comment) {
        record.setCommentBytes(common::toCp1251(commentFromMemo(edited.comment)));
    }
}

} // namespace zr::calibration
