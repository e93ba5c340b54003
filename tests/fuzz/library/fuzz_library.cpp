// Arbitrary "data.zr" contents through the calibration library: loading reads no record past
// its end, every entry can be shown and edited, an edit that changes nothing writes nothing, and
// the entries a deletion leaves are written back byte for byte.

#include "calibration/Library.h"
#include "calibration/LibraryFakes.h"
#include "calibration/LibraryFile.h"

#include <cstdlib>
#include <vector>

using namespace zr::calibration;

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // An exact-size copy, so that the address sanitizer sees any read past the file.
    const std::vector<char> bytes(data, data + size);
    const QByteArray file = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(size));
    const QByteArray whole = wholeRecords(file);

    const std::vector<LibraryRecord> records = parseLibrary(file);
    check(records.size() == size / LibraryRecord::kSize);
    check(serializeLibrary(records) == whole);
    for (LibraryRecord record : records) {
        check(record.nameBytes().size() <= 10 && record.commentBytes().size() <= 255);
        const LibraryEntryText shown = Library::entryText(record);
        const LibraryRecord before = record;
        Library::applyEntryText(record, shown, shown);
        check(record == before);
    }

    zr::test::ControllerTestContext t;
    zr::test::MemoryFiles files;
    const QString path = QStringLiteral("data.zr");
    files.files.insert(path, QByteArray(bytes.data(), static_cast<qsizetype>(size)));
    Library library(t.context(), t.calibrations, files, path,
                    {[] { return std::optional<WizardResult>(); },
                     [](const LibraryEntryText& shown) { return std::optional(shown); }});
    library.reload();
    library.showHeaders();
    check(library.entries().size() == records.size());
    if (!records.empty()) {
        library.model().setCurrentRow(0);
        library.editSelectedEntry(); // OK with nothing changed
        check(files.replaced.isEmpty());
        t.state.status.method = static_cast<std::uint8_t>(records.front().method());
        library.copySelectedEntryToMeter();
        library.deleteSelectedEntry();
        check(files.file(path) == whole.mid(static_cast<qsizetype>(LibraryRecord::kSize)));
    }
    check(files.file(path)->size() <= file.size());
    return 0;
}
