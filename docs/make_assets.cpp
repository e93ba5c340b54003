// Build tool: renders the Markdown user guide to PDF and writes the program icon as PNG files,
// one per size, named ICON_DIR/zr6040usb-SIZE.png.
#include "ui/Icons.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: zr_make_assets GUIDE.md OUT.pdf ICON_DIR SIZE...\n");
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    QTextDocument document;
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(11);
    document.setDefaultFont(font);
    document.setMarkdown(QString::fromUtf8(source.readAll()));

    QPdfWriter pdf(QString::fromLocal8Bit(argv[2]));
    pdf.setTitle(QStringLiteral("ZR-6040 USB — описание программы"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    document.print(&pdf);

    const QDir iconDir(QString::fromLocal8Bit(argv[3]));
    for (int i = 4; i < argc; ++i) {
        bool isNumber = false;
        const int size = QString::fromLatin1(argv[i]).toInt(&isNumber);
        const QString path = iconDir.filePath(QStringLiteral("zr6040usb-%1.png").arg(size));
        if (!isNumber || size <= 0 || !zr::ui::programPixmap(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write the %s px icon into %s\n", argv[i], argv[3]);
            return 1;
        }
    }
    return 0;
}
