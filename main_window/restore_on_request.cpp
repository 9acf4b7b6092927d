// Coming forward when another start of the program asks for this one.
#include "main_window/main_window_form.h"

namespace zeravan {

void MainWindowForm::restoreOnRequest() {
    if (isHidden()) {
        restoreFromTray();
    } else {
        showNormal();
        raise();
    }
    activateWindow();
}

}  // namespace zeravan
