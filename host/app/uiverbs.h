#pragma once

#include "app/scriptverbs.h"

// The "@ui" verbs: what a person's mouse and keyboard do for each, on the control the
// call names (found before the verb acts). Each answers false with the call's why when
// it cannot act. scriptVerbs() lists them with what they need.
namespace hostapp::uiverbs {

bool click(VerbCall& v);
bool dclick(VerbCall& v);
bool rclick(VerbCall& v);
bool header(VerbCall& v);
bool drag(VerbCall& v);
bool tab(VerbCall& v);
bool type(VerbCall& v);
bool key(VerbCall& v);
bool focus(VerbCall& v);
bool tick(VerbCall& v);
bool untick(VerbCall& v);
bool choose(VerbCall& v);
bool browse(VerbCall& v);
bool close(VerbCall& v);
bool tip(VerbCall& v);
bool show(VerbCall& v);
bool shot(VerbCall& v);
bool resize(VerbCall& v);
bool dock(VerbCall& v);
// An entry of the script's open popup menu, else of an open context menu or the main
// window's menus.
bool menu(VerbCall& v);
// A button of the open message box or dialog, a file dialog's path, Cancel of a menu.
bool answer(VerbCall& v);

}  // namespace hostapp::uiverbs
