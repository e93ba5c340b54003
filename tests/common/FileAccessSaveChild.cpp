// Rewrites the library file given as its argument without end, alternating between two
// contents of different sizes, until it is killed. FileAccessTest kills it at random moments.
#include "common/FileAccess.h"

#include <QByteArray>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    zr::common::DiskFileAccess files;
    const QByteArray contents[2] = {QByteArray(279 * 4000, 'a'), QByteArray(279 * 7000, 'b')};
    for (unsigned long i = 0;; ++i) {
        if (!files.replace(path, contents[i % 2]).isEmpty()) {
            return 1;
        }
        if (i == 0) {
            std::puts("saving");
            std::fflush(stdout);
        }
    }
}
