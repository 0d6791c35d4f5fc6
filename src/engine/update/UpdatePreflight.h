#pragma once

class TFlashWrRXCont;

// The last word before an update sends anything, for the run the controller's settings would
// make now: a refusal is logged (forced), nothing is sent, and the update does not start.
//
// The image must hold a byte to program in the range the run writes (from the image base up to
// 0xFFFFBFFF when the R/W switches itself into program mode, the whole image in re-write
// mode). Without one the run would erase the flash, write no page and then find the CRC of the
// blank flash matching the blank image: a R/W without firmware, reported as a success.
//
// The built-in stand-in firmware (a build without TESSALY_FIRMWARE) goes only to a R/W on
// loopback (127.0.0.0/8), where nothing but the simulator can be: on a real R/W it would
// replace the control microcontroller's firmware with test bytes. A firmware file the operator
// loaded, and the built-in firmware of a build with the real one, go anywhere.
bool UpdateMayStart(TFlashWrRXCont& link);

// The same, with the kind of the built-in firmware given instead of taken from this build.
bool UpdateMayStart(TFlashWrRXCont& link, bool builtInIsStandIn);
