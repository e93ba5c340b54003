#include "RecordsFixture.h"

#include "common/FileAccess.h"
#include "common/FileLimits.h"
#include "records/ListText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zr::records::test {
namespace {

QByteArray cp1251(const char* text) {
    return QByteArray(text);
}

class SelectionListsTest : public RecordsFixture {
protected:
    // A fresh program start on the files in `files`.
    std::unique_ptr<SelectionLists> restart() {
        auto fresh = std::make_unique<SelectionLists>(context, QStringLiteral("/data"), files,
                                                      SelectionLists::Input{});
        fresh->loadSelectionLists();
        return fresh;
    }
};

TEST(ListText, LinesEndAtCrLfLoneCrOrLoneLfAndANulEndsTheText) {
    EXPECT_EQ(splitListText("a\r\nb\rc\nd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitListText("a\r\n\r\nb\r\n"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitListText("a\n\rb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(splitListText("only\rcr\r"), (QStringList{"only", "cr"}));
    EXPECT_EQ(splitListText("only\nlf\n"), (QStringList{"only", "lf"}));
    EXPECT_EQ(splitListText(""), QStringList{});
    EXPECT_EQ(splitListText("\r\n"), QStringList{""});
    EXPECT_EQ(splitListText(QByteArray("a\r\nb\0c\r\nd\r\n", 11)), (QStringList{"a", "b"}));
    EXPECT_EQ(splitListText(QByteArray("\0a\r\n", 4)), QStringList{});
}

TEST(ListText, WritesCodePage1251WithCrLfAfterEveryItem) {
    EXPECT_EQ(joinListText({QStringLiteral("АИ-92"), QString(), QStringLiteral("x")}),
              cp1251("\xC0\xC8-92\r\n\r\nx\r\n"));
    EXPECT_EQ(joinListText({}), QByteArray());
}

TEST_F(SelectionListsTest, BuiltInItemsUseLatinAAndPWhereTheyAreLatin) {
    EXPECT_EQ(lists.list(1).items(), (QStringList{"1", "10", "100", "1000", "Добавить..."}));
    const QStringList grades = lists.list(2).items();
    EXPECT_EQ(grades.at(0).at(0).unicode(), u'A');
    EXPECT_EQ(grades.at(1).at(0).unicode(), u'A');
    EXPECT_EQ(grades.at(2).at(0).unicode(), u'А'); // Cyrillic
    EXPECT_EQ(lists.list(3).item(0), QLatin1String("P 1"));
    EXPECT_EQ(lists.list(4).item(1).at(0).unicode(), u'P');
    EXPECT_EQ(lists.list(4).item(1).at(1).unicode(), u'О');
    EXPECT_EQ(lists.list(4).count(), 8);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(lists.list(i).selectedIndex(), 0) << i;
        EXPECT_EQ(lists.list(i).items().back(), addItemText()) << i;
    }
}

TEST_F(SelectionListsTest, SavedFilesAreCodePage1251WithCrLfAndTheAddItemLast) {
    lists.saveSelectionLists();
    EXPECT_EQ(files.files.value(path(1)),
              cp1251("1\r\n10\r\n100\r\n1000\r\n\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n"));
    EXPECT_EQ(files.files.value(path(2)),
              cp1251("A-76\r\nA-80\r\n\xC0\xC8-92\r\n\xC0\xC8-93\r\n\xC0\xC8-95\r\n\xC0\xC8-96\r\n"
                     "\xC0\xC8-98\r\n\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n"));
    EXPECT_EQ(files.files.value(path(3)),
              cp1251("P 1\r\nP 2\r\nP 3\r\nP 4\r\n\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n"));
    EXPECT_TRUE(
        files.files.value(path(4)).startsWith(cp1251("\xCB\xD3\xCA\xCE\xC9\xCB\r\nP\xCE\xD1")));
    EXPECT_EQ(path(1), QStringLiteral("/data/s1.okt"));
    EXPECT_EQ(path(4), QStringLiteral("/data/s4.okt"));
}

TEST_F(SelectionListsTest, AFileFromAWindowsMachineLoadsWithItsTexts) {
    files.files.insert(path(2), cp1251("\xC0\xC8-92 \xFD\xEA\xEE\r\n\xC4\xD2-\xEB\r\n"
                                       "\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n"));
    const auto loaded = restart();
    EXPECT_EQ(loaded->list(2).items(), (QStringList{"АИ-92 эко", "ДТ-л", "Добавить..."}));
    EXPECT_EQ(loaded->list(2).selectedText(), QStringLiteral("АИ-92 эко"));
    EXPECT_EQ(loaded->list(1).items(), lists.list(1).items()); // absent files: built-in items
}

TEST_F(SelectionListsTest, TheLastLineIsDroppedWhateverItSays) {
    files.files.insert(path(3), cp1251("R1\r\nR2\r\nR3\r\n"));
    files.files.insert(path(4), cp1251(""));
    const auto loaded = restart();
    EXPECT_EQ(loaded->list(3).items(), (QStringList{"R1", "R2", "Добавить..."}));
    // No lines: only the add item, selected.
    EXPECT_EQ(loaded->list(4).items(), QStringList{addItemText()});
    EXPECT_EQ(loaded->list(4).selectedIndex(), 0);
}

TEST_F(SelectionListsTest, AdvancedNumbersAndAddedItemsSurviveTheNextStart) {
    lists.list(1).setItem(1, QStringLiteral("13"));
    nextText = QString();
    lists.list(2).select(lists.list(2).count() - 1);
    lists.gradeChosen();
    lists.saveSelectionLists();
    const auto loaded = restart();
    EXPECT_EQ(loaded->list(1).item(1), QStringLiteral("13"));
    EXPECT_EQ(loaded->list(2).item(0), QString());
    EXPECT_EQ(loaded->list(2).count(), 9);
}

TEST_F(SelectionListsTest, AnUnreadableFileIsReportedKeepsTheBuiltInItemsAndIsNotOverwritten) {
    files.files.insert(path(2), cp1251("mine\r\nadd\r\n"));
    files.unreadable.insert(path(2));
    files.files.insert(path(3), cp1251("T\r\nadd\r\n"));
    const auto loaded = restart();
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors.front().contains(QStringLiteral("s2.okt")));
    EXPECT_TRUE(messages.errors.front().contains(QStringLiteral("Permission denied")));
    EXPECT_EQ(loaded->list(2).items().front(), QStringLiteral("A-76"));
    EXPECT_EQ(loaded->list(3).items().front(), QStringLiteral("T"));

    loaded->saveSelectionLists();
    EXPECT_EQ(files.files.value(path(2)), cp1251("mine\r\nadd\r\n"));
    EXPECT_TRUE(files.files.contains(path(1)));
    EXPECT_TRUE(files.files.contains(path(4)));
}

// Memory running out while one list loads leaves that file alone; the others load and are saved.
TEST_F(SelectionListsTest, RunningOutOfMemoryLoadingOneListKeepsOnlyThatFile) {
    files.files.insert(path(1), cp1251("5\r\nadd\r\n"));
    files.files.insert(path(2), cp1251("big\r\nadd\r\n"));
    files.exhausting.insert(path(2));
    files.files.insert(path(3), cp1251("T\r\nadd\r\n"));
    const auto loaded = restart();
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors.front().contains(QStringLiteral("s2.okt")));
    EXPECT_FALSE(messages.errors.front().contains(QStringLiteral("bad_alloc")));
    EXPECT_EQ(loaded->list(1).item(0), QStringLiteral("5"));
    EXPECT_EQ(loaded->list(2).item(0), QStringLiteral("A-76"));
    EXPECT_EQ(loaded->list(3).item(0), QStringLiteral("T"));

    files.exhausting.clear();
    loaded->saveSelectionLists();
    EXPECT_EQ(files.files.value(path(2)), cp1251("big\r\nadd\r\n"));
    EXPECT_EQ(files.files.value(path(3)), cp1251("T\r\n\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n"));
    EXPECT_TRUE(files.files.contains(path(4)));
}

// Every byte the user did not edit comes back, also a list saved as UTF-8 ("АИ-92" holds 0x98,
// which code page 1251 leaves undefined).
TEST_F(SelectionListsTest, AnUnchangedListComesBackByteForByte) {
    const QByteArray utf8 = QStringLiteral("АИ-92\r\nДТ\r\n").toUtf8() +
                            cp1251("\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n");
    files.files.insert(path(2), utf8);
    restart()->saveSelectionLists();
    EXPECT_EQ(files.files.value(path(2)), utf8);
}

// An item the code page cannot hold is saved with "?" and the user is told, once for the save;
// until then the list shows it as typed.
TEST_F(SelectionListsTest, AnItemTheFileCannotHoldIsReportedOncePerSave) {
    lists.list(2).insertItem(0, QStringLiteral("Ωmega ü"));
    lists.list(4).insertItem(0, QStringLiteral("中"));
    EXPECT_EQ(lists.list(2).item(0), QStringLiteral("Ωmega ü"));
    lists.saveSelectionLists();
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed.front().contains(QStringLiteral("\"Ωmega ü\"")))
        << messages.informed.front().toStdString();
    EXPECT_TRUE(files.files.value(path(2)).startsWith("?mega ?\r\n"));

    // Lists that fit say nothing.
    messages.informed.clear();
    restart()->saveSelectionLists();
    EXPECT_TRUE(messages.informed.isEmpty());
}

TEST_F(SelectionListsTest, AFileThatCannotBeWrittenIsReportedAndTheOthersAreStillWritten) {
    files.unwritable.insert(path(1));
    files.unwritable.insert(path(3));
    lists.saveSelectionLists();
    ASSERT_EQ(messages.errors.size(), 2);
    EXPECT_TRUE(messages.errors.at(0).contains(QStringLiteral("s1.okt")));
    EXPECT_TRUE(messages.errors.at(1).contains(QStringLiteral("s3.okt")));
    EXPECT_TRUE(messages.errors.at(1).contains(QStringLiteral("No space left on device")));
    EXPECT_TRUE(files.files.contains(path(2)));
    EXPECT_TRUE(files.files.contains(path(4)));
    EXPECT_FALSE(files.files.contains(path(1)));
}

TEST_F(SelectionListsTest, TheAddItemAsksForANumberOrATextAndInsertsItAtTheTop) {
    lists.list(1).select(4);
    nextNumber = -5;
    lists.numberChosen();
    EXPECT_EQ(lists.list(1).items(), (QStringList{"-5", "1", "10", "100", "1000", "Добавить..."}));
    EXPECT_EQ(lists.list(1).selectedIndex(), 0);

    lists.list(4).select(7);
    nextText = QStringLiteral("ТНК");
    lists.supplierChosen();
    EXPECT_EQ(lists.list(4).item(0), QStringLiteral("ТНК"));
    EXPECT_EQ(lists.list(4).selectedIndex(), 0);
    EXPECT_EQ(asked, 2);
}

// A grade, tank or supplier the user adds is in its file at once: a run that crashes keeps it. A
// text the file changes is told of then, and not again when the lists are saved.
TEST_F(SelectionListsTest, AnAddedTextIsInItsFileAtOnceAndToldOfOnce) {
    struct Case {
        int list;
        void (SelectionLists::*chosen)();
        QString typed;
        QString afterCrash;
    };
    const Case cases[] = {
        {2, &SelectionLists::gradeChosen, QStringLiteral("АИ-100"), QStringLiteral("АИ-100")},
        {3, &SelectionLists::tankChosen, QStringLiteral("Ωmega"), QStringLiteral("?mega")},
        {4, &SelectionLists::supplierChosen, QStringLiteral("ТНК"), QStringLiteral("ТНК")}};
    for (const Case& c : cases) {
        lists.list(c.list).select(lists.list(c.list).count() - 1);
        nextText = c.typed;
        (lists.*c.chosen)();
        EXPECT_EQ(restart()->list(c.list).item(0), c.afterCrash);
    }
    ASSERT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.informed.front().contains(QStringLiteral("\"Ωmega\"")));
    lists.saveSelectionLists();
    EXPECT_EQ(messages.informed.size(), 1);
    EXPECT_TRUE(messages.errors.isEmpty());
}

TEST_F(SelectionListsTest, ClosingTheDialogInsertsNothingAndSelectsTheFirstItem) {
    lists.list(3).select(4);
    nextText.reset();
    lists.tankChosen();
    EXPECT_EQ(lists.list(3).count(), 5);
    EXPECT_EQ(lists.list(3).selectedIndex(), 0);
    EXPECT_EQ(asked, 1);
}

TEST_F(SelectionListsTest, PickingAnyOtherItemAsksNothing) {
    lists.list(2).select(3);
    lists.gradeChosen();
    lists.list(1).select(2);
    lists.numberChosen();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(lists.list(2).selectedIndex(), 3);
    EXPECT_EQ(lists.list(1).selectedIndex(), 2);
}

// The files on disk.
class DiskListFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void write(const char* name, const QByteArray& bytes) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read(const char* name) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::unique_ptr<SelectionLists> start() {
        auto lists = std::make_unique<SelectionLists>(context, dir.path(), SelectionLists::Input{});
        lists->loadSelectionLists();
        return lists;
    }

    QTemporaryDir dir;
    connection::SharedState state;
    RecordingPort port;
    protocol::CommandSender commands{port, nullptr, nullptr};
    zr::test::FakeMessageService messages;
    connection::ControllerContext context{state, commands, messages};
};

TEST_F(DiskListFiles, AListFileThatIsADirectoryIsReportedAndSurvivesTheClose) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("s3.okt")));
    write("s2.okt", cp1251("Z\r\nadd\r\n"));
    auto lists = start();
    ASSERT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(messages.errors.front().contains(QStringLiteral("s3.okt")));
    EXPECT_EQ(lists->list(3).item(0), QStringLiteral("P 1"));
    EXPECT_EQ(lists->list(2).item(0), QStringLiteral("Z"));
    lists->saveSelectionLists();
    EXPECT_EQ(messages.errors.size(), 1);
    EXPECT_TRUE(QFileInfo(path("s3.okt")).isDir());
    EXPECT_EQ(read("s2.okt"), cp1251("Z\r\n\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n"));
    EXPECT_FALSE(read("s1.okt").isEmpty());
    EXPECT_FALSE(read("s4.okt").isEmpty());
}

TEST_F(DiskListFiles, AMissingDirectoryAtCloseIsReportedForEveryList) {
    auto lists = start();
    ASSERT_TRUE(dir.remove());
    lists->saveSelectionLists();
    EXPECT_EQ(messages.errors.size(), 4);
}

TEST_F(DiskListFiles, LongLinesAndAMillionItemsLoadAndComeBackUnchanged) {
    QByteArray longLines;
    const QByteArray line(100000, 'x');
    for (int i = 0; i < 3; ++i) {
        longLines += line + QByteArray::number(i) + "\r\n";
    }
    write("s2.okt", longLines + "add\r\n");

    QByteArray many;
    many.reserve(10 * 1000 * 1000);
    for (int i = 0; i < 1000000; ++i) {
        many += QByteArray::number(1000000 + i) + "\r\n";
    }
    write("s1.okt", many + "add\r\n");

    auto lists = start();
    EXPECT_TRUE(messages.errors.isEmpty());
    ASSERT_EQ(lists->list(1).count(), 1000001);
    EXPECT_EQ(lists->list(2).item(2).size(), 100001);
    EXPECT_EQ(lists->list(1).item(999999), QStringLiteral("1999999"));

    lists->saveSelectionLists();
    const QByteArray addLine = cp1251("\xC4\xEE\xE1\xE0\xE2\xE8\xF2\xFC...\r\n");
    EXPECT_EQ(read("s1.okt"), many + addLine);
    EXPECT_EQ(read("s2.okt"), longLines + addLine);
}

TEST_F(DiskListFiles, AFileWithOnlyCrOrOnlyLfOrABinaryTailLoads) {
    write("s2.okt", cp1251("a\rb\rc\r"));
    write("s3.okt", cp1251("a\nb\nc\n"));
    write("s4.okt", QByteArray("good\r\nbad\0\xFF\xFE\x01\r\nmore\r\n", 20));
    auto lists = start();
    EXPECT_EQ(lists->list(2).items(), (QStringList{"a", "b", "Добавить..."}));
    EXPECT_EQ(lists->list(3).items(), (QStringList{"a", "b", "Добавить..."}));
    EXPECT_EQ(lists->list(4).items(), (QStringList{"good", "Добавить..."}));
}

TEST_F(DiskListFiles, ABinaryFileLoadsAsTextUpToItsFirstNul) {
    QByteArray binary;
    std::uint32_t x = 12345;
    for (int i = 0; i < 65536; ++i) {
        x = x * 1103515245U + 12345U;
        binary += static_cast<char>((x >> 16) & 0xFF);
    }
    binary[300] = '\0';
    write("s4.okt", binary);
    auto lists = start();
    EXPECT_TRUE(messages.errors.isEmpty());
    const QStringList items = lists->list(4).items();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(items.back(), addItemText());
    EXPECT_EQ(lists->list(4).selectedIndex(), 0);
    EXPECT_LE(items.join(QString()).size(), 300);
    lists->saveSelectionLists();
    EXPECT_EQ(splitListText(read("s4.okt")).size(), items.size());
}

// Files no list can be: a FIFO (which would block the start), a link to an endless device, a
// file larger than any real list. Each is reported at once and never written over.
TEST_F(DiskListFiles, AFileThatIsNoListIsReportedAtOnceAndNeverWrittenOver) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("s1.okt")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("s2.okt")));
    QFile large(path("s3.okt"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly));
    ASSERT_TRUE(large.resize(common::kMaxListFileBytes + 1));
    large.close();
    auto lists = start();
    ASSERT_EQ(messages.errors.size(), 3);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(messages.errors[i].contains(QStringLiteral("s%1.okt").arg(i + 1)) &&
                    messages.errors[i].contains(QStringLiteral("это не обычный файл")))
            << messages.errors[i].toStdString();
    }
    EXPECT_TRUE(messages.errors[2].contains(QStringLiteral("файл больше 64 МБ")))
        << messages.errors[2].toStdString();
    lists->saveSelectionLists();
    EXPECT_EQ(messages.errors.size(), 3);
    struct stat fifo {};
    ASSERT_EQ(::lstat(QFile::encodeName(path("s1.okt")).constData(), &fifo), 0);
    EXPECT_TRUE(S_ISFIFO(fifo.st_mode));
    EXPECT_TRUE(QFileInfo(path("s2.okt")).isSymLink());
    EXPECT_EQ(QFileInfo(path("s3.okt")).size(), common::kMaxListFileBytes + 1);
    EXPECT_FALSE(read("s4.okt").isEmpty());
}

// A save killed at any moment leaves the old file or the new one, never a cut one.
TEST_F(DiskListFiles, ASaveKilledAtAnyMomentLeavesTheOldOrTheNewFile) {
    const QString target = path("s1.okt");
    const QByteArray oldBytes(2 * 1000 * 1000, 'o');
    const QByteArray newBytes(3 * 1000 * 1000, 'n');
    common::DiskFileAccess disk;
    ASSERT_TRUE(disk.replace(target, oldBytes).isEmpty());
    for (int round = 0; round < 12; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            common::DiskFileAccess inChild;
            for (;;) {
                inChild.replace(target, newBytes);
                inChild.replace(target, oldBytes);
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + round * 1500));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const QByteArray now = read("s1.okt");
        EXPECT_TRUE(now == oldBytes || now == newBytes)
            << "round " << round << ": " << now.size() << " bytes";
    }
    // What a killed save left beside the file goes with the next save.
    ASSERT_TRUE(disk.replace(target, oldBytes).isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"s1.okt"});
}

} // namespace
} // namespace zr::records::test
