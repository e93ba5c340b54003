#include "calibration/Library.h"

#include "calibration/LibraryFakes.h"
#include "calibration/LibraryFile.h"
#include "common/Cp1251.h"
#include "common/MemoryTextGrid.h"
#include "device/protocol/Commands.h"

#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

using test::MemoryLibraryStore;

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
        library = std::make_unique<Library>(t.context(), grid, store,
                                            Library::Dialogs{[this] {
                                                                 ++wizardRuns;
                                                                 return wizardResult;
                                                             },
                                                             [this](const LibraryEntryText& shown) {
                                                                 shownInEditor = shown;
                                                                 return editorAnswer;
                                                             }});
        library->FormCreate();
        library->FormShow();
    }
    QStringList row(int r) {
        QStringList cells;
        for (int c = 0; c < Library::kGridColumns; ++c) {
            cells << grid.cell(c, r);
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
    common::MemoryTextGrid grid{Library::kGridColumns, Library::kGridRows};
    MemoryLibraryStore store;
    std::optional<WizardResult> wizardResult;
    int wizardRuns = 0;
    std::optional<LibraryEntryText> editorAnswer;
    std::optional<LibraryEntryText> shownInEditor;
    std::unique_ptr<Library> library;
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
    store.file = QByteArray();
    create();
    EXPECT_TRUE(t.messages.informed.isEmpty());
    EXPECT_TRUE(library->entries().empty());
}

TEST_F(LibraryTest, WholeRecordsOnlyCount) {
    for (int size : {558, 600}) {
        store.file = kFirst + kSecond + QByteArray(size - 558, '\x01');
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
    store.file = record;
    create();
    ASSERT_EQ(library->entries().size(), 1U);
    const LibraryRecord& r = library->entries().front();
    EXPECT_EQ(r.index(), 7);
    EXPECT_EQ(r.name(), QStringLiteral("АИ-95"));
    EXPECT_EQ(r.method(), 3);
    EXPECT_EQ(r.k1(), -5);
    EXPECT_EQ(r.k2(), 300);
    EXPECT_EQ(r.comment(), QStringLiteral("line1\r\nяline2\r\n"));
    EXPECT_EQ(row(1), (QStringList{"1", "АИ-95", "Цетановое число", "-5", "300",
                                   QStringLiteral("line1\r\nяline2\r\n")}));

    library->FormClose();
    EXPECT_EQ(store.file, record);
}

TEST_F(LibraryTest, OddFieldsAreShownWithoutReadingPastTheRecord) {
    // Length bytes beyond the fields and a method no one knows.
    QByteArray record = recordBytes(0, "ABCDEFGHIJ", 9, 0, 0, QByteArray(255, 'c'));
    record[4] = static_cast<char>(200);
    store.file = record + record;
    create();
    ASSERT_EQ(library->entries().size(), 2U);
    EXPECT_EQ(row(1)[1], QStringLiteral("ABCDEFGHIJ"));
    EXPECT_EQ(row(1)[2], QStringLiteral("error"));
    EXPECT_EQ(row(1)[5].size(), 255);
    library->FormClose();
    EXPECT_EQ(store.file, record + record);
}

TEST_F(LibraryTest, DeleteRemovesOneEntryAfterConfirmation) {
    store.file = kFirst + kSecond + kThird;
    create();
    grid.setCurrentGridRow(2);
    t.messages.answer = false;
    library->Button2Click();
    EXPECT_EQ(t.messages.questions, QStringList{QStringLiteral("Удалить запись ?")});
    EXPECT_EQ(library->entries().size(), 3U);
    EXPECT_EQ(store.replaceCount, 0);

    t.messages.answer = true;
    library->Button2Click();
    EXPECT_EQ(store.file, kFirst + kThird);
    EXPECT_EQ(row(1)[1], QStringLiteral("FIRST"));
    EXPECT_EQ(row(2)[1], QStringLiteral("THIRD"));
    EXPECT_EQ(row(2)[0], QStringLiteral("2"));
    EXPECT_EQ(row(3), QStringList(6));

    // A row past the entries deletes nothing and asks nothing.
    grid.setCurrentGridRow(3);
    library->Button2Click();
    EXPECT_EQ(t.messages.questions.size(), 2);
    EXPECT_EQ(library->entries().size(), 2U);
}

TEST_F(LibraryTest, CreateIsRefusedWhileACalibrationIsInForce) {
    store.file = QByteArray();
    create();
    t.state.status.activeTable = 3;
    library->Button1Click();
    EXPECT_EQ(t.messages.informed,
              QStringList{QStringLiteral(
                  "Перед созданием новой коррекции необходимо отключить калибровку №3")});
    EXPECT_EQ(wizardRuns, 0);
    EXPECT_EQ(store.file, QByteArray());
}

TEST_F(LibraryTest, CreateAppendsAfterTheLastWholeRecordAndReloads) {
    store.file = kFirst + kSecond + QByteArray(100, '\x01');
    create();
    wizardResult = WizardResult{QStringLiteral("Korrection"), 1, 812, 231,
                                QStringLiteral("Бензин\r\n") + QString(300, QLatin1Char('x'))};
    library->Button1Click();
    EXPECT_EQ(wizardRuns, 1);
    ASSERT_EQ(store.file->size(), 3 * 279);
    EXPECT_EQ(store.file->left(558), kFirst + kSecond);
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
    library->Button1Click();
    EXPECT_EQ(library->entries().size(), 3U);
    EXPECT_EQ(store.file->size(), 3 * 279);
}

TEST_F(LibraryTest, CreateWithoutAFileMakesOne) {
    create();
    wizardResult = WizardResult{QStringLiteral("A"), 2, 1000, 0, QString()};
    library->Button1Click();
    ASSERT_TRUE(store.file.has_value());
    EXPECT_EQ(store.file->size(), 279);
    EXPECT_EQ(library->entries().size(), 1U);
}

// An entry the file refused is not kept: Edit, Copy or Delete on its row would act on nothing
// the file holds.
TEST_F(LibraryTest, CreateThatCannotWriteKeepsNoEntry) {
    store.file = kFirst;
    create();
    store.failReplace = true;
    wizardResult = WizardResult{QStringLiteral("B"), 1, 1, 2, QString()};
    library->Button1Click();
    EXPECT_EQ(t.messages.informed, QStringList{QStringLiteral("Ошибка открытия файла БД.")});
    EXPECT_EQ(store.file, kFirst);
    EXPECT_EQ(library->entries().size(), 1U);
    EXPECT_EQ(row(2), QStringList(6));
}

// A file whose content was never read (no access, a FIFO, too large, memory ran out) is never
// written, whatever the user does; each action that would write it says so.
TEST_F(LibraryTest, AFileThatWasNotReadIsNeverWritten) {
    const std::vector<std::pair<const char*, void (*)(MemoryLibraryStore&)>> failures = {
        {"read error", [](MemoryLibraryStore& s) { s.failRead = true; }},
        {"out of memory", [](MemoryLibraryStore& s) { s.throwOnRead = true; }},
    };
    for (const auto& [name, fail] : failures) {
        SCOPED_TRACE(name);
        store = MemoryLibraryStore();
        store.file = kFirst + kSecond;
        fail(store);
        t.messages.informed.clear();
        create();
        ASSERT_EQ(t.messages.informed.size(), 1);
        EXPECT_TRUE(
            t.messages.informed[0].startsWith(QStringLiteral("Ошибка открытия файла БД.\n")))
            << t.messages.informed[0].toStdString();
        store.failRead = false;
        store.throwOnRead = false;

        wizardResult = WizardResult{QStringLiteral("NEW"), 1, 1, 2, QString()};
        library->Button1Click();
        grid.setCurrentGridRow(1);
        library->Button2Click();
        editorAnswer = LibraryEntryText{QStringLiteral("X"), QString()};
        library->Button4Click();
        library->FormClose();

        EXPECT_EQ(wizardRuns, 0);
        EXPECT_EQ(store.replaceCount, 0);
        EXPECT_EQ(store.file, kFirst + kSecond);
        EXPECT_EQ(t.messages.informed.size(), 2); // Create refused; the empty grid offers no row
    }
}

// Texts the file cannot hold as typed are reported once per save; the window keeps them until
// then.
TEST_F(LibraryTest, ATextTheFileChangesIsReportedOncePerSave) {
    store.file = kFirst;
    create();
    grid.setCurrentGridRow(1);
    editorAnswer =
        LibraryEntryText{QStringLiteral("Ωmega ü"), QStringLiteral("ü ") + QString(300, 'c')};
    library->Button4Click();
    ASSERT_EQ(t.messages.informed.size(), 1);
    EXPECT_TRUE(t.messages.informed[0].contains(QStringLiteral("Ωmega ü")))
        << t.messages.informed[0].toStdString();
    EXPECT_EQ(row(1)[1], QStringLiteral("?mega ?"));

    wizardResult = WizardResult{QStringLiteral("B"), 1, 1, 2, QString(256, 'k')};
    library->Button1Click();
    ASSERT_EQ(t.messages.informed.size(), 2);
    EXPECT_TRUE(t.messages.informed[1].contains(QStringLiteral("255")));

    // Texts that fit say nothing.
    editorAnswer = LibraryEntryText{QStringLiteral("АИ-92"), QStringLiteral("№ 5")};
    library->Button4Click();
    EXPECT_EQ(t.messages.informed.size(), 2);
}

TEST_F(LibraryTest, CopiesGoToTheNextFreeSlotsUntilThereIsNoRoom) {
    store.file = recordBytes(0, "ABC", 1, 812, 231, "");
    create();
    t.state.status.method = 1;
    t.state.lastSlot = 2;
    grid.setCurrentGridRow(1);
    library->Button3Click();
    library->Button3Click();
    const auto sent = entriesSent();
    ASSERT_EQ(sent.size(), 2U);
    EXPECT_EQ(sent[0], (protocol::CalibrationSlot{3, "ABC       ", 1, 812, 231}));
    EXPECT_EQ(sent[1].slot, 4);
    EXPECT_EQ(t.state.lastSlot, 4);
    EXPECT_TRUE(t.messages.errors.isEmpty());

    library->Button3Click();
    EXPECT_EQ(t.state.lastSlot, 5);
    library->Button3Click();
    EXPECT_EQ(t.state.lastSlot, 6);
    EXPECT_EQ(t.messages.errors,
              QStringList(2, QStringLiteral("Нет свободного места для записи коррекции!")));
    EXPECT_EQ(entriesSent().size(), 2U);
}

TEST_F(LibraryTest, AnEntryOfAnotherMethodIsNotCopied) {
    store.file = kSecond;
    create();
    t.state.status.method = 1;
    t.state.lastSlot = 1;
    grid.setCurrentGridRow(1);
    library->Button3Click();
    EXPECT_EQ(t.messages.errors,
              QStringList{QStringLiteral("Метод для записи не совпадает с текущим  методом !")});
    EXPECT_EQ(t.state.lastSlot, 1);
    EXPECT_TRUE(t.port.writes.empty());
}

TEST_F(LibraryTest, CopyWithoutAMeterOnlyReportsIt) {
    store.file = kFirst;
    create();
    t.state.status.method = 1;
    t.port.isConnected = false;
    grid.setCurrentGridRow(1);
    library->Button3Click();
    EXPECT_EQ(t.notConnected, 1);
    EXPECT_EQ(t.state.lastSlot, 1);
    EXPECT_TRUE(t.port.writes.empty());
}

TEST_F(LibraryTest, EditChangesOnlyWhatTheUserChanged) {
    const QByteArray earlier = recordBytes(4, "OLD", 1, 5, 6, "a\r\nb\r\n", '\x77');
    store.file = earlier;
    create();
    grid.setCurrentGridRow(1);

    library->Button4Click(); // cancelled
    ASSERT_TRUE(shownInEditor.has_value());
    EXPECT_EQ(*shownInEditor, (LibraryEntryText{QStringLiteral("OLD"), QStringLiteral("a\nb\n")}));
    EXPECT_EQ(store.replaceCount, 0);

    editorAnswer = shownInEditor;
    library->Button4Click();
    EXPECT_EQ(store.file, earlier);

    editorAnswer = LibraryEntryText{QStringLiteral("NEWNAME"), QStringLiteral("first\nsecond")};
    library->StringGrid1DblClick();
    const LibraryRecord& r = library->entries().front();
    EXPECT_EQ(r.name(), QStringLiteral("NEWNAME"));
    EXPECT_EQ(r.comment(), QStringLiteral("first\r\nsecond\r\n"));
    EXPECT_EQ(r.index(), 4);
    EXPECT_EQ(store.file, serializeLibrary(library->entries()));
    EXPECT_EQ(row(1)[1], QStringLiteral("NEWNAME"));
}

TEST_F(LibraryTest, TheMemoTextBecomesCrLfLines) {
    EXPECT_EQ(Library::commentFromMemo(QString()), QString());
    EXPECT_EQ(Library::commentFromMemo("abc"), QStringLiteral("abc\r\n"));
    EXPECT_EQ(Library::commentFromMemo("abc\n"), QStringLiteral("abc\r\n"));
    EXPECT_EQ(Library::commentFromMemo("a\n\nb"), QStringLiteral("a\r\n\r\nb\r\n"));
    EXPECT_EQ(Library::commentFromMemo("a\n\n"), QStringLiteral("a\r\n\r\n"));
}

TEST_F(LibraryTest, AFailedSaveKeepsTheLibraryAndShowsIt) {
    store.file = kFirst + kSecond + kThird;
    create();
    store.failReplace = true;
    grid.setCurrentGridRow(1);
    library->Button2Click();
    EXPECT_EQ(t.messages.informed, QStringList{QStringLiteral("Ошибка открытия файла БД.")});
    EXPECT_EQ(library->entries().size(), 2U);
    EXPECT_EQ(row(1)[1], QStringLiteral("SECOND"));
    EXPECT_EQ(store.file, kFirst + kSecond + kThird);

    library->FormClose();
    EXPECT_EQ(t.messages.informed.last(),
              QStringLiteral("Ошибка открытия файла калибровок data.zr"));
}

TEST_F(LibraryTest, ClosingWritesOnlyAnExistingReadableFile) {
    create(); // no file
    library->FormClose();
    EXPECT_EQ(store.replaceCount, 0);
    EXPECT_FALSE(store.file.has_value());

    // A file that exists but could not be read is not written over at close.
    store.file = kFirst;
    store.failRead = true;
    create();
    library->FormClose();
    EXPECT_EQ(store.replaceCount, 0);
    EXPECT_EQ(store.file, kFirst);

    // A trailing partial record is dropped by the next save.
    store.failRead = false;
    store.file = kFirst + "xyz";
    create();
    library->FormClose();
    EXPECT_EQ(store.file, kFirst);
}

TEST_F(LibraryTest, EntriesBeyondTheGridStayInTheLibrary) {
    QByteArray file;
    for (int i = 0; i < 120; ++i) {
        file += recordBytes(i, QByteArray::number(i), 1, static_cast<std::int16_t>(i), 0, "");
    }
    store.file = file;
    create();
    EXPECT_EQ(library->entries().size(), 120U);
    EXPECT_EQ(row(99)[1], QStringLiteral("98"));
    EXPECT_EQ(library->overflowText(),
              QStringLiteral("Записей в библиотеке: 120; в таблице показаны первые 99."));
    library->FormClose();
    EXPECT_EQ(store.file, file);
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
    store.file = file;
    create();
    ASSERT_EQ(library->entries().size(), static_cast<std::size_t>(file.size() / 279));
    EXPECT_EQ(library->entries().front().nameBytes(), everyByte.mid(5, 4));
    EXPECT_EQ(library->entries().front().commentBytes(), everyByte.mid(24, 23));
    for (const LibraryRecord& r : library->entries()) {
        ASSERT_LE(r.nameBytes().size(), 10);
    }
    library->FormClose();
    EXPECT_EQ(store.file, wholeRecords(file));
}

} // namespace
} // namespace zr::calibration
