// Writes measurement rows through the real table model and its journal in the directory given
// as its argument, without end, printing each row's number once its write has returned, until
// it is killed. JournalKillTest kills it at random moments.
#include "JournalRig.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    zr::journal::test::JournalRig rig(QString::fromLocal8Bit(argv[1]));
    if (!rig.journal->isActive()) {
        return 1;
    }
    // The restored rows are 1 … n; row r's value is r.
    for (int row = rig.model.rowCount();; ++row) {
        rig.writeRow(QString::number(row));
        std::printf("%d\n", row);
        std::fflush(stdout);
    }
}
