#pragma once

#include "adscodes.h"

// Picking one entity by a point. A pick is a point line ("x,y" or "x,y,z"), tested in
// plan view against the current space, topmost (last drawn) entity first, with the pick
// box the line brings (a person's click: 3 pixels of the view as zoomed) or else, as
// for a script, the host's pick box (hittest.h). Both requests answer RTNORM with the entity;
// RTERROR, printing nothing, when the pick hits nothing or the answer is empty; RTCAN on
// Escape and once the editor has failed. A line that is no point fails the editor.

// The top-level entity under the pick. ptres receives the pick point. A null prompt
// asks "\nSelect object: ".
int acedEntSel(const ACHAR* prompt, ads_name entres, ads_point ptres);

// The innermost entity under the pick, looking through block references at any depth:
// a reference's visible attributes first, then the entities of its block, topmost
// first. With pickflag 0 the user picks and ptres receives the point; otherwise ptres
// is the pick point and nothing is asked.
//
// xformres: the transformation from the picked entity's own coordinates to world
// coordinates (the block transforms of the containing references, outermost on the
// left); the identity for an entity of the current space.
// refstkres: the entity names (RTENAME) of the block references whose transforms carry
// the entity to world coordinates, innermost first; null when there are none. The
// caller releases the list with acutRelRb. An attribute is given as itself; it lies in
// the coordinates of the space that holds its reference, so that reference is not in
// the list.
int acedNEntSelP(const ACHAR* prompt, ads_name entres, ads_point ptres, int pickflag, ads_matrix xformres,
                 resbuf** refstkres);
