#include "calibration/Library.h"

#include "calibration/MeterCalibrations.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/SystemError.h"

#include <QStringList>
#include <algorithm>
#include <new>

namespace zr::calibration {

namespace {

const QString kOpenError = QStringLiteral("Ошибка открытия файла БД.");

// The calibration as the meter takes it from the entry.
protocol::CalibrationSlot meterEntry(const LibraryRecord& record) {
    const QByteArray name = record.nameBytes();
    return {0, std::string(name.constData(), static_cast<std::size_t>(name.size())),
            record.method() & 0xFF, record.k1(), record.k2()};
}

// Where `record` lies in `records`: at `position` when it is there, else at its first place.
std::optional<std::size_t> findRecord(const std::vector<LibraryRecord>& records,
                                      const LibraryRecord& record, std::size_t position) {
    if (position < records.size() && records[position] == record) {
        return position;
    }
    const auto found = std::find(records.begin(), records.end(), record);
    if (found == records.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - records.begin());
}

} // namespace

Library::Library(connection::ControllerContext context, MeterCalibrations& calibrations,
                 common::FileAccess& files, QString path, Dialogs dialogs)
    : context_(context), calibrations_(calibrations), files_(files), path_(std::move(path)),
      dialogs_(std::move(dialogs)) {}

void Library::reload() {
    entries_.clear();
    load();
}

void Library::showHeaders() {
    model_.showHeaders();
}

// Any failure while loading, running out of memory included, leaves the file unread.
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
            fileUnread_ = false;
            show(parseLibrary(file.bytes));
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

// One entry more would make a file that the next start refuses whole.
bool Library::refuseFullLibrary(std::size_t entries) {
    if (entries < static_cast<std::size_t>(common::kMaxLibraryEntries)) {
        return false;
    }
    context_.messages.inform(
        QStringLiteral("В библиотеке %1 записей, больше программа не читает: запись не добавлена !")
            .arg(entries));
    return true;
}

std::optional<Library::Records> Library::readFile() {
    const common::FileRead current = files_.read(path_, kMaxLibraryFileBytes);
    if (current.outcome == common::FileRead::Outcome::Failed) {
        context_.messages.inform(kOpenError + QLatin1Char('\n') + current.error + QLatin1Char('.'));
        return std::nullopt;
    }
    return parseLibrary(current.bytes);
}

bool Library::writeFile(Records records, Records onDisk) {
    const bool written = files_.replace(path_, serializeLibrary(records)).isEmpty();
    if (!written) {
        context_.messages.inform(kOpenError);
    }
    fileUnread_ = false;
    show(written ? std::move(records) : std::move(onDisk));
    return written;
}

// Rows after the last entry are emptied: they would offer entries the file no longer holds.
void Library::show(Records records) {
    entries_ = std::move(records);
    for (int row = 0; row < LibraryModel::kRows; ++row) {
        const auto entry = static_cast<std::size_t>(row);
        model_.setRow(row, entry < entries_.size() ? LibraryRow{row + 1, entries_[entry]}
                                                   : LibraryRow{});
    }
}

QString Library::overflowText() const {
    const std::size_t rows = LibraryModel::kRows;
    if (entries_.size() <= rows) {
        return {};
    }
    return QStringLiteral("Записей в библиотеке: %1; в таблице показаны первые %2.")
        .arg(entries_.size())
        .arg(rows);
}

std::optional<std::size_t> Library::selectedEntry() const {
    const int row = model_.currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size())) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(row);
}

void Library::createEntry() {
    const int activeTable = context_.state.status.activeTable;
    if (activeTable != 0) {
        context_.messages.inform(
            QStringLiteral("Перед созданием новой коррекции необходимо отключить калибровку №") +
            QString::number(activeTable));
        return;
    }
    if (refuseUnreadFile() || refuseFullLibrary(entries_.size())) {
        return;
    }
    const std::optional<WizardResult> result = dialogs_.runWizard();
    if (!result) {
        return;
    }
    warnOfTextChanges(result->name, result->comment);
    // The record goes after the file's last whole record as it is now; a partial one there is
    // dropped. An entry the file did not take is not kept: the library shows what the file holds.
    const std::optional<Records> onDisk = readFile();
    if (!onDisk) {
        return;
    }
    if (refuseFullLibrary(onDisk->size())) {
        show(*onDisk);
        return;
    }
    LibraryRecord record;
    record.setIndex(static_cast<std::int32_t>(onDisk->size()));
    record.setNameBytes(common::toCp1251(result->name));
    record.setMethod(result->method);
    record.setK1(result->k1);
    record.setK2(result->k2);
    record.setCommentBytes(common::toCp1251(result->comment));
    Records records = *onDisk;
    records.push_back(record);
    if (writeFile(std::move(records), *onDisk) && result->writeAsFirstSlot) {
        calibrations_.allowFirstSlotFor(meterEntry(record));
    }
}

void Library::deleteSelectedEntry() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry || refuseUnreadFile()) {
        return;
    }
    if (!context_.messages.confirm(QStringLiteral("Удалить запись ?"))) {
        return;
    }
    const LibraryRecord seen = entries_[*entry];
    const std::optional<Records> onDisk = readFile();
    if (!onDisk) {
        return;
    }
    const std::optional<std::size_t> at = findRecord(*onDisk, seen, *entry);
    if (!at) {
        show(*onDisk);
        context_.messages.inform(
            QStringLiteral("Этой записи в файле библиотеки уже нет: файл изменён другой "
                           "программой и прочитан заново !"));
        return;
    }
    Records records = *onDisk;
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(*at));
    writeFile(std::move(records), *onDisk);
}

void Library::editSelectedEntry() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry || refuseUnreadFile()) {
        return;
    }
    const LibraryRecord seen = entries_[*entry];
    const LibraryEntryText shown = entryText(seen);
    const std::optional<LibraryEntryText> edited = dialogs_.editEntry(shown);
    if (!edited) {
        return;
    }
    warnOfTextChanges(edited->name == shown.name ? QString() : edited->name,
                      edited->comment == shown.comment ? QString()
                                                       : commentFromMemo(edited->comment));
    LibraryRecord changed = seen;
    applyEntryText(changed, shown, *edited);
    if (changed == seen) {
        return;
    }
    const std::optional<Records> onDisk = readFile();
    if (!onDisk) {
        return;
    }
    Records records = *onDisk;
    if (const std::optional<std::size_t> at = findRecord(records, seen, *entry)) {
        records[*at] = changed;
        writeFile(std::move(records), *onDisk);
        return;
    }
    // Another program changed or removed the entry meanwhile: its version stays, and the user's
    // is kept beside it.
    if (refuseFullLibrary(records.size())) {
        show(*onDisk);
        return;
    }
    records.push_back(changed);
    if (writeFile(std::move(records), *onDisk)) {
        context_.messages.inform(
            QStringLiteral("Эта запись в файле библиотеки изменена другой программой: ваша "
                           "запись добавлена в конец библиотеки, прежняя оставлена !"));
    }
}

void Library::copySelectedEntryToMeter() {
    const std::optional<std::size_t> entry = selectedEntry();
    if (!entry) {
        return;
    }
    const LibraryRecord& record = entries_[*entry];
    const connection::SharedState& state = context_.state;
    if (record.method() != state.status.method) {
        context_.messages.showError(
            QStringLiteral("Метод для записи не совпадает с текущим  методом !"));
        return;
    }
    // Which slots are free is known only from the list read since the method or the meter last
    // changed. Without a meter the command only says so.
    if (context_.commands.meterConnected() &&
        !calibrations_.listRead(state.status.method, state.meterAttachment)) {
        context_.messages.showError(
            QStringLiteral("Список калибровок прибора ещё не прочитан после смены метода или "
                           "подключения прибора, повторите копирование через несколько секунд !"));
        return;
    }
    protocol::CalibrationSlot copy = meterEntry(record);
    const std::optional<int> slot = calibrations_.takeSlotForCopy(copy);
    if (!slot) {
        context_.messages.showError(QStringLiteral("Нет свободного места для записи коррекции!"));
        return;
    }
    copy.slot = *slot;
    context_.commands.writeCalibrationEntry(copy);
}

// One message for the save, naming every text that the file cannot hold as typed.
void Library::warnOfTextChanges(const QString& name, const QString& comment) {
    QStringList changes;
    if (!common::fitsCp1251(name)) {
        changes << QStringLiteral("в наименовании \"%1\" знаки, которых нет в кодировке "
                                  "windows-1251, будут заменены на \"?\"")
                       .arg(name);
    }
    if (name.size() > static_cast<qsizetype>(LibraryRecord::kNameCapacity)) {
        changes << QStringLiteral("наименование \"%1\" будет сокращено до %2 знаков")
                       .arg(name)
                       .arg(LibraryRecord::kNameCapacity);
    }
    if (!common::fitsCp1251(comment)) {
        changes << QStringLiteral("в комментарии знаки, которых нет в кодировке windows-1251, "
                                  "будут заменены на \"?\"");
    }
    if (comment.size() > static_cast<qsizetype>(LibraryRecord::kCommentCapacity)) {
        changes << QStringLiteral("комментарий будет сокращён до %1 знаков")
                       .arg(LibraryRecord::kCommentCapacity);
    }
    if (!changes.isEmpty()) {
        context_.messages.inform(QStringLiteral("При сохранении в библиотеку ") +
                                 changes.join(QStringLiteral("; ")) + QLatin1Char('.'));
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
