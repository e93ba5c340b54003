#pragma once

#include <QString>

namespace zr::records {

// Web, the browser that loads the print report and opens its print preview.
class Web {
public:
    // ExecWB's command and option for the print preview that asks the user.
    static constexpr int kPrintPreview = 7;
    static constexpr int kPromptUser = 1;

    virtual ~Web() = default;
    // Loads the page at `url` (a full file path). Its completion is reported later, from the event
    // loop, never from inside this call.
    virtual void Navigate(const QString& url) = 0;
    // Runs a command on the loaded page; false when it failed.
    virtual bool ExecWB(int command, int option) = 0;
};

} // namespace zr::records
