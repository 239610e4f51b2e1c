#pragma once

// The window layer's resource chain. A module registers its library once, so that its
// dialog templates, bitmaps and strings are found by number while its windows are made,
// and initialises the host's UI library on each attach.
bool acRegisterResourceModule(void* library);
void acUnregisterResourceModule(void* library);
bool acIsResourceModule(void* library);
void InitAcUiDLL();
// How often InitAcUiDLL has run in this process.
int acUiInitCount();
