#pragma once
// Everything a window of the programs uses from the toolkit.

#include "toolkit/controls/button.h"
#include "toolkit/controls/container.h"
#include "toolkit/controls/control.h"
#include "toolkit/controls/edit.h"
#include "toolkit/controls/label.h"
#include "toolkit/controls/chart.h"
#include "toolkit/controls/progress.h"
#include "toolkit/core/rect.h"
#include "toolkit/core/std_string.h"
#include "toolkit/core/win_api.h"
#include "toolkit/core/win_types.h"
#include "toolkit/core/window_wnd.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/paint_manager.h"
#include "toolkit/skin_window.h"
