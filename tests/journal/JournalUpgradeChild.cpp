// Opens the journal given as its argument as the program does at start, which upgrades a journal
// of the text schema, and prints the copy that upgrade kept ("-" when it upgraded none).
// JournalKillTest kills it at random moments, or starts two at once.
#include "journal/Journal.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    std::printf("started\n");
    std::fflush(stdout);
    try {
        const zr::journal::Journal journal(QString::fromLocal8Bit(argv[1]), 30000);
        const QString copy = journal.upgradeCopy();
        std::printf("%s\n", copy.isEmpty() ? "-" : qPrintable(copy));
    } catch (const zr::journal::SqliteError& error) {
        std::printf("failed: %s\n", qPrintable(error.failure().text));
        return 1;
    }
    return 0;
}
