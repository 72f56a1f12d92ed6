// Window placement and autostart in the registry.
#include "app/frmKbd.h"

namespace orv {

// The placement is not kept in the registry yet: each start uses the
// designed position.
void FrmKbd::SaveFormPlacement() {}
void FrmKbd::LoadFormPlacement() {}

// "Clr History" and "Autorun" have no action yet.
void FrmKbd::cmdHistory_Click(int index) {}

}  // namespace orv
