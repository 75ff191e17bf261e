// The one engine object, constructed before the entry point runs. The other
// program-wide objects live with their owners: the log in vondLog.h, the
// interpreter in vondScriptHost.h, the stores in vondStores.h and the key
// table in vondShell.h.
#pragma once

#include "vondEngine2.h"

extern vondEngine2 gfx;
