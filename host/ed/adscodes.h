#pragma once

#include "../rx/adesk.h"

// Result codes of editor requests and the type codes of result buffers.
constexpr int RTNONE = 5000;   // empty input (Enter)
constexpr int RTREAL = 5001;
constexpr int RTPOINT = 5002;
constexpr int RTSHORT = 5003;
constexpr int RTANG = 5004;
constexpr int RTSTR = 5005;
constexpr int RTENAME = 5006;
constexpr int RTPICKS = 5007;
constexpr int RTLONG = 5010;
constexpr int RT3DPOINT = 5009;
constexpr int RTKWORD = 5011;
constexpr int RTDXF0 = 5020;   // group code 0 (the entity type) in a filter list
constexpr int RTNORM = 5100;   // normal input
constexpr int RTERROR = -5001;
constexpr int RTCAN = -5002;   // cancelled (Escape)
constexpr int RTREJ = -5003;

using ads_real = double;
using ads_point = ads_real[3];
// A transformation as 4 x 4 reals, rows first, acting on column vectors (p' = M p).
using ads_matrix = ads_real[4][4];
// The name of an entity or of a selection set, valid while the host runs.
using ads_name = Adesk::Int64[2];

union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    ACHAR* rstring;
    Adesk::Int64 rlname[2];
    Adesk::Int32 rlong;
};

// One element of a result-buffer list; rbnext links the list.
struct resbuf {
    resbuf* rbnext;
    short restype;
    ads_u_val resval;
};

// Builds a list from (type code, value) pairs ending with 0: RTSTR and RTDXF0 take a
// string, RTSHORT an int, RTLONG a 32-bit integer, RTREAL a double, RTPOINT and
// RT3DPOINT a point. Null for an unknown type code. Free it with acutRelRb.
resbuf* acutBuildList(int typeCode, ...);
resbuf* acutNewRb(int typeCode);
int acutRelRb(resbuf* list);
