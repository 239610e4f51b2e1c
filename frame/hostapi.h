#pragma once

// The module's one door to the host: every host name the module calls is reached
// through this header. Built against another host offering the same names, only this
// file would change.

#include "ap/platform.h"
#include "db/acarray.h"
#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/database.h"
#include "db/errorstatus.h"
#include "db/layertable.h"
#include "db/object.h"
#include "ed/transcript.h"
#include "ed/wideformat.h"
#include "rx/adesk.h"
