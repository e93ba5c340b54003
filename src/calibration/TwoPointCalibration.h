#pragma once

#include "calibration/OctaneValue.h"
#include "calibration/WizardResult.h"
#include "device/connection/ControllerContext.h"

#include <QString>
#include <array>

namespace zr::calibration {

class MeterCalibrations;

// The two-point correction wizard without its widgets: the pages, the remembered
// readings of two reference fuels, the computed K1 and K2, and the result handed to the
// library. The window shows `screen()` after each handler and passes the user's edits in.
class TwoPointCalibration {
public:
    // The four value fields CurrencyEdit1..4.
    enum Field { LowReading = 0, LowTrue = 1, HighReading = 2, HighTrue = 3 };
    static constexpr int kFields = 4;
    static constexpr int kLastPage = 4;

    // What the window shows.
    struct Screen {
        int page = 0;
        QString heading;
        std::array<OctaneValue, kFields> values{};
        std::array<bool, kFields> valueEnabled{true, true, true, true};
        bool highGroupVisible = false;
        QString lowStatus;  // Label6
        QString highStatus; // Label7
        bool lowRememberEnabled = true;
        bool highRememberEnabled = true;
        bool mainEnabled = true;
        QString mainCaption;
        bool mainBold = false;
        // Entry of ComboBox1, -1 for none.
        int methodIndex = -1;
        QString k1Text;                              // Edit1
        QString k2Text;                              // Edit2
        QString name = QStringLiteral("Korrection"); // Edit3
        // Memo2 as the memo holds it, lines separated by "\n".
        QString comment;
    };

    // `calibrations` tells whether the meter has room for the result.
    TwoPointCalibration(connection::ControllerContext context,
                        const MeterCalibrations& calibrations);

    const Screen& screen() const { return screen_; }

    // Each showing of the wizard.
    void restart();
    // The user picked a method in the list: index 0..2 for methods 1..3. The meter switches now.
    void chooseMethod(int index);
    // The list moved without a pick (the mouse wheel): the meter switches only when the user
    // moves on from the method page.
    void showMethod(int index);
    // "<--" of the low- and of the high-octane group.
    void takeLowReading();
    void takeHighReading();
    // "Запомнить" of the low- and of the high-octane group.
    void rememberLowFuel();
    void rememberHighFuel();
    // The main button.
    void advance();

    // The user's edits.
    void setValue(Field field, OctaneValue value);
    void setK1Text(const QString& text) { screen_.k1Text = text; }
    void setK2Text(const QString& text) { screen_.k2Text = text; }
    void setName(const QString& text) { screen_.name = text; }
    void setComment(const QString& text) { screen_.comment = text; }

    // True once the finishing step has closed the wizard with OK.
    bool accepted() const { return accepted_; }
    // The last finished result.
    const WizardResult& result() const { return result_; }

private:
    // The method the wizard measures and calibrates: the one its list shows, or while it shows
    // none, the program's.
    int method() const;
    void takeReading(Field field);
    void compute();
    void finish();

    connection::ControllerContext context_;
    const MeterCalibrations& calibrations_;
    Screen screen_;
    bool methodUnsent_ = false;
    bool finishFlag_ = false;
    bool accepted_ = false;
    WizardResult result_;
};

} // namespace zr::calibration
