// The program's binding to VBMP3.dll, loaded from the program's folder at
// start-up like any outside library. Calls go through g_vbmp3, a seam
// that tests may stand in for (win/seam.h).
#pragma once
#include "vbmp3/include/vbmp3.h"
#include "win/seam.h"

struct Vbmp3Api {
  decltype(&vbmp3_init) init = nullptr;
  decltype(&vbmp3_free) free = nullptr;
  decltype(&vbmp3_getFileInfo2) getFileInfo2 = nullptr;
  decltype(&vbmp3_getFileInfo) getFileInfo = nullptr;
  decltype(&vbmp3_setTagInfo) setTagInfo = nullptr;
  decltype(&vbmp3_getGenre) getGenre = nullptr;
  decltype(&vbmp3_open) open = nullptr;
  decltype(&vbmp3_play) play = nullptr;
  decltype(&vbmp3_stop) stop = nullptr;
  decltype(&vbmp3_close) close = nullptr;
  decltype(&vbmp3_getState) getState = nullptr;
  decltype(&vbmp3_getLastErrorNo) getLastErrorNo = nullptr;
  // Null with a library that cannot write ID3v2 texts.
  decltype(&vbmp3_setTagTexts) setTagTexts = nullptr;
  // Null with a library that hands the ID3v2 texts over only in the
  // record's 127-byte fields.
  decltype(&vbmp3_getFileInfoWhole) getFileInfoWhole = nullptr;
  decltype(&vbmp3_setTagTextsWhole) setTagTextsWhole = nullptr;
  // Null with a library that reads only MPEG and WAV figures.
  decltype(&vbmp3_getFormatInfo) getFormatInfo = nullptr;
};

extern win::Seam<Vbmp3Api> g_vbmp3;

// Loads VBMP3.dll from the program's folder and resolves every function.
// False when the library or any of its functions is missing (the ID3v2
// writer and the exports of whole texts, newer than the rest, may be).
bool LoadVbmp3();
