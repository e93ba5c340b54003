#include "calibration/Library.h"

#include "calibration/LibraryFakes.h"
#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "device/protocol/Commands.h"
#include "ui/StringGrid.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

const QString kLibraryPath = QStringLiteral("/data/data.zr");

// A record as another program might have written it, garbage after the texts included.
QByteArray recordBytes(std::int32_t index, const QByteArray& name, std::int32_t method,
                       std::int16_t k1, std::int16_t k2, const QByteArray& comment,
                       char filler = '\x5A') {
    QByteArray r(static_cast<qsizetype>(LibraryRecord::kSize), filler);
    auto put32 = [&](int at, std::int32_t v) {
        for (int i = 0; i < 4; ++i) {
            r[at + i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
        }
    };
    auto put16 = [&](int at, std::int16_t v) {
        r[at] = static_cast<char>(static_cast<std::uint16_t>(v) & 0xFF);
        r[at + 1] = static_cast<char>(static_cast<std::uint16_t>(v) >> 8);
    };
    put32(0, index);
    r[4] = static_cast<char>(name.size());
    r.replace(5, name.size(), name);
    put32(15, method);
    put16(19, k1);
    put16(21, k2);
    r[23] = static_cast<char>(comment.size());
    r.replace(24, comment.size(), comment);
    return r;
}

class LibraryTest : public ::testing::Test {
protected:
    void create() {
        library = std::make_unique<Library>(t.context(), t.calibrations, files, kLibraryPath,
                                            Library::Dialogs{[this] {
                                                                 ++wizardRuns;
                                                                 return wizardResult;
                                                             },
                                                             [this](const LibraryEntryText& shown) {
                                                                 shownInEditor = shown;
                                                                 return editorAnswer;
                                                             }});
        grid = std::make_unique<ui::StringGrid>(library->model());
        library->reload();
        library->showHeaders();
    }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < LibraryRow::kColumns; ++c) {
            cells << grid->cell(c, r);
        }
        return cells;
    }
    // The write calibration entry commands sent, decoded.
    std::vector<protocol::CalibrationSlot> entriesSent() {
        std::vector<protocol::CalibrationSlot> sent;
        for (const auto& w : t.port.writes) {
            if (w.size() > 1 && w[1] == protocol::encodeWriteCalibrationEntry({})[1]) {
                sent.push_back(*protocol::decodeCalibrationEntry(w.data() + 1, w.size() - 1));
            }
        }
        return sent;
    }

    test::ControllerTestContext t;
    test::MemoryFiles files;
    std::optional<WizardResult> wizardResult;
    int wizardRuns = 0;
    std::optional<LibraryEntryText> editorAnswer;
    std::optional<LibraryEntryText> shownInEditor;
    std::unique_ptr<Library> library;
    // The library's rows as the window's grid shows them.
    std::unique_ptr<ui::StringGrid> grid;
};

const QByteArray kFirst = recordBytes(0, "FIRST", 1, 812, 231, "one\r\n");
const QByteArray kSecond = recordBytes(1, "SECOND", 2, 938, 88, "two\r\n");
const QByteArray kThird = recordBytes(2, "THIRD", 1, 1000, 0, "");

TEST_F(LibraryTest, AMissingFileGivesTheMessageAndAnEmptyFileDoesNot) {
    create();
    EXPECT_EQ(t.messages.informed, QStringList{QStringLiteral("Ошибка открытия файла БД.")});
    EXPECT_TRUE(library->entries().empty());
    EXPECT_EQ(row(0),
              (QStringList{"№", "Наименование в приборе", "Метод", "К1", "К2", "Комментарий "}));
    EXPECT_EQ(row(1), QStringList(6));

    t.messages.informed.clear();
    files.files.insert(kLibraryPath, QByteArray());
    create();
    EXPECT_TRUE(t.messages.informed.isEmpty());
    EXPECT_TRUE(library->entries().empty());
}

TEST_F(LibraryTest, WholeRecordsOnlyCount) {
    for (int size : {558, 600}) {
        files.files.insert(kLibraryPath, kFirst + kSecond + QByteArray(size - 558, '\x01'));
        create();
        ASSERT_EQ(library->entries().size(), 2U) << size;
        EXPECT_EQ(row(1),
                  (QStringList{"1", "FIRST", "Исследовательский метод", "812", "231", "one\r\n"}));
        EXPECT_EQ(row(2), (QStringList{"2", "SECOND", "Моторный метод", "938", "88", "two\r\n"}));
        EXPECT_EQ(row(3), QStringList(6));
    }
}

TEST_F(LibraryTest, ARecordBuiltByteByByteLoadsAndIsWrittenBackIdentical) {
    const QByteArray record = recordBytes(7, QByteArray("\xC0\xC8-95", 5), 3, -5, 300,
                                          QByteArray("line1\r\n\xFFline2\r\n", 15), '\xEE');
    files.files.insert(kLibraryPath, record + kFirst);
    create();
    ASSERT_EQ(library->entries().size(), 2U);
    const LibraryRecord& r = library->entries().front();
    EXPECT_EQ(r.index(), 7);
    EXPECT_EQ(r.name(), QStringLiteral("АИ-95"));
    EXPECT_EQ(r.method(), 3);
    EXPECT_EQ(r.k1(), -5);
    EXPECT_EQ(r.k2(), 300);
    EXPECT_EQ(r.comment(), QStringLiteral("line1\r\nяline2\r\n"));
    EXPECT_EQ(row(1), (QStringList{"1", "АИ-95", "Цетановое число", "-5", "300",
                                   QStringLiteral("line1\r\nяline2\r\n")}));

    // Another entry's change writes it back as it was.
    grid->setCurrentGridRow(2);
    library->deleteSelectedEntry();
    EXPECT_EQ(files.file(kLibraryPath), record);
}

TEST_F(LibraryTest, OddFieldsAreShownWithoutReadingPastTheRecord) {
    // Length bytes beyond the fields and a method no one knows.
    QByteArray record = recordBytes(0, "ABCDEFGHIJ", 9, 0, 0, QByteArray(255, 'c'));
    record[4] = static_cast<char>(200);
    files.files.insert(kLibraryPath, record + record);
    create();
    ASSERT_EQ(library->entries().size(), 2U);
    EXPECT_EQ(row(1)[1], QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(row(1)[2], QStringLiteral("error"));
    EXPECT_EQ(row(1)[5].size(), 255);
    grid->setCurrentGridRow(2);
    library->deleteSelectedEntry();
    EXPECT_EQ(files.file(kLibraryPath), record);
}

TEST_F(LibraryTest, DeleteRemovesOneEntryAfterConfirmation) {
    files.files.insert(kLibraryPath, kFirst + kSecond + kThird);
    create();
    grid->setCurrentGridRow(2);
    t.messages.answer = false;
    library->deleteSelectedEntry();
    EXPECT_EQ(t.messages.questions, QStringList{QStringLiteral("Удалить запись ?")});
    EXPECT_EQ(library->entries().size(), 3U);
    EXPECT_EQ(files.replaced.size(), 0);

    t.messages.answer = true;
    library->deleteSelectedEntry();
    EXPECT_EQ(files.file(kLibraryPath), kFirst + kThird);
    EXPECT_EQ(row(1)[1], QStringLiteral("FIRST"));
    EXPECT_EQ(row(2)[1], QStringLiteral("THIRD"));
    EXPECT_EQ(row(2)[0], QStringLiteral("2"));
    EXPECT_EQ(row(3), QStringList(6));

    // A row past the entries deletes nothing and asks nothing.
    grid->setCurrentGridRow(3);
    library->deleteSelectedEntry();
    EXPECT_EQ(t.messages.questions.size(), 2);
    EXPECT_EQ(library->entries().size(), 2U);
}

TEST_F(LibraryTest, CreateIsRefusedWhileACalibrationIsInForce) {
    files.files.insert(kLibraryPath, QByteArray());
    create();
    t.state.status.activeTable = 3;
    library->createEntry();
    EXPECT_EQ(t.messages.informed,
              QStringList{QStringLiteral(
                  "Перед созданием новой коррекции необходимо отключить калибровку №3")});
    EXPECT_EQ(wizardRuns, 0);
    EXPECT_EQ(files.file(kLibraryPath), QByteArray());
}

TEST_F(LibraryTest, CreateAppendsAfterTheLastWholeRecordAndReloads) {
    files.files.insert(kLibraryPath, kFirst + kSecond + QByteArray(100, '\x01'));
    create();
    wizardResult = WizardResult{QStringLiteral("Korrection"), 1, 812, 231,
                                QStringLiteral("Бензин\r\n") + QString(300, QLatin1Char('x'))};
    library->createEntry();
    EXPECT_EQ(wizardRuns, 1);
    ASSERT_EQ(files.file(kLibraryPath)->size(), 3 * 279);
    EXPECT_EQ(files.file(kLibraryPath)->left(558), kFirst + kSecond);
    ASSERT_EQ(library->entries().size(), 3U);
    const LibraryRecord& made = library->entries().back();
    EXPECT_EQ(made.index(), 2);
    EXPECT_EQ(made.name(), QStringLiteral("Korrection"));
    EXPECT_EQ(made.method(), 1);
    EXPECT_EQ(made.k1(), 812);
    EXPECT_EQ(made.k2(), 231);
    EXPECT_EQ(made.commentBytes().size(), 255);
    EXPECT_TRUE(made.commentBytes().startsWith(common::toCp1251(QStringLiteral("Бензин\r\nxx"))));
    EXPECT_EQ(row(3)[1], QStringLiteral("Korrection"));

    // Cancelling the wizard creates nothing.
    wizardResult.reset();
    library->createEntry();
    EXPECT_EQ(library->entries().size(), 3U);
    EXPECT_EQ(files.file(kLibraryPath)->size(), 3 * 279);
}

TEST_F(LibraryTest, CreateWithoutAFileMakesOne) {
    create();
    wizardResult = WizardResult{QStringLiteral("A"), 2, 1000, 0, QString()};
    library->createEntry();
    ASSERT_TRUE(files.file(kLibraryPath).has_value());
    EXPECT_EQ(files.file(kLibraryPath)->size(), 279);
    EXPECT_EQ(library->entries().size(), 1U);
}

// An entry the file refused is not kept: Edit, Copy or Delete on its row would act on nothing
// the file holds.
TEST_F(LibraryTest, CreateThatCannotWriteKeepsNoEntry) {
    files.files.insert(kLibraryPath, kFirst);
    create();
    files.unwritable << kLibraryPath;
    wizardResult = WizardResult{QStringLiteral("B"), 1, 1, 2, QString()};
    library->createEntry();
    EXPECT_EQ(t.messages.informed, QStringList{QStringLiteral("Ошибка открытия файла БД.")});
    EXPECT_EQ(files.file(kLibraryPath), kFirst);
    EXPECT_EQ(library->entries().size(), 1U);
    EXPECT_EQ(row(2), QStringList(6));
}

// A file whose content was never read (no access, a FIFO, too large, memory ran out) is never
// written, whatever the user does; each action that would write it says so.
TEST_F(LibraryTest, AFileThatWasNotReadIsNeverWritten) {
    const std::vector<std::pair<const char*, void (*)(test::MemoryFiles&)>> failures = {
        {"read error", [](test::MemoryFiles& f) { f.unreadable << kLibraryPath; }},
        {"out of memory", [](test::MemoryFiles& f) { f.exhausting << kLibraryPath; }},
    };
    for (const auto& [name, fail] : failures) {
        SCOPED_TRACE(name);
        files = test::MemoryFiles();
        files.files.insert(kLibraryPath, kFirst + kSecond);
        fail(files);
        t.messages.informed.clear();
        create();
        ASSERT_EQ(t.messages.informed.size(), 1);
        EXPECT_TRUE(
            t.messages.informed[0].startsWith(QStringLiteral("Ошибка открытия файла БД.\n")))
            << t.messages.informed[0].toStdString();
        files.unreadable.clear();
        files.exhausting.clear();

        wizardResult = WizardResult{QStringLiteral("NEW"), 1, 1, 2, QString()};
        library->createEntry();
        grid->setCurrentGridRow(1);
        library->deleteSelectedEntry();
        editorAnswer = LibraryEntryText{QStringLiteral("X"), QString()};
        library->editSelectedEntry();

        EXPECT_EQ(wizardRuns, 0);
        EXPECT_EQ(files.replaced.size(), 0);
        EXPECT_EQ(files.file(kLibraryPath), kFirst + kSecond);
        EXPECT_EQ(t.messages.informed.size(), 2); // Create refused; the empty grid offers no row
    }
}

// Texts the file cannot hold as typed are reported in one message per save, which names every
// change.
TEST_F(LibraryTest, ATextTheFileChangesIsReportedOncePerSave) {
    files.files.insert(kLibraryPath, kFirst);
    create();
    grid->setCurrentGridRow(1);
    editorAnswer = LibraryEntryText{QStringLiteral("Ωmega ü"),
                                    QStringLiteral("✓ ") + QString(300, QLatin1Char('c'))};
    library->editSelectedEntry();
    EXPECT_EQ(t.messages.informed,
              QStringList{QStringLiteral(
                  "При сохранении в библиотеку в наименовании \"Ωmega ü\" знаки, которых нет в "
                  "кодировке windows-1251, будут заменены на \"?\"; в комментарии знаки, которых "
                  "нет в кодировке windows-1251, будут заменены на \"?\"; комментарий будет "
                  "сокращён до 255 знаков.")});
    EXPECT_EQ(row(1)[1], QStringLiteral("?mega ?"));

    wizardResult = WizardResult{QStringLiteral("B"), 1, 1, 2, QString(256, 'k')};
    library->createEntry();
    ASSERT_EQ(t.messages.informed.size(), 2);
    EXPECT_TRUE(t.messages.informed[1].contains(QStringLiteral("255")));

    // Texts that fit say nothing.
    editorAnswer = LibraryEntryText{QStringLiteral("АИ-92"), QStringLiteral("№ 5")};
    library->editSelectedEntry();
    EXPECT_EQ(t.messages.informed.size(), 2);
}

TEST_F(LibraryTest, CopiesGoToTheNextFreeSlotsUntilThereIsNoRoom) {
    files.files.insert(kLibraryPath, recordBytes(0, "ABC", 1, 812, 231, ""));
    create();
    t.state.status.method = 1;
    test::readMeterList(t.calibrations, 1, {1, 2});
    EXPECT_EQ(t.calibrations.lastSlot(), 2);
    grid->setCurrentGridRow(1);
    library->copySelectedEntryToMeter();
    library->copySelectedEntryToMeter();
    const auto sent = entriesSent();
    ASSERT_EQ(sent.size(), 2U);
    EXPECT_EQ(sent[0], (protocol::CalibrationSlot{3, "ABC       ", 1, 812, 231}));
    EXPECT_EQ(sent[1].slot, 4);
    EXPECT_EQ(t.calibrations.lastSlot(), 4);
    EXPECT_TRUE(t.messages.errors.isEmpty());

    library->copySelectedEntryToMeter();
    EXPECT_EQ(t.calibrations.lastSlot(), 5);
    library->copySelectedEntryToMeter();
    EXPECT_EQ(t.calibrations.lastSlot(), 6);
    EXPECT_EQ(t.messages.errors,
              QStringList(2, QStringLiteral("Нет свободного места для записи коррекции!")));
    EXPECT_EQ(entriesSent().size(), 2U);
}

TEST_F(LibraryTest, AnEntryOfAnotherMethodIsNotCopied) {
    files.files.insert(kLibraryPath, kSecond);
    create();
    t.state.status.method = 1;
    test::readMeterList(t.calibrations, 1, {1});
    grid->setCurrentGridRow(1);
    library->copySelectedEntryToMeter();
    EXPECT_EQ(t.messages.errors,
              QStringList{QStringLiteral("Метод для записи не совпадает с текущим  методом !")});
    EXPECT_EQ(t.calibrations.lastSlot(), 1);
    EXPECT_TRUE(t.port.writes.empty());
}

TEST_F(LibraryTest, CopyWithoutAMeterOnlyReportsIt) {
    files.files.insert(kLibraryPath, kFirst);
    create();
    t.state.status.method = 1;
    t.port.isConnected = false;
    grid->setCurrentGridRow(1);
    library->copySelectedEntryToMeter();
    EXPECT_EQ(t.notConnected, 1);
    EXPECT_EQ(t.calibrations.lastSlot(), 1);
    EXPECT_TRUE(t.port.writes.empty());
}

TEST_F(LibraryTest, EditChangesOnlyWhatTheUserChanged) {
    const QByteArray earlier = recordBytes(4, "OLD", 1, 5, 6, "a\r\nb\r\n", '\x77');
    files.files.insert(kLibraryPath, earlier);
    create();
    grid->setCurrentGridRow(1);

    library->editSelectedEntry(); // cancelled
    ASSERT_TRUE(shownInEditor.has_value());
    EXPECT_EQ(*shownInEditor, (LibraryEntryText{QStringLiteral("OLD"), QStringLiteral("a\nb\n")}));
    EXPECT_EQ(files.replaced.size(), 0);

    editorAnswer = shownInEditor;
    library->editSelectedEntry();
    EXPECT_EQ(files.file(kLibraryPath), earlier);

    editorAnswer = LibraryEntryText{QStringLiteral("NEWNAME"), QStringLiteral("first\nsecond")};
    library->editOnDoubleClick();
    const LibraryRecord& r = library->entries().front();
    EXPECT_EQ(r.name(), QStringLiteral("NEWNAME"));
    EXPECT_EQ(r.comment(), QStringLiteral("first\r\nsecond\r\n"));
    EXPECT_EQ(r.index(), 4);
    EXPECT_EQ(files.file(kLibraryPath), serializeLibrary(library->entries()));
    EXPECT_EQ(row(1)[1], QStringLiteral("NEWNAME"));
}

TEST_F(LibraryTest, TheMemoTextBecomesCrLfLines) {
    EXPECT_EQ(Library::commentFromMemo(QString()), QString());
    EXPECT_EQ(Library::commentFromMemo("abc"), QStringLiteral("abc\r\n"));
    EXPECT_EQ(Library::commentFromMemo("abc\n"), QStringLiteral("abc\r\n"));
    EXPECT_EQ(Library::commentFromMemo("a\n\nb"), QStringLiteral("a\r\n\r\nb\r\n"));
    EXPECT_EQ(Library::commentFromMemo("a\n\n"), QStringLiteral("a\r\n\r\n"));
}

TEST_F(LibraryTest, EntriesBeyondTheGridStayInTheLibrary) {
    QByteArray file;
    for (int i = 0; i < 120; ++i) {
        file += recordBytes(i, QByteArray::number(i), 1, static_cast<std::int16_t>(i), 0, "");
    }
    files.files.insert(kLibraryPath, file);
    create();
    EXPECT_EQ(library->entries().size(), 120U);
    EXPECT_EQ(row(99)[1], QStringLiteral("98"));
    EXPECT_EQ(library->overflowText(),
              QStringLiteral("Записей в библиотеке: 120; в таблице показаны первые 99."));
    grid->setCurrentGridRow(1);
    library->deleteSelectedEntry();
    EXPECT_EQ(files.file(kLibraryPath), file.mid(279));
}

TEST_F(LibraryTest, AnyBytesLoadAndAreWrittenBackAsTheyWere) {
    // Every byte value in names and comments, and ten megabytes of noise with a partial tail.
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b) {
        everyByte.append(static_cast<char>(b));
    }
    QByteArray file = everyByte + everyByte.left(23);
    std::uint32_t seed = 6040;
    while (file.size() < 10 * 1024 * 1024) {
        seed = seed * 1664525U + 1013904223U;
        file.append(static_cast<char>(seed >> 24));
    }
    files.files.insert(kLibraryPath, file);
    create();
    ASSERT_EQ(library->entries().size(), static_cast<std::size_t>(file.size() / 279));
    EXPECT_EQ(library->entries().front().nameBytes(), everyByte.mid(5, 4));
    EXPECT_EQ(library->entries().front().commentBytes(), everyByte.mid(24, 23));
    for (const LibraryRecord& r : library->entries()) {
        ASSERT_LE(r.nameBytes().size(), 10);
    }
    grid->setCurrentGridRow(1);
    library->deleteSelectedEntry();
    EXPECT_EQ(files.file(kLibraryPath), wholeRecords(file).mid(279));
}

// A deletion the file did not take is not shown: the window shows what the file keeps.
TEST_F(LibraryTest, ADeletionTheFileRefusedLeavesTheEntryShown) {
    files.files.insert(kLibraryPath, kFirst + kSecond);
    create();
    files.unwritable << kLibraryPath;
    grid->setCurrentGridRow(1);
    library->deleteSelectedEntry();
    EXPECT_EQ(t.messages.informed, QStringList{QStringLiteral("Ошибка открытия файла БД.")});
    EXPECT_EQ(library->entries(), parseLibrary(kFirst + kSecond));
    EXPECT_EQ(row(1)[1], QStringLiteral("FIRST"));
    EXPECT_EQ(files.file(kLibraryPath), kFirst + kSecond);
}

// Another program on the same library, or a backup put back while the window was open: each
// change is made to the file as it is now, the user's entry found by its bytes; an entry that is
// no longer there is neither deleted nor written over.
TEST_F(LibraryTest, AChangeIsMadeToTheFileAsItIsOnDisk) {
    const QByteArray newA = recordBytes(2, "NEWA", 1, 900, 10, "", '\0');
    const QByteArray renamed = recordBytes(1, "RENAMED", 2, 938, 88, "two\r\n");
    const QString gone = QStringLiteral("Этой записи в файле библиотеки уже нет: файл изменён "
                                        "другой программой и прочитан заново !");
    const QString keptBoth = QStringLiteral(
        "Эта запись в файле библиотеки изменена другой программой: ваша запись добавлена в конец "
        "библиотеки, прежняя оставлена !");
    // The user deletes or edits SECOND, row 2; `backup` is put back meanwhile, or, when empty,
    // another library on the same file creates NEWA.
    const struct {
        QByteArray backup;
        bool edit;
        QByteArray file;
        QStringList informed;
    } cases[] = {{{}, false, kFirst + newA, {}},
                 {{}, true, kFirst + renamed + newA, {}},
                 {kSecond + kThird + kFirst, false, kThird + kFirst, {}},
                 {kThird + kFirst, false, kThird + kFirst, {gone}},
                 {kThird + kFirst, true, kThird + kFirst + renamed, {keptBoth}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.size() / 279);
        files = test::MemoryFiles();
        files.files.insert(kLibraryPath, kFirst + kSecond);
        create();
        if (c.backup.isEmpty()) {
            test::ControllerTestContext other;
            Library a(other.context(), other.calibrations, files, kLibraryPath,
                      {[] {
                           return WizardResult{QStringLiteral("NEWA"), 1, 900, 10, {}};
                       },
                       {}});
            a.reload();
            a.createEntry();
        } else {
            files.files.insert(kLibraryPath, c.backup);
        }
        t.messages.informed.clear();
        grid->setCurrentGridRow(2);
        editorAnswer = LibraryEntryText{QStringLiteral("RENAMED"), QStringLiteral("two\n")};
        c.edit ? library->editSelectedEntry() : library->deleteSelectedEntry();
        EXPECT_EQ(files.file(kLibraryPath), c.file);
        EXPECT_EQ(library->entries(), parseLibrary(c.file));
        EXPECT_EQ(t.messages.informed, c.informed);
    }
}

// A library as large as the program reads takes no further entry: refused before the wizard
// runs, or, when the file grew since it was read, before anything is written.
TEST_F(LibraryTest, AFullLibraryTakesNoFurtherEntry) {
    const QByteArray full = kThird.repeated(200000);
    const struct {
        const char* what;
        QByteArray atStart;
        int wizardRuns;
    } cases[] = {{"full when read", full, 0}, {"filled by another program since", kFirst, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        files = test::MemoryFiles();
        files.files.insert(kLibraryPath, c.atStart);
        create();
        files.files.insert(kLibraryPath, full);
        wizardRuns = 0;
        t.messages.informed.clear();
        wizardResult = WizardResult{QStringLiteral("MORE"), 1, 1, 2, QString()};
        library->createEntry();
        EXPECT_EQ(wizardRuns, c.wizardRuns);
        EXPECT_EQ(t.messages.informed,
                  QStringList{QStringLiteral("В библиотеке 200000 записей, больше программа не "
                                             "читает: запись не добавлена !")});
        EXPECT_EQ(files.replaced.size(), 0);
        EXPECT_EQ(files.file(kLibraryPath)->size(), full.size());
    }
}

// Which slots are free is known only from a whole read of the current method's list from the
// meter attached now; until then a copy is refused with the reason and nothing is sent.
TEST_F(LibraryTest, ACopyWaitsForTheListOfTheCurrentMethod) {
    const struct {
        const char* what;
        int readMethod; // 0: none read
        int replies;
        bool pluggedInAgain;
        bool sent;
    } cases[] = {{"read whole", 1, 4, false, true},
                 {"not read yet", 0, 0, false, false},
                 {"read for the method before", 3, 4, false, false},
                 {"three of the four slots answered", 1, 3, false, false},
                 {"read before the meter was plugged in again", 1, 4, true, false}};
    files.files.insert(kLibraryPath, kFirst);
    create();
    grid->setCurrentGridRow(1);
    t.state.status.method = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        t.calibrations = MeterCalibrations();
        t.port.writes.clear();
        t.messages.errors.clear();
        if (c.readMethod != 0) {
            t.calibrations.beginRead(c.readMethod, 0);
            for (int slot = 1; slot <= c.replies; ++slot) {
                t.calibrations.entryReported({slot <= 2 ? slot : 0, "", c.readMethod, 0, 0});
            }
        }
        t.state.meterAttachment = c.pluggedInAgain ? 1 : 0;
        const int lastSlot = t.calibrations.lastSlot();
        library->copySelectedEntryToMeter();
        if (c.sent) {
            ASSERT_EQ(entriesSent().size(), 1U);
            EXPECT_EQ(entriesSent()[0].slot, 3);
            EXPECT_TRUE(t.messages.errors.isEmpty());
            continue;
        }
        EXPECT_TRUE(t.port.writes.empty());
        EXPECT_EQ(t.messages.errors,
                  QStringList{QStringLiteral(
                      "Список калибровок прибора ещё не прочитан после смены метода или "
                      "подключения прибора, повторите копирование через несколько секунд !")});
        EXPECT_EQ(t.calibrations.lastSlot(), lastSlot);
    }
}

// After the answer OK to "…под номером 1 ?" the calibration just created goes to slot 1, once;
// no other copy writes over a calibration, and an entry the file did not take carries no such
// answer.
TEST_F(LibraryTest, OnlyTheCalibrationAgreedAsNumberOneReplacesSlotOne) {
    const struct {
        const char* what;
        bool fileTakesIt;
        std::vector<int> slotsSent;
    } cases[] = {{"created", true, {1}}, {"not taken by the file", false, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        files = test::MemoryFiles();
        files.files.insert(kLibraryPath, kFirst);
        create();
        t.calibrations = MeterCalibrations();
        t.state.status.method = 1;
        t.port.writes.clear();
        t.messages.errors.clear();
        test::readMeterList(t.calibrations, 1, {1, 2, 3, 4});
        if (!c.fileTakesIt) {
            files.unwritable << kLibraryPath;
        }
        wizardResult = WizardResult{QStringLiteral("NEW"), 1, 900, 5, QString(), true};
        library->createEntry();
        // Another entry, then the new one (when there is one) twice.
        grid->setCurrentGridRow(1);
        library->copySelectedEntryToMeter();
        grid->setCurrentGridRow(static_cast<int>(library->entries().size()));
        library->copySelectedEntryToMeter();
        library->copySelectedEntryToMeter();

        std::vector<int> written;
        for (const auto& sent : entriesSent()) {
            written.push_back(sent.slot);
            EXPECT_EQ(sent.name, "NEW       ");
        }
        EXPECT_EQ(written, c.slotsSent);
        EXPECT_EQ(t.messages.errors.size(), 3 - c.slotsSent.size());
    }
}

// A library of up to 200 000 entries is read; a larger file is refused before it is read, with
// the reason.
TEST(LibraryFileSize, UpTo200000EntriesAreReadAndALargerFileIsRefused) {
    struct Case {
        qint64 bytes;
        std::size_t entries;
        QStringList informed;
    };
    const qint64 most = qint64{200000} * 279;
    const std::vector<Case> cases = {
        {most, 200000, {}},
        {most + 1,
         0,
         {QStringLiteral("Ошибка открытия файла БД.\nфайл больше 53 МБ, такого быть не может.")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data.zr"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(c.bytes));
        file.close();
        test::ControllerTestContext t;
        common::DiskFileAccess files;
        Library library(t.context(), t.calibrations, files, path, {});
        library.reload();
        EXPECT_EQ(library.entries().size(), c.entries);
        EXPECT_EQ(t.messages.informed, c.informed);
    }
}

} // namespace
} // namespace zr::calibration
