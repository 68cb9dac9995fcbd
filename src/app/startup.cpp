#include "app/startup.h"

#include "app/frmzintra.h"
#include "platform/ui/window.h"

namespace startup {

void Main(const std::function<frmzintra&()>& create) {
    platform::InitCommonControls();
    frmzintra& form = create();
    form.Form_Load();
    form.Me.Show();
}

} // namespace startup
