// The class library and system interfaces, as the program's own code uses them.
#pragma once

#include "platform/core/cstring.h"
#include "platform/core/file.h"
#include "platform/core/paths.h"
#include "platform/core/resources.h"
#include "platform/core/win_types.h"
#include "platform/ui/bars.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog.h"
#include "platform/ui/docview.h"
#include "platform/ui/filedlg.h"
#include "platform/ui/frame.h"
#include "platform/ui/menu.h"
#include "platform/ui/msgbox.h"
#include "platform/ui/winapp.h"
#include "platform/ui/wnd.h"
