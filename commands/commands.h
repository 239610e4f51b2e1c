#pragma once

// The drawing commands, one family a source file.
void zelPurgeGroups();
void zelBurst();
void texttoclayer();
void dimtoclayer();
void inserttoclayer();
void zelncopy();
void flipx();
void flipy();
void zelblockicon();
