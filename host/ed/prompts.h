#pragma once

#include "adscodes.h"

// Editor requests. Each prints its prompt and takes one line of input: RTNORM with the
// value, RTNONE for an empty line where empty input is allowed, RTCAN for Escape ("^C")
// and whenever the editor has failed.

// A point: "x,y" or "x,y,z". base (may be null) is where the rubber band starts.
int acedGetPoint(const ads_point base, const ACHAR* prompt, ads_point result);
// A text: the whole line when spaces are allowed (cronly true), else up to the first blank.
// result holds at least 133 characters; longer answers are refused.
int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result);
int acedGetReal(const ACHAR* prompt, ads_real* result);
int acedGetInt(const ACHAR* prompt, int* result);
// The code of the external function being invoked; RTERROR: none is.
int acedGetFunCode();
