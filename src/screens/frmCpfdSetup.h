#pragma once
// "Cupfeed Set-Up Parameters": the servo cupfeed's stop position and synchronisation error
// limits on the R7520.

#include "ParameterScreen.h"

namespace talvern::screens {

class frmCpfdSetup : public ParameterScreen {
    Q_OBJECT
public:
    explicit frmCpfdSetup(QWidget* parent = nullptr);
};

} // namespace talvern::screens
