#pragma once

#include "framework/widgets/dialog_template.h"

class CDialog;

// The configuration dialog's template (IDD_PORT_CONFIG) in dialog units:
// the three step group boxes, every control of step 3 for all interfaces
// (the page of the chosen one is shown, the rest hidden), OK and Cancel.
DialogTemplate PortConfigTemplate();

// What the template cannot say, applied once the controls are built:
// closed combo boxes one line high with as many list entries as their
// template height holds, and each step-3 label right against its field,
// centred on the field's row.
void FinishPortConfigLayout(CDialog* dialog, const DialogTemplate& layout);
