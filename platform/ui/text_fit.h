// Checks that texts fit their controls in the dialog font: the texts of a dialog template,
// laid out as the dialogs build it, or those of a dialog as it stands. For tests.
#pragma once

#include <string>
#include <vector>

#include "platform/core/resources.h"

class CDialog;
class CWnd;

namespace afx {

// One line per text that does not fit: the dialog, the control's id, the text, and the size
// in pixels that the text needs against the size the control gives it. Statics are wrapped
// at word boundaries, as they show their text; a button's lines are those of its text; a
// report list's headings and the texts its cells show are measured against their columns.
std::vector<std::string> TextsThatDoNotFit(const DialogTemplate& dialog);
std::vector<std::string> TextsThatDoNotFit(CDialog& dialog);
// The same for one control as it stands (a view's list, say).
std::vector<std::string> TextsThatDoNotFit(CWnd& control);

}  // namespace afx
