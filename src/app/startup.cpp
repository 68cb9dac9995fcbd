#include "app/startup.h"

#include "app/frmzintra.h"
#include "platform/ui/window.h"

#include <QApplication>

namespace startup {

std::unique_ptr<frmzintra> Main() {
    platform::InitCommonControls();
    auto form = std::make_unique<frmzintra>();
    form->Form_Load();
    form->show();
    platform::watchApplicationEnd(*qApp);
    return form;
}

} // namespace startup
