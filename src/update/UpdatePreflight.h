#pragma once

class TFlashWrRXCont;

// The last word before an update sends anything, for the run the controller's settings would
// make now: a refusal is logged (forced), nothing is sent, and the update does not start.
//
// The image must hold a byte to program in the range the run writes (from the image base up to
// 0xFFFFBFFF when the R/W switches itself into program mode, the whole image in re-write
// mode). Without one the run would erase the flash, write no page and then find the CRC of the
// blank flash matching the blank image: a R/W without firmware, reported as a success.
bool UpdateMayStart(TFlashWrRXCont& link);
