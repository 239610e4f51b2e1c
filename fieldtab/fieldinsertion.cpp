#include "fieldtab/fieldinsertion.h"

void placeField(CWnd*, const std::wstring&, int) {}
