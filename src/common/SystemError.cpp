#include "common/SystemError.h"

#include <cerrno>
#include <cstring>

namespace zr::common {

namespace {

// The reasons a file, a directory or a device can give, as the user reads them inside the
// program's messages, whatever language the system's own message catalogue speaks.
struct Reason {
    int error;
    const char* text;
};

constexpr Reason kReasons[] = {
    {EPERM, "операция не разрешена"},
    {ENOENT, "нет такого файла или каталога"},
    {EIO, "ошибка ввода-вывода"},
    {ENXIO, "нет такого устройства или адреса"},
    {EBADF, "неверный дескриптор файла"},
    {EAGAIN, "ресурс временно недоступен"},
    {ENOMEM, "не хватает памяти"},
    {EACCES, "нет доступа"},
    {EBUSY, "устройство или файл заняты"},
    {EEXIST, "файл уже существует"},
    {EXDEV, "файл нельзя перенести на другое устройство"},
    {ENODEV, "нет такого устройства"},
    {ENOTDIR, "это не каталог"},
    {EISDIR, "это каталог"},
    {EINVAL, "недопустимый аргумент"},
    {ENFILE, "в системе открыто слишком много файлов"},
    {EMFILE, "программой открыто слишком много файлов"},
    {ETXTBSY, "файл занят"},
    {EFBIG, "файл слишком велик"},
    {ENOSPC, "на диске нет свободного места"},
    {EROFS, "файловая система доступна только для чтения"},
    {EMLINK, "слишком много ссылок"},
    {ENAMETOOLONG, "слишком длинное имя файла"},
    {ELOOP, "слишком много уровней символических ссылок"},
    {EOPNOTSUPP, "операция не поддерживается"},
    {ETIMEDOUT, "время ожидания истекло"},
    {ESTALE, "файл на сетевом диске больше недоступен"},
    {EDQUOT, "превышена дисковая квота"},
};

} // namespace

QString systemErrorText(int error) {
    for (const Reason& reason : kReasons) {
        if (reason.error == error) {
            return QString::fromUtf8(reason.text);
        }
    }
    // A reason no file operation is expected to meet keeps its number and the system's words.
    return QStringLiteral("системная ошибка %1 (%2)")
        .arg(error)
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

QString notRegularFileText() {
    return QStringLiteral("это не обычный файл");
}

QString outOfMemoryText() {
    return QStringLiteral("не хватает памяти, чтобы прочитать файл");
}

} // namespace zr::common
