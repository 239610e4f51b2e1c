#pragma once

// The module's one door to the host: every host name the module calls is reached
// through this header. Built against another host offering the same names, only this
// file would change.

#include "ap/docmanager.h"
#include "ap/platform.h"
#include "ap/resources.h"
#include "db/acarray.h"
#include "db/blockreference.h"
#include "db/blocktable.h"
#include "db/database.h"
#include "db/dimension.h"
#include "db/errorstatus.h"
#include "db/layertable.h"
#include "db/mtext.h"
#include "db/object.h"
#include "db/text.h"
#include "ed/adscodes.h"
#include "ed/commandline.h"
#include "ed/prompts.h"
#include "ed/selection.h"
#include "ed/wideformat.h"
#include "rx/adesk.h"
#include "rx/appmsg.h"
#include "rx/arxapp.h"
#include "rx/commandstack.h"
#include "rx/dictionary.h"
#include "rx/dynamiclinker.h"
#include "rx/rxmodule.h"
