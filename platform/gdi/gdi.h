// The graphics interface: drawing objects, device contexts and the last-error code.
#pragma once

#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_types.h"
#include "platform/gdi/last_error.h"
#include "platform/gdi/metafile_dc.h"
